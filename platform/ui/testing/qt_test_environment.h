#pragma once
// For widget tests only (include it from *_test.cpp files): creates the application object
// (a GuardedApplication on the offscreen platform unless QT_QPA_PLATFORM says otherwise) once
// per test program, before the first test, and destroys it after the last.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "platform/ui/guarded_application.h"

namespace ui {

class QtTestEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        ::setenv("QT_QPA_PLATFORM", "offscreen", /*overwrite=*/0);
        application_ = std::make_unique<GuardedApplication>(argc_, argv_);
    }
    void TearDown() override { application_.reset(); }

  private:
    int argc_ = 1;
    char name_[16] = "zantrope_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<GuardedApplication> application_;
};

inline const bool kQtTestEnvironmentRegistered =
    (::testing::AddGlobalTestEnvironment(new QtTestEnvironment), true);

}  // namespace ui
