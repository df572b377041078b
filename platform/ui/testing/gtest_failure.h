#pragma once
// For tests only (include it from *_test.cpp files): a FailureReporter that fails the running
// GoogleTest test with the message.
#include <gtest/gtest.h>

#include "platform/ui/testing/failure_reporter.h"

namespace ui {

inline FailureReporter GtestFailure() {
    return [](const std::string& message) { ADD_FAILURE() << message; };
}

}  // namespace ui
