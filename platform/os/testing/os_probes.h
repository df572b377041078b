#pragma once
// For tests only: the global-state probes of the operating-system layer (the clock).
#include <string>

#include "platform/os/clock.h"
#include "platform/os/testing/global_state.h"

namespace os::testing {

inline const bool kClockProbe = RegisterGlobalStateProbe("the clock (os::SetFixedNow)", [] {
    const std::optional<LocalDateTime> fixed = FixedNow();
    if (!fixed)
        return std::string("the real clock");
    return "fixed at " + std::to_string(fixed->year) + "-" + std::to_string(fixed->month) + "-" +
           std::to_string(fixed->day) + " " + std::to_string(fixed->hour) + ":" +
           std::to_string(fixed->minute) + ":" + std::to_string(fixed->second);
});

}  // namespace os::testing
