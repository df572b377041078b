#include "engine/date_scan.h"

#include "engine/day_number.h"
#include "platform/os/clock.h"
#include "platform/os/collation.h"

namespace vesk {

namespace {

constexpr std::string_view kAmText = "AM";
constexpr std::string_view kPmText = "PM";
constexpr char kDecimalSeparator = '.';
constexpr char kTimeSeparator = ':';
constexpr char kDateSeparator = '/';

// The run time's two-digit-year window: the hundred years from the current year - 50.
int ExpandTwoDigitYear(int year) {
    const int base = CurrentYear() - 50;
    year += base / 100 * 100;
    if (base > year)
        year += 100;
    return year;
}

// -1: no marker; else the hour offset of the marker found (0 for AM, 12 for PM).
int ScanMarker(std::string_view s, std::size_t& pos) {
    if (ScanText(s, pos, kAmText))
        return 0;
    if (ScanText(s, pos, kPmText))
        return 12;
    return -1;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}  // namespace

void SkipSpaces(std::string_view s, std::size_t& pos) {
    while (pos < s.size() && s[pos] == ' ')
        ++pos;
}

bool ScanNumber(std::string_view s, std::size_t& pos, std::uint16_t& value, int& digits) {
    digits = 0;
    SkipSpaces(s, pos);
    std::size_t i = pos;
    unsigned number = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9' && number < 1000) {
        number = number * 10 + static_cast<unsigned>(s[i] - '0');
        ++i;
    }
    if (i == pos)
        return false;
    digits = static_cast<int>(i - pos);
    pos = i;
    value = static_cast<std::uint16_t>(number);
    return true;
}

bool ScanText(std::string_view s, std::size_t& pos, std::string_view text) {
    if (text.empty())
        return false;
    SkipSpaces(s, pos);
    if (pos > s.size() || s.size() - pos < text.size())
        return false;
    if (os::CompareAnsiText(s.substr(pos, text.size()), text, true) != 0)
        return false;
    pos += text.size();
    return true;
}

bool ScanChar(std::string_view s, std::size_t& pos, char ch) {
    SkipSpaces(s, pos);
    if (pos >= s.size() || s[pos] != ch)
        return false;
    ++pos;
    return true;
}

int CurrentYear() {
    return os::Now().year;
}

bool ScanDate(std::string_view s, std::size_t& pos, std::int32_t& dayNumber) {
    std::uint16_t month = 0;
    std::uint16_t day = 0;
    std::uint16_t year = 0;
    int digits = 0;
    int yearDigits = 0;
    if (!ScanNumber(s, pos, month, digits) || !ScanChar(s, pos, kDateSeparator) ||
        !ScanNumber(s, pos, day, digits) || !ScanChar(s, pos, kDateSeparator) ||
        !ScanNumber(s, pos, year, yearDigits)) {
        return false;
    }
    const int fullYear = yearDigits <= 2 ? ExpandTwoDigitYear(year) : year;
    return EncodeDayNumber({fullYear, month, day}, dayNumber);
}

bool ScanTime(std::string_view s, std::size_t& pos, std::int32_t& msOfDay) {
    int offset = ScanMarker(s, pos);
    const bool leadingMarker = offset >= 0;
    if (leadingMarker)
        SkipSpaces(s, pos);
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t millisecond = 0;
    int digits = 0;
    if (!ScanNumber(s, pos, hour, digits))
        return false;
    if (ScanChar(s, pos, kTimeSeparator) && !ScanNumber(s, pos, minute, digits))
        return false;
    if (ScanChar(s, pos, kTimeSeparator) && !ScanNumber(s, pos, second, digits))
        return false;
    if (ScanChar(s, pos, kDecimalSeparator) && !ScanNumber(s, pos, millisecond, digits)) {
        return false;
    }
    if (!leadingMarker)
        offset = ScanMarker(s, pos);
    int fullHour = hour;
    if (offset >= 0) {
        if (fullHour < 1 || fullHour > 12)
            return false;
        if (fullHour == 12)
            fullHour = 0;
        fullHour += offset;
    }
    SkipSpaces(s, pos);
    return EncodeMsOfDay({fullHour, minute, second, millisecond}, msOfDay);
}

bool TryParseDate(std::string_view s, std::int32_t& dayNumber) {
    std::size_t pos = 0;
    std::int32_t value = 0;
    if (!ScanDate(s, pos, value) || pos != s.size())
        return false;
    dayNumber = value;
    return true;
}

bool TryParseTime(std::string_view s, std::int32_t& msOfDay) {
    std::size_t pos = 0;
    std::int32_t value = 0;
    if (!ScanTime(s, pos, value) || pos != s.size())
        return false;
    msOfDay = value;
    return true;
}

bool TryParseDateTime(std::string_view s, double& milliseconds) {
    constexpr double kDay = static_cast<double>(kMsPerDay);
    std::size_t pos = 0;
    std::int32_t day = 0;
    if (ScanDate(s, pos, day)) {
        if (pos == s.size()) {
            milliseconds = day * kDay;
            return true;
        }
        std::int32_t time = 0;
        if (ScanTime(s, pos, time)) {
            milliseconds = day * kDay + time;
            return true;
        }
    }
    std::int32_t time = 0;
    if (!TryParseTime(s, time))
        return false;
    milliseconds = kTimeOnlyDay * kDay + time;
    return true;
}

bool IsIntegerStr(std::string_view s) {
    std::size_t i = 0;
    SkipSpaces(s, i);
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';
    int base = 10;
    if (i < s.size() && s[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == s.size())
        return false;
    const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
    std::int64_t value = 0;
    for (; i < s.size(); ++i) {
        const int digit =
            base == 16 ? HexDigit(s[i]) : (s[i] >= '0' && s[i] <= '9' ? s[i] - '0' : -1);
        if (digit < 0)
            return false;
        value = value * base + digit;
        if (value > limit)
            return false;
    }
    return true;
}

}  // namespace vesk
