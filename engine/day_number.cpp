#include "engine/day_number.h"

#include <cmath>

namespace vesk {

namespace {

// Days from 1970-01-01 of a proleptic Gregorian date (era-based, exact for every year).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

constexpr std::int64_t kDayOneFrom1970 = -719162;  // 0001-01-01

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

}  // namespace

bool IsValidCivilDate(const TCivilDate& date) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (date.Year < 1 || date.Year > 9999 || date.Month < 1 || date.Month > 12)
        return false;
    const int last = kDays[date.Month - 1] + (date.Month == 2 && IsLeapYear(date.Year) ? 1 : 0);
    return date.Day >= 1 && date.Day <= last;
}

bool EncodeDayNumber(const TCivilDate& date, std::int32_t& dayNumber) {
    if (!IsValidCivilDate(date))
        return false;
    dayNumber =
        static_cast<std::int32_t>(DaysFromCivil(date.Year, static_cast<unsigned>(date.Month),
                                                static_cast<unsigned>(date.Day)) -
                                  kDayOneFrom1970 + 1);
    return true;
}

TCivilDate DecodeDayNumber(std::int32_t dayNumber) {
    const std::int64_t z = static_cast<std::int64_t>(dayNumber) - 1 + kDayOneFrom1970 + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2);
    return {static_cast<int>(y), static_cast<int>(m), static_cast<int>(d)};
}

bool EncodeMsOfDay(const TClockTime& time, std::int32_t& milliseconds) {
    if (time.Hour < 0 || time.Hour > 23 || time.Minute < 0 || time.Minute > 59 || time.Second < 0 ||
        time.Second > 59 || time.Millisecond < 0 || time.Millisecond > 999) {
        return false;
    }
    milliseconds = ((time.Hour * 60 + time.Minute) * 60 + time.Second) * 1000 + time.Millisecond;
    return true;
}

TClockTime DecodeMsOfDay(std::int64_t milliseconds) {
    std::int64_t ms = milliseconds % kMsPerDay;
    if (ms < 0)
        ms += kMsPerDay;
    const auto value = static_cast<int>(ms);
    return {value / 3600000, value / 60000 % 60, value / 1000 % 60, value % 1000};
}

bool SplitDateTime(double milliseconds, std::int32_t& dayNumber, std::int32_t& msOfDay) {
    const double rounded = std::round(milliseconds);
    constexpr double kLimit = 2147483647.0 * 86400000.0;
    if (!(std::fabs(rounded) <= kLimit))
        return false;
    const auto total = static_cast<std::int64_t>(rounded);
    std::int64_t day = total / kMsPerDay;
    std::int64_t rest = total % kMsPerDay;
    if (rest < 0) {
        rest += kMsPerDay;
        day -= 1;
    }
    if (day < INT32_MIN)
        return false;
    dayNumber = static_cast<std::int32_t>(day);
    msOfDay = static_cast<std::int32_t>(rest);
    return true;
}

}  // namespace vesk
