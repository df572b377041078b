#pragma once
// Fixed-format scanners that turn filter texts into dates and times, whatever the order of
// the locale's date parts: dates month/day/year, times [AM|PM] h[:m[:s]][.ms] [AM|PM]. The
// AM and PM texts are "AM" and "PM", the decimal separator ".". Positions are 0-based byte
// offsets into the text; skipping spaces skips " " only.
//
// Results are the engine's forms (see day_number.h): a day number, milliseconds of the day,
// or date-time milliseconds. Nothing here throws.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vesk {

void SkipSpaces(std::string_view s, std::size_t& pos);
// Skips spaces, then reads decimal digits into value, taking no further digit once it has
// reached 1000; digits := how many were read. False when none was (pos is then past the
// spaces).
bool ScanNumber(std::string_view s, std::size_t& pos, std::uint16_t& value, int& digits);
// Skips spaces; true when the next text.size() bytes equal text, ASCII case ignored (pos then
// after them). False for an empty text.
bool ScanText(std::string_view s, std::size_t& pos, std::string_view text);
// Skips spaces; true when the byte at pos is ch (pos then after it).
bool ScanChar(std::string_view s, std::size_t& pos, char ch);
// The year of the program's clock (os::Now).
int CurrentYear();
// month "/" day "/" year; a year of one or two digits falls in the hundred years from
// CurrentYear() - 50. False for an invalid date.
bool ScanDate(std::string_view s, std::size_t& pos, std::int32_t& dayNumber);
// An optional leading or trailing AM/PM marker (then the hour must be 1 to 12), hour, then
// optional ":" minute, ":" second and "." milliseconds; trailing spaces are skipped. False for
// an invalid time.
bool ScanTime(std::string_view s, std::size_t& pos, std::int32_t& msOfDay);

// The whole text must be used up.
bool TryParseDate(std::string_view s, std::int32_t& dayNumber);
bool TryParseTime(std::string_view s, std::int32_t& msOfDay);
// A date, a date followed by a time (anything after the time is ignored), or a whole text
// that is a time (which then stands on the run time's day zero, 1899-12-30).
bool TryParseDateTime(std::string_view s, double& milliseconds);

// The whole text reads as a 32-bit integer: leading spaces, an optional sign, decimal digits
// or "$"/"0x" and hexadecimal digits, nothing after them.
bool IsIntegerStr(std::string_view s);

}  // namespace vesk
