#include "engine/expr_compare.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "engine/db_error.h"
#include "engine/testing/expr_test_nodes.h"

namespace vesk {
namespace {

using testing::Boolean;
using testing::Constant;
using testing::Text;

// The result of the storage layer's key comparison: "=" first, then "<".
int KeyOrder(TExprNode* left, TExprNode* right, TFilterOptions options) {
    TExprNodes& nodes = *left->Owner;
    if (testing::Apply(nodes, toEQ, left, right, options)->AsBoolean())
        return 0;
    return testing::Apply(nodes, toLT, left, right, options)->AsBoolean() ? -1 : 1;
}

struct CompareCase {
    const char* name;
    std::function<TExprNode*(TExprNodes&)> left;
    std::function<TExprNode*(TExprNodes&)> right;
    TFilterOptions options;
    int expected;
};

constexpr std::int32_t kDay20200102 = 737426;  // 2020-01-02
constexpr double kMidnight20200102 = kDay20200102 * 86400000.0;

TEST(ExprCompare, KeyOrderOfEveryTypeClass) {
    const CompareCase cases[] = {
        {"a before B by collation", [](auto& n) { return Text(n, "a"); },
         [](auto& n) { return Text(n, "B"); }, 0, -1},
        {"lower case b before B", [](auto& n) { return Text(n, "B"); },
         [](auto& n) { return Text(n, "b"); }, 0, 1},
        {"B equals b ignoring case", [](auto& n) { return Text(n, "B"); },
         [](auto& n) { return Text(n, "b"); }, foCaseInsensitive, 0},
        {"prefix sorts first", [](auto& n) { return Text(n, "ab"); },
         [](auto& n) { return Text(n, "abc"); }, foNoPartialCompare, -1},
        {"fixed char against memo", [](auto& n) { return Text(n, "x", ftFixedChar); },
         [](auto& n) { return Text(n, "x", ftMemo); }, 0, 0},
        {"word 65535 above smallint -1",
         [](auto& n) { return Constant<std::uint16_t>(n, ftWord, 65535); },
         [](auto& n) { return Constant<std::int16_t>(n, ftSmallint, -1); }, 0, 1},
        {"largeint 2^32 above integer max",
         [](auto& n) { return Constant<std::int64_t>(n, ftLargeint, 4294967296LL); },
         [](auto& n) { return Constant<std::int32_t>(n, ftInteger, 2147483647); }, 0, 1},
        {"autoinc against integer",
         [](auto& n) { return Constant<std::int32_t>(n, ftAutoInc, -5); },
         [](auto& n) { return Constant<std::int32_t>(n, ftInteger, -5); }, 0, 0},
        {"integer 3 below float 3.5",
         [](auto& n) { return Constant<std::int32_t>(n, ftInteger, 3); },
         [](auto& n) { return Constant<double>(n, ftFloat, 3.5); }, 0, -1},
        {"float -0.5 below integer 0", [](auto& n) { return Constant<double>(n, ftFloat, -0.5); },
         [](auto& n) { return Constant<std::int32_t>(n, ftInteger, 0); }, 0, -1},
        {"largeint 2^53+1 above its rounded double",
         [](auto& n) { return Constant<std::int64_t>(n, ftLargeint, 9007199254740993LL); },
         [](auto& n) { return Constant<double>(n, ftFloat, 9007199254740992.0); }, 0, 1},
        {"currency equals float", [](auto& n) { return Constant<double>(n, ftCurrency, 1.25); },
         [](auto& n) { return Constant<double>(n, ftFloat, 1.25); }, 0, 0},
        {"false before true", [](auto& n) { return Boolean(n, 0); },
         [](auto& n) { return Boolean(n, 1); }, 0, -1},
        {"every non-zero byte is true", [](auto& n) { return Boolean(n, 2); },
         [](auto& n) { return Boolean(n, 1); }, 0, 0},
        {"date by day number", [](auto& n) { return Constant<std::int32_t>(n, ftDate, 5); },
         [](auto& n) { return Constant<std::int32_t>(n, ftDate, 4); }, 0, 1},
        {"time by milliseconds", [](auto& n) { return Constant<std::int32_t>(n, ftTime, 999); },
         [](auto& n) { return Constant<std::int32_t>(n, ftTime, 1000); }, 0, -1},
        {"date equals its midnight",
         [](auto& n) { return Constant<std::int32_t>(n, ftDate, kDay20200102); },
         [](auto& n) { return Constant<double>(n, ftDateTime, kMidnight20200102); }, 0, 0},
        {"date below one millisecond later",
         [](auto& n) { return Constant<std::int32_t>(n, ftDate, kDay20200102); },
         [](auto& n) { return Constant<double>(n, ftDateTime, kMidnight20200102 + 1); }, 0, -1},
        {"date-time above the date",
         [](auto& n) { return Constant<double>(n, ftDateTime, kMidnight20200102 + 1); },
         [](auto& n) { return Constant<std::int32_t>(n, ftDate, kDay20200102); }, 0, 1},
    };
    for (const CompareCase& c : cases) {
        TExprNodes nodes;
        EXPECT_EQ(KeyOrder(c.left(nodes), c.right(nodes), c.options), c.expected) << c.name;
    }
}

TEST(ExprCompare, DerivedOperatorsNegateTheBasicOnes) {
    struct Case {
        TExprOperator op;
        bool whenLess, whenEqual, whenGreater;
    };
    const Case cases[] = {
        {toEQ, false, true, false}, {toNE, true, false, true},  {toLT, true, false, false},
        {toGE, false, true, true},  {toGT, false, false, true}, {toLE, true, true, false},
    };
    for (const Case& c : cases) {
        for (int left : {1, 2, 3}) {
            TExprNodes nodes;
            TExprNode* result =
                testing::Apply(nodes, c.op, Constant<std::int32_t>(nodes, ftInteger, left),
                               Constant<std::int32_t>(nodes, ftInteger, 2));
            const bool expected = left < 2 ? c.whenLess : left == 2 ? c.whenEqual : c.whenGreater;
            EXPECT_EQ(result->AsBoolean(), expected) << int(c.op) << " with " << left;
            EXPECT_EQ(result->DataType, ftBoolean);
            EXPECT_EQ(result->ValueSize, 1);
        }
    }
}

TEST(ExprCompare, PartialComparisonUsesTheRightOperandsLength) {
    struct Case {
        const char* value;
        TFilterOptions options;
        bool equal;
    };
    const Case cases[] = {
        {"abX", 0, true},
        {"ab", 0, true},
        {"a", 0, false},
        {"aX", 0, false},
        {"abX", foNoPartialCompare, false},
        {"ab", foNoPartialCompare, false},
        {"ab*", foNoPartialCompare, true},
        {"AB", foCaseInsensitive, true},
    };
    for (const Case& c : cases) {
        TExprNodes nodes;
        TExprNode* pattern = Text(nodes, "ab*");
        pattern->PartialLength = 2;
        EXPECT_EQ(
            testing::Apply(nodes, toEQ, Text(nodes, c.value), pattern, c.options)->AsBoolean(),
            c.equal)
            << c.value << " options " << int(c.options);
    }
}

TEST(ExprCompare, CompareDbStringCutsBothTexts) {
    EXPECT_EQ(CompareDbString("abc", "abd", true, 2, false), 0);
    EXPECT_EQ(CompareDbString("abc", "abd", true, -1, false), -1);
    EXPECT_EQ(CompareDbString("abc", "abd", false, 2, false), -1);
    EXPECT_EQ(CompareDbString("b", "abd", true, 0, false), 0);
    EXPECT_EQ(CompareDbString("ab", "abd", true, 5, false), -1);
    EXPECT_EQ(CompareDbString("Ab", "ab", true, 5, true), 0);
}

TEST(ExprCompare, TextIsBoundedByTheReadableBytes) {
    // A record slot filled to its last byte has no terminating zero.
    char slot[4] = {'a', 'b', 'c', 'd'};
    TExprNodes nodes;
    TExprNode* field = nodes.NewNode(enField, ftString, 0, toNOTDEFINED, nullptr, nullptr);
    field->Value = slot;
    field->ValueLimit = 3;
    EXPECT_TRUE(
        testing::Apply(nodes, toEQ, field, Text(nodes, "abc"), foNoPartialCompare)->AsBoolean());
    field->ValueLimit = 0;
    EXPECT_TRUE(
        testing::Apply(nodes, toEQ, field, Text(nodes, ""), foNoPartialCompare)->AsBoolean());
}

TEST(ExprCompare, NaNIsUnordered) {
    TExprNodes nodes;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    TExprNode* a = Constant<double>(nodes, ftFloat, nan);
    TExprNode* b = Constant<std::int32_t>(nodes, ftInteger, 1);
    EXPECT_FALSE(testing::Apply(nodes, toEQ, a, b)->AsBoolean());
    EXPECT_FALSE(testing::Apply(nodes, toLT, a, b)->AsBoolean());
    EXPECT_FALSE(testing::Apply(nodes, toGT, b, a)->AsBoolean());
    EXPECT_TRUE(testing::Apply(nodes, toNE, a, b)->AsBoolean());
}

TEST(ExprCompare, PairsWithoutAnOrderAreRefused) {
    const std::function<TExprNode*(TExprNodes&)> makers[][2] = {
        {[](auto& n) { return Text(n, "1"); },
         [](auto& n) { return Constant<std::int32_t>(n, ftInteger, 1); }},
        {[](auto& n) { return Constant<std::int32_t>(n, ftInteger, 1); },
         [](auto& n) { return Text(n, "1"); }},
        {[](auto& n) { return Boolean(n, 1); },
         [](auto& n) { return Constant<std::int32_t>(n, ftInteger, 1); }},
        {[](auto& n) { return Constant<std::int32_t>(n, ftDate, 1); },
         [](auto& n) { return Constant<std::int32_t>(n, ftTime, 1); }},
        {[](auto& n) { return Constant<std::int32_t>(n, ftTime, 1); },
         [](auto& n) { return Constant<double>(n, ftDateTime, 1); }},
        {[](auto& n) { return Constant<std::int32_t>(n, ftDate, 1); },
         [](auto& n) { return Constant<std::int32_t>(n, ftInteger, 1); }},
        {[](auto& n) { return Constant<std::int32_t>(n, ftBytes, 1); },
         [](auto& n) { return Constant<std::int32_t>(n, ftBytes, 1); }},
    };
    for (const auto& pair : makers) {
        TExprNodes nodes;
        TExprNode* result =
            nodes.NewNode(enOperator, ftBoolean, 1, toEQ, pair[0](nodes), pair[1](nodes));
        static_cast<std::uint8_t*>(result->Value)[0] = 7;
        try {
            result->Calculate(0);
            ADD_FAILURE() << "no error for types " << int(result->Left->DataType) << ", "
                          << int(result->Right->DataType);
        } catch (const EDatabaseError& e) {
            EXPECT_STREQ(e.what(), "Type mismatch in expression");
        }
        EXPECT_EQ(static_cast<std::uint8_t*>(result->Value)[0], 7) << "nothing is written";
    }
}

TEST(ExprCompare, ShortValuesAreRefusedNotOverread) {
    TExprNodes nodes;
    TExprNode* shortInt = nodes.NewNode(enConst, ftInteger, 2, toNOTDEFINED, nullptr, nullptr);
    TExprNode* missing = nodes.NewNode(enConst, ftFloat, 0, toNOTDEFINED, nullptr, nullptr);
    EXPECT_THROW(testing::Apply(nodes, toEQ, shortInt, Constant<std::int32_t>(nodes, ftInteger, 0)),
                 EDatabaseError);
    EXPECT_THROW(testing::Apply(nodes, toEQ, missing, Constant<double>(nodes, ftFloat, 0)),
                 EDatabaseError);
}

}  // namespace
}  // namespace vesk
