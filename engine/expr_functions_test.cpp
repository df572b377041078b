#include "engine/expr_functions.h"

#include <gtest/gtest.h>

#include <optional>

#include "engine/day_number.h"
#include "engine/db_error.h"
#include "engine/testing/expr_test_nodes.h"
#include "platform/os/clock.h"

namespace vesk {
namespace {

using testing::Constant;
using testing::Text;

TExprNode* Call(TExprNodes& nodes, const char* name, std::vector<TExprNode*> args) {
    TExprNode* node = nodes.NewFuncNode(name);
    node->Args = std::move(args);
    node->Calculate(0);
    return node;
}

TEST(ExprFunctions, TextFunctions) {
    struct Case {
        const char* name;
        const char* text;
        std::optional<std::pair<std::int32_t, std::int32_t>> range;
        const char* expected;
    };
    const Case cases[] = {
        {"UPPER", "abC \xC3\xA9z", std::nullopt, "ABC \xC3\xA9Z"},
        {"LOWER", "AbC\xC3\x89Z", std::nullopt, "abc\xC3\x89z"},
        {"TRIM", "  a b  ", std::nullopt, "a b"},
        {"TRIM", "\t\r\n x \x01", std::nullopt, "x"},
        {"TRIM", "   ", std::nullopt, ""},
        {"TRIMLEFT", "  a b  ", std::nullopt, "a b  "},
        {"TRIMRIGHT", "  a b  ", std::nullopt, "  a b"},
        {"TRIM", "\xA0x\xA0", std::nullopt, "\xA0x\xA0"},  // bytes above 127 stay
        {"SUBSTRING", "abcdef", std::pair{2, 3}, "bcd"},
        {"SUBSTRING", "abc", std::pair{2, 10}, "bc"},
        {"SUBSTRING", "abc", std::pair{3, 1}, "c"},
        {"SUBSTRING", "abc", std::pair{4, 1}, ""},
        {"SUBSTRING", "abc", std::pair{0, 2}, "ab"},
        {"SUBSTRING", "abc", std::pair{-5, 2}, "ab"},
        {"SUBSTRING", "abc", std::pair{1, -1}, ""},
        {"SUBSTRING", "abc", std::pair{2147483647, 2147483647}, ""},
        {"SUBSTRING", "abc", std::pair{2, 2147483647}, "bc"},
        {"SUBSTRING", "", std::pair{1, 1}, ""},
    };
    for (const Case& c : cases) {
        TExprNodes nodes;
        TExprNode* arg = Text(nodes, c.text);
        std::vector<TExprNode*> args{arg};
        if (c.range) {
            args.push_back(Constant<std::int32_t>(nodes, ftInteger, c.range->first));
            args.push_back(Constant<std::int32_t>(nodes, ftInteger, c.range->second));
        }
        TExprNode* result = Call(nodes, c.name, args);
        EXPECT_EQ(result->DataType, ftString) << c.name << " " << c.text;
        EXPECT_EQ(testing::TextOf(result), c.expected) << c.name << " '" << c.text << "'";
        EXPECT_EQ(testing::TextOf(arg), c.text) << "the argument stays as it was";
    }
}

TEST(ExprFunctions, CalendarAndClockParts) {
    std::int32_t day = 0;
    ASSERT_TRUE(EncodeDayNumber({2021, 6, 30}, day));
    const double lastMs = day * 86400000.0 + 86399999;  // 2021-06-30 23:59:59.999
    struct Case {
        const char* name;
        TFieldType type;
        double value;
        int expected;
    };
    const Case cases[] = {
        {"YEAR", ftDateTime, lastMs, 2021},
        {"MONTH", ftDateTime, lastMs, 6},
        {"DAY", ftDateTime, lastMs, 30},
        {"HOUR", ftDateTime, lastMs, 23},
        {"MINUTE", ftDateTime, lastMs, 59},
        {"SECOND", ftDateTime, lastMs, 59},
        {"DAY", ftDateTime, lastMs + 0.6, 1},  // rounds to the next day's midnight
        {"YEAR", ftDate, double(day), 2021},
        {"MONTH", ftDate, double(day + 1), 7},
        {"DAY", ftDate, double(day + 1), 1},
        {"HOUR", ftTime, (13 * 60 + 5) * 60000.0, 13},
        {"MINUTE", ftTime, (13 * 60 + 5) * 60000.0, 5},
        {"SECOND", ftTime, 61999.0, 1},
    };
    for (const Case& c : cases) {
        TExprNodes nodes;
        TExprNode* arg =
            c.type == ftDateTime
                ? Constant<double>(nodes, ftDateTime, c.value)
                : Constant<std::int32_t>(nodes, c.type, static_cast<std::int32_t>(c.value));
        TExprNode* result = Call(nodes, c.name, {arg});
        EXPECT_EQ(result->DataType, ftInteger) << c.name;
        EXPECT_EQ(testing::ValueOf<std::int32_t>(result), c.expected) << c.name << " " << c.value;
    }
}

TEST(ExprFunctions, GetDateReadsTheClock) {
    os::SetFixedNow(os::LocalDateTime{2026, 12, 10, 11, 30, 15, 250});
    TExprNodes nodes;
    TExprNode* result = Call(nodes, "GETDATE", {});
    os::SetFixedNow(std::nullopt);
    std::int32_t day = 0;
    ASSERT_TRUE(EncodeDayNumber({2026, 12, 10}, day));
    EXPECT_EQ(result->DataType, ftDateTime);
    EXPECT_DOUBLE_EQ(testing::ValueOf<double>(result), day * 86400000.0 + 41415250.0);
}

TEST(ExprFunctions, WrongArgumentsAreRefused) {
    struct Case {
        const char* name;
        int shape;  // which argument list
    };
    const Case cases[] = {
        {"UPPER", 0}, {"UPPER", 1}, {"TRIM", 2}, {"SUBSTRING", 3}, {"SUBSTRING", 4},
        {"YEAR", 5},  {"HOUR", 6},  {"DAY", 1},  {"GETDATE", 3},   {"NOSUCH", 3},
    };
    for (const Case& c : cases) {
        TExprNodes nodes;
        TExprNode* text = Text(nodes, "abc");
        TExprNode* number = Constant<std::int32_t>(nodes, ftInteger, 1);
        TExprNode* fraction = Constant<double>(nodes, ftFloat, 1.5);
        const std::vector<TExprNode*> shapes[] = {
            {},
            {number},
            {text, text},
            {text},
            {text, fraction, number},
            {Constant<std::int32_t>(nodes, ftTime, 1)},
            {Constant<std::int32_t>(nodes, ftDate, 1)},
        };
        TExprNode* node = nodes.NewFuncNode(c.name);
        node->Args = shapes[c.shape];
        try {
            node->Calculate(0);
            ADD_FAILURE() << c.name << " shape " << c.shape << ": no error";
        } catch (const EDatabaseError& e) {
            EXPECT_STREQ(e.what(), "Type mismatch in expression") << c.name;
        }
        EXPECT_EQ(node->Value, nullptr) << "nothing written";
    }
}

}  // namespace
}  // namespace vesk
