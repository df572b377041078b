#include "engine/locale_convert.h"

#include <string>

#include "engine/day_number.h"
#include "engine/db_error.h"

namespace vesk {

namespace {

// Reads minDigits to maxDigits decimal digits.
bool Digits(std::string_view s, std::size_t& pos, int minDigits, int maxDigits, int& value) {
    int count = 0;
    value = 0;
    while (pos < s.size() && count < maxDigits && s[pos] >= '0' && s[pos] <= '9') {
        value = value * 10 + (s[pos] - '0');
        ++pos;
        ++count;
    }
    return count >= minDigits;
}

bool Expect(std::string_view s, std::size_t& pos, char c) {
    if (pos >= s.size() || s[pos] != c)
        return false;
    ++pos;
    return true;
}

std::string_view TrimSpaces(std::string_view s) {
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

bool ReadDate(std::string_view s, std::size_t& pos, std::int32_t& dayNumber) {
    int year = 0;
    int month = 0;
    int day = 0;
    return Digits(s, pos, 4, 4, year) && Expect(s, pos, '-') && Digits(s, pos, 1, 2, month) &&
           Expect(s, pos, '-') && Digits(s, pos, 1, 2, day) &&
           EncodeDayNumber({year, month, day}, dayNumber);
}

bool ReadTime(std::string_view s, std::size_t& pos, std::int32_t& msOfDay) {
    TClockTime time;
    if (!Digits(s, pos, 1, 2, time.Hour) || !Expect(s, pos, ':') ||
        !Digits(s, pos, 2, 2, time.Minute)) {
        return false;
    }
    if (Expect(s, pos, ':')) {
        if (!Digits(s, pos, 2, 2, time.Second))
            return false;
        if (Expect(s, pos, '.') && !Digits(s, pos, 1, 3, time.Millisecond))
            return false;
    }
    return EncodeMsOfDay(time, msOfDay);
}

[[noreturn]] void Invalid(const char* pattern, std::string_view text) {
    throw EDatabaseError(FormatMessage(pattern, std::string(text)));
}

}  // namespace

bool TryLocaleTextToDate(std::string_view text, std::int32_t& dayNumber) {
    const std::string_view s = TrimSpaces(text);
    std::size_t pos = 0;
    std::int32_t value = 0;
    if (!ReadDate(s, pos, value) || pos != s.size())
        return false;
    dayNumber = value;
    return true;
}

bool TryLocaleTextToTime(std::string_view text, std::int32_t& msOfDay) {
    const std::string_view s = TrimSpaces(text);
    std::size_t pos = 0;
    std::int32_t value = 0;
    if (!ReadTime(s, pos, value) || pos != s.size())
        return false;
    msOfDay = value;
    return true;
}

bool TryLocaleTextToDateTime(std::string_view text, double& milliseconds) {
    const std::string_view s = TrimSpaces(text);
    constexpr double kDay = static_cast<double>(kMsPerDay);
    std::int32_t day = 0;
    std::int32_t time = 0;
    std::size_t pos = 0;
    if (ReadDate(s, pos, day)) {
        if (pos == s.size()) {
            milliseconds = day * kDay;
            return true;
        }
        const std::size_t afterDate = pos;
        while (pos < s.size() && s[pos] == ' ')
            ++pos;
        if (pos == afterDate || !ReadTime(s, pos, time) || pos != s.size())
            return false;
        milliseconds = day * kDay + time;
        return true;
    }
    pos = 0;
    if (!ReadTime(s, pos, time) || pos != s.size())
        return false;
    milliseconds = kTimeOnlyDay * kDay + time;
    return true;
}

std::int32_t LocaleTextToDate(std::string_view text) {
    std::int32_t value = 0;
    if (!TryLocaleTextToDate(text, value))
        Invalid("'%s' is not a valid date", text);
    return value;
}

std::int32_t LocaleTextToTime(std::string_view text) {
    std::int32_t value = 0;
    if (!TryLocaleTextToTime(text, value))
        Invalid("'%s' is not a valid time", text);
    return value;
}

double LocaleTextToDateTime(std::string_view text) {
    double value = 0;
    if (!TryLocaleTextToDateTime(text, value))
        Invalid("'%s' is not a valid date and time", text);
    return value;
}

}  // namespace vesk
