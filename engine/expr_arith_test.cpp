#include "engine/expr_arith.h"

#include <gtest/gtest.h>

#include <functional>

#include "engine/day_number.h"
#include "engine/db_error.h"
#include "engine/testing/expr_test_nodes.h"

namespace vesk {
namespace {

using testing::Constant;
using testing::Text;
using testing::ValueOf;

using Maker = std::function<TExprNode*(TExprNodes&)>;

Maker Int(std::int32_t v) {
    return [v](TExprNodes& n) { return Constant<std::int32_t>(n, ftInteger, v); };
}
Maker Small(std::int16_t v) {
    return [v](TExprNodes& n) { return Constant<std::int16_t>(n, ftSmallint, v); };
}
Maker Word(std::uint16_t v) {
    return [v](TExprNodes& n) { return Constant<std::uint16_t>(n, ftWord, v); };
}
Maker Large(std::int64_t v) {
    return [v](TExprNodes& n) { return Constant<std::int64_t>(n, ftLargeint, v); };
}
Maker Float(double v, TFieldType type = ftFloat) {
    return [v, type](TExprNodes& n) { return Constant<double>(n, type, v); };
}
Maker Date(std::int32_t v) {
    return [v](TExprNodes& n) { return Constant<std::int32_t>(n, ftDate, v); };
}
Maker Time(std::int32_t v) {
    return [v](TExprNodes& n) { return Constant<std::int32_t>(n, ftTime, v); };
}
Maker DateTime(double v) {
    return [v](TExprNodes& n) { return Constant<double>(n, ftDateTime, v); };
}

constexpr double kDay = 86400000.0;

TEST(ExprArith, IntegerResults) {
    struct Case {
        const char* name;
        TExprOperator op;
        Maker left, right;
        TFieldType type;
        std::int64_t expected;
    };
    const Case cases[] = {
        {"max + 1 wraps", toADD, Int(2147483647), Int(1), ftInteger, -2147483648LL},
        {"min - 1 wraps", toSUB, Int(-2147483647 - 1), Int(1), ftInteger, 2147483647},
        {"product wraps", toMUL, Int(65536), Int(65536), ftInteger, 0},
        {"word + smallint", toADD, Word(65535), Small(-1), ftInteger, 65534},
        {"smallint * smallint widens", toMUL, Small(300), Small(300), ftInteger, 90000},
        {"large + integer", toADD, Large(4294967296LL), Int(-1), ftLargeint, 4294967295LL},
        {"large wraps", toADD, Large(INT64_MAX), Large(1), ftLargeint, INT64_MIN},
        {"date - date", toSUB, Date(737426), Date(737420), ftInteger, 6},
        {"time - time", toSUB, Time(5000), Time(7000), ftInteger, -2000},
        {"date - number", toSUB, Date(737426), Int(26), ftInteger, 737400},
        {"time - float truncates", toSUB, Time(1000), Float(2.9), ftInteger, 998},
        {"date + 1 is the next day", toADD, Date(737426), Int(1), ftDate, 737427},
        {"date + large uses the low 32 bits", toADD, Date(10), Large(4294967296LL + 3), ftDate, 13},
        {"date + float truncates toward zero", toADD, Date(10), Float(-1.9), ftDate, 9},
        {"time + number", toADD, Time(500), Small(20), ftTime, 520},
    };
    for (const Case& c : cases) {
        TExprNodes nodes;
        TExprNode* result = testing::Apply(nodes, c.op, c.left(nodes), c.right(nodes));
        EXPECT_EQ(result->DataType, c.type) << c.name;
        const std::int64_t value =
            c.type == ftLargeint ? ValueOf<std::int64_t>(result) : ValueOf<std::int32_t>(result);
        EXPECT_EQ(value, c.expected) << c.name;
        EXPECT_EQ(result->ValueSize, c.type == ftLargeint ? 8 : 4) << c.name;
    }
}

TEST(ExprArith, FloatResults) {
    struct Case {
        const char* name;
        TExprOperator op;
        Maker left, right;
        TFieldType type;
        double expected;
    };
    const Case cases[] = {
        {"7 / 2", toDIV, Int(7), Int(2), ftFloat, 3.5},
        {"integer / float", toDIV, Int(1), Float(0.5), ftFloat, 2.0},
        {"float * integer", toMUL, Float(1.5), Int(3), ftFloat, 4.5},
        {"currency wins", toADD, Float(1.0, ftCurrency), Float(0.25), ftCurrency, 1.25},
        {"large - float", toSUB, Large(1LL << 40), Float(0.5), ftFloat, 1099511627775.5},
        {"date-time + 1.9 adds one day", toADD, DateTime(100 * kDay + 1234.4), Float(1.9),
         ftDateTime, 101 * kDay + 1234},
        {"date-time + number keeps the time of day", toADD, DateTime(100 * kDay + 5), Int(-2),
         ftDateTime, 98 * kDay + 5},
        {"date-time - number", toSUB, DateTime(100 * kDay + 5), Int(3), ftFloat, 97 * kDay + 5},
        {"date-time - date-time", toSUB, DateTime(100 * kDay + 5), DateTime(99 * kDay), ftFloat,
         kDay + 5},
        {"date-time - date counts from its midnight", toSUB, DateTime(100 * kDay + 5), Date(99),
         ftFloat, kDay + 5},
        {"date-time - time", toSUB, DateTime(100 * kDay + 5000), Time(1000), ftFloat,
         100 * kDay + 4000},
        {"date - date-time", toSUB, Date(101), DateTime(100 * kDay + 5), ftFloat, kDay - 5},
    };
    for (const Case& c : cases) {
        TExprNodes nodes;
        TExprNode* result = testing::Apply(nodes, c.op, c.left(nodes), c.right(nodes));
        EXPECT_EQ(result->DataType, c.type) << c.name;
        EXPECT_DOUBLE_EQ(ValueOf<double>(result), c.expected) << c.name;
        EXPECT_EQ(result->ValueSize, 8) << c.name;
    }
}

TEST(ExprArith, TextConcatenation) {
    TExprNodes nodes;
    TExprNode* result = testing::Apply(nodes, toADD, Text(nodes, "ab"), Text(nodes, "cde", ftMemo));
    EXPECT_EQ(result->DataType, ftString);
    EXPECT_EQ(testing::TextOf(result), "abcde");
    EXPECT_EQ(result->ValueSize, 6);
}

TEST(ExprArith, RefusedOperations) {
    struct Case {
        const char* name;
        TExprOperator op;
        Maker left, right;
        const char* message;
    };
    const char* mismatch = "Type mismatch in expression";
    const Maker text = [](TExprNodes& n) { return Text(n, "1"); };
    const Case cases[] = {
        {"integer / 0", toDIV, Int(1), Int(0), "Division by zero"},
        {"float / 0.0", toDIV, Float(1), Float(0.0), "Division by zero"},
        {"float / -0.0", toDIV, Float(1), Float(-0.0), "Division by zero"},
        {"text - text", toSUB, text, text, mismatch},
        {"text + number", toADD, text, Int(1), mismatch},
        {"number + date", toADD, Int(1), Date(1), mismatch},
        {"date + date", toADD, Date(1), Date(1), mismatch},
        {"date * 2", toMUL, Date(1), Int(2), mismatch},
        {"date-time / 2", toDIV, DateTime(1), Int(2), mismatch},
        {"date - time", toSUB, Date(1), Time(1), mismatch},
        {"time - date", toSUB, Time(1), Date(1), mismatch},
        {"time - date-time", toSUB, Time(1), DateTime(1), mismatch},
        {"date + huge float", toADD, Date(1), Float(1e12), "Value out of range in expression"},
        {"boolean + 1", toADD, [](TExprNodes& n) { return testing::Boolean(n, 1); }, Int(1),
         mismatch},
    };
    for (const Case& c : cases) {
        TExprNodes nodes;
        TExprNode* result =
            nodes.NewNode(enOperator, ftInteger, 4, c.op, c.left(nodes), c.right(nodes));
        try {
            result->Calculate(0);
            ADD_FAILURE() << c.name << ": no error";
        } catch (const EDatabaseError& e) {
            EXPECT_STREQ(e.what(), c.message) << c.name;
        }
        EXPECT_EQ(result->DataType, ftInteger) << c.name << ": left as it was";
    }
}

TEST(ExprArith, OperandsAreEvaluatedFirst) {
    // (2 * 3) + 1 through nested operator nodes.
    TExprNodes nodes;
    TExprNode* product =
        nodes.NewNode(enOperator, ftInteger, 4, toMUL, Int(2)(nodes), Int(3)(nodes));
    TExprNode* sum = testing::Apply(nodes, toADD, product, Int(1)(nodes));
    EXPECT_EQ(ValueOf<std::int32_t>(sum), 7);
}

}  // namespace
}  // namespace vesk
