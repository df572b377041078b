#include "platform/os/testing/global_state.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/os/clock.h"
#include "platform/os/testing/os_probes.h"

namespace {

// The check after each test compares these readings: a change of the clock must show in
// them, and setting it back must make them equal again.
TEST(GlobalState, TheClockProbeSeesAFixedClockAndItsReturn) {
    const auto& probes = os::testing::GlobalStateProbes();
    const auto clock = std::find_if(probes.begin(), probes.end(), [](const auto& probe) {
        return probe.name == "the clock (os::SetFixedNow)";
    });
    ASSERT_NE(clock, probes.end());
    const std::vector<std::string> before = os::testing::ReadGlobalState();
    os::SetFixedNow(os::LocalDateTime{2026, 12, 10, 9, 30, 0, 0});
    const std::vector<std::string> fixed = os::testing::ReadGlobalState();
    os::SetFixedNow(std::nullopt);
    EXPECT_NE(fixed, before);
    EXPECT_EQ(fixed[static_cast<std::size_t>(clock - probes.begin())],
              "fixed at 2026-12-10 9:30:0");
    EXPECT_EQ(os::testing::ReadGlobalState(), before);
}

}  // namespace
