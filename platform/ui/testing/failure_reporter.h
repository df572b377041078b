#pragma once
// How the test doubles of this folder report a misuse (an unscripted call, a dialog left
// open): tests pass a reporter that fails the running test (gtest_failure.h).
#include <functional>
#include <string>

namespace ui {

using FailureReporter = std::function<void(const std::string& message)>;

}  // namespace ui
