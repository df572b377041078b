#pragma once
// The engine's calendar forms: a date is a day number (0001-01-01 is day 1, proleptic
// Gregorian calendar), a time the milliseconds since midnight, a date-time the milliseconds
// day number × 86,400,000 + milliseconds of the day. Never throws.
#include <cstdint>

namespace vesk {

constexpr std::int64_t kMsPerDay = 86400000;
// Day 0 of the run time's day-based date-time values (1899-12-30): a time without a date
// stands on this day.
constexpr std::int32_t kTimeOnlyDay = 693594;

struct TCivilDate {
    int Year = 1;
    int Month = 1;
    int Day = 1;
};

struct TClockTime {
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
    int Millisecond = 0;
};

// Year 1..9999, month 1..12, day within the month.
bool IsValidCivilDate(const TCivilDate& date);
// False for an invalid date (dayNumber unchanged).
bool EncodeDayNumber(const TCivilDate& date, std::int32_t& dayNumber);
// Any day number, also 0 and negative ones (the calendar continued backwards).
TCivilDate DecodeDayNumber(std::int32_t dayNumber);

// Hour < 24, minute < 60, second < 60, millisecond < 1000; false otherwise.
bool EncodeMsOfDay(const TClockTime& time, std::int32_t& milliseconds);
// Milliseconds of any sign taken modulo one day.
TClockTime DecodeMsOfDay(std::int64_t milliseconds);

// A date-time rounded to whole milliseconds and split; false for a value that is not finite
// or lies beyond any day number.
bool SplitDateTime(double milliseconds, std::int32_t& dayNumber, std::int32_t& msOfDay);

}  // namespace vesk
