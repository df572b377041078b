// The main of every test program: GoogleTest with a listener that fails a test which left the
// program's global state changed (global_state.h), naming what it left changed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/os/testing/global_state.h"

namespace {

class GlobalStateCheck : public ::testing::EmptyTestEventListener {
  public:
    void OnTestStart(const ::testing::TestInfo&) override {
        before_ = os::testing::ReadGlobalState();
    }

    void OnTestEnd(const ::testing::TestInfo&) override {
        const std::vector<std::string> after = os::testing::ReadGlobalState();
        const auto& probes = os::testing::GlobalStateProbes();
        for (std::size_t i = 0; i < probes.size() && i < before_.size(); ++i) {
            if (after[i] != before_[i]) {
                ADD_FAILURE() << "the test left global state changed: " << probes[i].name << " was "
                              << before_[i] << ", is " << after[i];
            }
        }
    }

  private:
    std::vector<std::string> before_;
};

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Appended last: it reports after the other listeners have seen the test end.
    ::testing::UnitTest::GetInstance()->listeners().Append(new GlobalStateCheck);
    return RUN_ALL_TESTS();
}
