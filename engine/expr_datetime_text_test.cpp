#include <gtest/gtest.h>

#include <optional>

#include "engine/day_number.h"
#include "engine/db_error.h"
#include "engine/expr_node.h"
#include "engine/locale_convert.h"
#include "engine/testing/expr_test_nodes.h"
#include "platform/os/clock.h"

namespace vesk {
namespace {

constexpr double kDay = 86400000.0;

using TextToDateTime = testing::FixedClock2026;
using testing::Day;

TEST_F(TextToDateTime, ConvertToEachType) {
    struct Case {
        const char* text;
        TFieldType type;
        std::optional<double> value;  // day number, ms of day or date-time ms
        const char* error;
        bool readsAsDateTime;
    };
    const Case cases[] = {
        {"1/2/2024", ftDate, Day(2024, 1, 2), nullptr, true},
        {"2024-01-02", ftDate, Day(2024, 1, 2), nullptr, true},
        {" 2024-1-2 ", ftDate, Day(2024, 1, 2), nullptr, true},
        {"12/31/99", ftDate, Day(1999, 12, 31), nullptr, true},
        {"2024-13-45", ftDate, std::nullopt, "'2024-13-45' is not a valid date", false},
        {"1/2/2024 10:00", ftDate, std::nullopt, "'1/2/2024 10:00' is not a valid date", true},
        {"1:30 PM", ftTime, 48600000, nullptr, true},
        {"13:05:07.5", ftTime, 47107005, nullptr, true},
        {"25:00", ftTime, std::nullopt, "'25:00' is not a valid time", false},
        {"1/2/2024 1:30 PM", ftDateTime, Day(2024, 1, 2) * kDay + 48600000, nullptr, true},
        {"2024-01-02 13:30:00.250", ftDateTime, Day(2024, 1, 2) * kDay + 48600250, nullptr, true},
        {"2024-01-02", ftDateTime, Day(2024, 1, 2) * kDay, nullptr, true},
        {"13:30", ftDateTime, kTimeOnlyDay * kDay + 48600000, nullptr, true},
        {"2024-01-02T13:30", ftDateTime, std::nullopt,
         "'2024-01-02T13:30' is not a valid date and time", false},
        {"soon", ftDateTime, std::nullopt, "'soon' is not a valid date and time", false},
    };
    for (const Case& c : cases) {
        TExprNodes nodes;
        TExprNode* node = testing::Text(nodes, c.text);
        node->PartialLength = 3;
        EXPECT_EQ(node->IsDateTimeString(), c.readsAsDateTime) << c.text;
        try {
            node->ConvertToDateTime(c.type);
            ASSERT_TRUE(c.value.has_value()) << c.text << ": no error";
            EXPECT_EQ(node->DataType, c.type) << c.text;
            EXPECT_EQ(node->PartialLength, -1);
            if (c.type == ftDateTime) {
                EXPECT_EQ(node->ValueSize, 8);
                EXPECT_DOUBLE_EQ(testing::ValueOf<double>(node), *c.value) << c.text;
            } else {
                EXPECT_EQ(node->ValueSize, 4);
                EXPECT_EQ(testing::ValueOf<std::int32_t>(node), *c.value) << c.text;
            }
        } catch (const EDatabaseError& e) {
            ASSERT_NE(c.error, nullptr) << c.text << ": " << e.what();
            EXPECT_STREQ(e.what(), c.error);
            EXPECT_EQ(node->DataType, ftString) << "a refused text stays a text";
            EXPECT_EQ(testing::TextOf(node), c.text);
        }
    }
}

TEST_F(TextToDateTime, OnlyTextConstantsConvert) {
    TExprNodes nodes;
    TExprNode* number = testing::Constant<std::int32_t>(nodes, ftInteger, 1);
    EXPECT_FALSE(number->IsDateTimeString());
    EXPECT_THROW(number->ConvertToDateTime(ftDate), EDatabaseError);
    TExprNode* field = nodes.NewNode(enField, ftString, 0, toNOTDEFINED, nullptr, nullptr);
    EXPECT_FALSE(field->IsDateTimeString());
    TExprNode* text = testing::Text(nodes, "1/2/2024");
    EXPECT_THROW(text->ConvertToDateTime(ftInteger), EDatabaseError);
    EXPECT_EQ(text->DataType, ftString);
}

TEST(LocaleConvert, DateTimeNeedsASpaceBeforeTheTime) {
    double ms = 0;
    EXPECT_FALSE(TryLocaleTextToDateTime("2024-01-0213:30", ms));
    EXPECT_TRUE(TryLocaleTextToDateTime("2024-01-02   13:30:01", ms));
    EXPECT_DOUBLE_EQ(ms, Day(2024, 1, 2) * kDay + 48601000);
    std::int32_t value = 0;
    EXPECT_FALSE(TryLocaleTextToTime("13:3", value)) << "minutes have two digits";
    EXPECT_FALSE(TryLocaleTextToDate("24-01-02", value)) << "years have four digits";
}

TEST(DayNumber, CalendarRoundTrips) {
    struct Case {
        TCivilDate date;
        std::int32_t number;
    };
    const Case cases[] = {
        {{1, 1, 1}, 1},          {{1899, 12, 30}, 693594}, {{1970, 1, 1}, 719163},
        {{2000, 2, 29}, 730179}, {{2020, 1, 2}, 737426},   {{9999, 12, 31}, 3652059},
    };
    for (const Case& c : cases) {
        std::int32_t number = 0;
        ASSERT_TRUE(EncodeDayNumber(c.date, number)) << c.number;
        EXPECT_EQ(number, c.number);
        const TCivilDate back = DecodeDayNumber(c.number);
        EXPECT_EQ(back.Year, c.date.Year);
        EXPECT_EQ(back.Month, c.date.Month);
        EXPECT_EQ(back.Day, c.date.Day);
    }
    const TCivilDate dayZero = DecodeDayNumber(0);
    EXPECT_EQ(dayZero.Year, 0);
    EXPECT_EQ(dayZero.Month, 12);
    EXPECT_EQ(dayZero.Day, 31);
    std::int32_t unused = 0;
    for (const TCivilDate bad :
         {TCivilDate{0, 1, 1}, TCivilDate{10000, 1, 1}, TCivilDate{1900, 2, 29},
          TCivilDate{2024, 4, 31}, TCivilDate{2024, 0, 1}}) {
        EXPECT_FALSE(EncodeDayNumber(bad, unused))
            << bad.Year << "-" << bad.Month << "-" << bad.Day;
    }
    const TClockTime negative = DecodeMsOfDay(-1);
    EXPECT_EQ(negative.Hour, 23);
    EXPECT_EQ(negative.Millisecond, 999);
}

}  // namespace
}  // namespace vesk
