#pragma once
// Numbers and dates written the user's way: the decimal separator and the long date format of
// the user's locale (QLocale's default, which is the system's unless a test sets another).
// Numbers never get group separators.
#include <string>

#include "platform/os/clock.h"

namespace ui {

// Two decimals, rounded: 32.00, 1234.57 (with the user's decimal separator).
std::string FormatFixed2(double value);
// The shortest general form with up to 15 significant digits: 1.5, 2, 0.001.
std::string FormatGeneral(double value);
// The date part of `moment` in the user's long date format.
std::string LongDateText(const os::LocalDateTime& moment);

}  // namespace ui
