#include "engine/date_scan.h"

#include <gtest/gtest.h>

#include <optional>

#include "engine/day_number.h"
#include "engine/testing/expr_test_nodes.h"
#include "platform/os/clock.h"

namespace vesk {
namespace {

std::int32_t Ms(int hour, int minute, int second = 0, int millisecond = 0) {
    return ((hour * 60 + minute) * 60 + second) * 1000 + millisecond;
}

using DateScan = testing::FixedClock2026;
using testing::Day;

TEST_F(DateScan, TryParseDateInTheYear2026) {
    struct Case {
        const char* text;
        std::optional<std::int32_t> day;
    };
    const Case cases[] = {
        {"12/31/99", Day(1999, 12, 31)},    {"1/1/30", Day(2030, 1, 1)},
        {"1/1/75", Day(2075, 1, 1)},        {"1/1/76", Day(1976, 1, 1)},
        {"1/2/2024", Day(2024, 1, 2)},      {"01/02/0024", Day(24, 1, 2)},
        {" 1 / 2 / 2024", Day(2024, 1, 2)}, {"2/29/2024", Day(2024, 2, 29)},
        {"13/1/2024", std::nullopt},        {"2/29/2023", std::nullopt},
        {"1/2/2024 ", std::nullopt},        {"1/2", std::nullopt},
        {"1-2-2024", std::nullopt},         {"", std::nullopt},
        {"1/0/2024", std::nullopt},         {"1/2/12345", std::nullopt},
    };
    for (const Case& c : cases) {
        std::int32_t day = -7;
        EXPECT_EQ(TryParseDate(c.text, day), c.day.has_value()) << c.text;
        EXPECT_EQ(day, c.day.value_or(-7)) << c.text;
    }
}

TEST_F(DateScan, TwoDigitYearWindowFollowsTheClock) {
    os::SetFixedNow(os::LocalDateTime{2051, 1, 1, 0, 0, 0, 0});  // window 2001 to 2100
    std::int32_t day = 0;
    ASSERT_TRUE(TryParseDate("1/1/00", day));
    EXPECT_EQ(day, Day(2100, 1, 1));
    ASSERT_TRUE(TryParseDate("1/1/01", day));
    EXPECT_EQ(day, Day(2001, 1, 1));
    EXPECT_EQ(CurrentYear(), 2051);
}

TEST_F(DateScan, TryParseTime) {
    struct Case {
        const char* text;
        std::optional<std::int32_t> ms;
    };
    const Case cases[] = {
        {"1:30 PM", Ms(13, 30)},
        {"12:00 AM", Ms(0, 0)},
        {"12:00 PM", Ms(12, 0)},
        {"pm 1:30", Ms(13, 30)},
        {"AM12:15", Ms(0, 15)},
        {"10.250", Ms(10, 0, 0, 250)},
        {"10:20:30.5", Ms(10, 20, 30, 5)},
        {"23:59:59.999", Ms(23, 59, 59, 999)},
        {"7", Ms(7, 0)},
        {"7:05  ", Ms(7, 5)},
        {"13:00 PM", std::nullopt},
        {"0:30 AM", std::nullopt},
        {"24:00", std::nullopt},
        {"10:60", std::nullopt},
        {"10:", std::nullopt},
        {"10:20:", std::nullopt},
        {"10.", std::nullopt},
        {"AM PM 1", std::nullopt},
        {"1:30 PM x", std::nullopt},
        {"", std::nullopt},
        {"10.1000", std::nullopt},
    };
    for (const Case& c : cases) {
        std::int32_t ms = -7;
        EXPECT_EQ(TryParseTime(c.text, ms), c.ms.has_value()) << c.text;
        EXPECT_EQ(ms, c.ms.value_or(-7)) << c.text;
    }
}

TEST_F(DateScan, TryParseDateTime) {
    constexpr double kDay = 86400000.0;
    struct Case {
        const char* text;
        std::optional<double> ms;
    };
    const Case cases[] = {
        {"1/2/2024", Day(2024, 1, 2) * kDay},
        {"1/2/2024 1:30 PM", Day(2024, 1, 2) * kDay + Ms(13, 30)},
        {"1/2/2024 10:00 and more", Day(2024, 1, 2) * kDay + Ms(10, 0)},
        {"13:45", kTimeOnlyDay * kDay + Ms(13, 45)},
        {"1/2/2024 x", std::nullopt},
        {"13:45 x", std::nullopt},
        {"2024-01-02", std::nullopt},
    };
    for (const Case& c : cases) {
        double ms = -7;
        EXPECT_EQ(TryParseDateTime(c.text, ms), c.ms.has_value()) << c.text;
        EXPECT_EQ(ms, c.ms.value_or(-7)) << c.text;
    }
    EXPECT_EQ(Day(1899, 12, 30), kTimeOnlyDay);
}

TEST_F(DateScan, ScannersMoveThePosition) {
    std::size_t pos = 0;
    std::uint16_t value = 0;
    int digits = 0;
    ASSERT_TRUE(ScanNumber("  123456x", pos, value, digits));
    EXPECT_EQ(value, 1234) << "no digit once the value reached 1000";
    EXPECT_EQ(digits, 4);
    EXPECT_EQ(pos, 6u);
    pos = 0;
    EXPECT_FALSE(ScanNumber("  x", pos, value, digits));
    EXPECT_EQ(pos, 2u);
    EXPECT_EQ(digits, 0);

    pos = 0;
    EXPECT_TRUE(ScanText(" pMx", pos, "PM"));
    EXPECT_EQ(pos, 3u);
    pos = 0;
    EXPECT_FALSE(ScanText("P", pos, "PM"));
    EXPECT_FALSE(ScanText("abc", pos, ""));

    pos = 0;
    EXPECT_TRUE(ScanChar("  /", pos, '/'));
    EXPECT_EQ(pos, 3u);
    EXPECT_FALSE(ScanChar("  /", pos, '/')) << "at the end";

    pos = 1;
    SkipSpaces("a \tb", pos);
    EXPECT_EQ(pos, 2u) << "only blanks are spaces";
}

TEST(IsIntegerStr, ValRules) {
    struct Case {
        const char* text;
        bool expected;
    };
    const Case cases[] = {
        {"0", true},
        {"-2147483648", true},
        {"2147483647", true},
        {"+12", true},
        {"  12", true},
        {"$7FFFFFFF", true},
        {"0x1f", true},
        {"2147483648", false},
        {"-2147483649", false},
        {"12 ", false},
        {"1.5", false},
        {"1e3", false},
        {"", false},
        {"-", false},
        {"$", false},
        {"99999999999999999999", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsIntegerStr(c.text), c.expected) << c.text;
}

}  // namespace
}  // namespace vesk
