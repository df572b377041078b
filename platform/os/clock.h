#pragma once
// The program's clock. Tests fix "now" so that the year rules of listings and the two-digit
// year window give the same answers every day.
#include <cstdint>
#include <optional>

namespace os {

struct LocalDateTime {
    int year = 1970;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// The local date and time now, or the fixed moment a test set. Never throws.
LocalDateTime Now();

// Fixes Now() to `moment`, or returns to the real clock with std::nullopt. Tests only.
void SetFixedNow(std::optional<LocalDateTime> moment);
// The moment Now() is fixed to, nullopt while it is the real clock.
std::optional<LocalDateTime> FixedNow();

// Milliseconds of a steady clock (for time-outs and speeds; never goes back).
std::int64_t TickCountMs();

}  // namespace os
