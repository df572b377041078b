#pragma once
// The locale's text-to-date and text-to-time conversions, tried after the fixed-format
// scanners. The program's locale writes dates the ISO way, so these accept (with spaces
// around):
//   date       yyyy-mm-dd                       (month and day of one or two digits)
//   time       hh:nn[:ss[.zzz]]
//   date-time  a date, a time, or a date, one or more spaces and a time
// Results are the engine's forms (day_number.h); a time alone as a date-time stands on the run
// time's day zero (1899-12-30).
#include <cstdint>
#include <string_view>

namespace vesk {

// Never throw.
bool TryLocaleTextToDate(std::string_view text, std::int32_t& dayNumber);
bool TryLocaleTextToTime(std::string_view text, std::int32_t& msOfDay);
bool TryLocaleTextToDateTime(std::string_view text, double& milliseconds);

// The same, raising EDatabaseError("'<text>' is not a valid date" / "... valid time" /
// "... valid date and time").
std::int32_t LocaleTextToDate(std::string_view text);
std::int32_t LocaleTextToTime(std::string_view text);
double LocaleTextToDateTime(std::string_view text);

}  // namespace vesk
