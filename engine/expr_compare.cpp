#include "engine/expr_compare.h"

#include <cmath>

#include "engine/db_error.h"
#include "engine/expr_value.h"
#include "platform/os/collation.h"

namespace vesk {

namespace {

constexpr double kMsPerDay = 86400000.0;

template <typename T>
TCompareResult Order(T a, T b) {
    if (a < b)
        return TCompareResult::Less;
    if (b < a)
        return TCompareResult::Greater;
    if (a == b)
        return TCompareResult::Equal;
    return TCompareResult::Unordered;
}

// An integer against a double by exact value: converting a 64-bit integer to double may round,
// which would make distinct keys compare equal.
TCompareResult OrderExact(std::int64_t i, double d) {
    if (std::isnan(d))
        return TCompareResult::Unordered;
    constexpr double kTwoPow63 = 9223372036854775808.0;
    if (d >= kTwoPow63)
        return TCompareResult::Less;
    if (d < -kTwoPow63)
        return TCompareResult::Greater;
    const double whole = std::trunc(d);
    const auto wholeInt = static_cast<std::int64_t>(whole);  // exact: |whole| < 2^63
    if (i != wholeInt)
        return Order(i, wholeInt);
    return Order(0.0, d - whole);  // the fraction decides
}

TCompareResult Invert(TCompareResult result) {
    if (result == TCompareResult::Less)
        return TCompareResult::Greater;
    if (result == TCompareResult::Greater)
        return TCompareResult::Less;
    return result;
}

TCompareResult CompareNumbers(const TExprNode& left, TValueClass leftClass, const TExprNode& right,
                              TValueClass rightClass) {
    const bool leftFloat = leftClass == TValueClass::Float;
    const bool rightFloat = rightClass == TValueClass::Float;
    if (!leftFloat && !rightFloat)
        return Order(ReadInteger(left), ReadInteger(right));
    if (leftFloat && rightFloat)
        return Order(ReadFloat(left), ReadFloat(right));
    if (rightFloat)
        return OrderExact(ReadInteger(left), ReadFloat(right));
    return Invert(OrderExact(ReadInteger(right), ReadFloat(left)));
}

}  // namespace

int CompareDbString(std::string_view s1, std::string_view s2, bool partial,
                    std::int32_t partialLength, bool caseInsensitive) {
    if (partial && partialLength >= 0) {
        const auto limit = static_cast<size_t>(partialLength);
        s1 = s1.substr(0, limit);
        s2 = s2.substr(0, limit);
    }
    return os::CompareAnsiText(s1, s2, caseInsensitive);
}

TCompareResult CompareNodes(const TExprNode& left, const TExprNode& right, TFilterOptions options) {
    const TValueClass leftClass = ValueClassOf(left.DataType);
    const TValueClass rightClass = ValueClassOf(right.DataType);
    if (leftClass == TValueClass::Text && rightClass == TValueClass::Text) {
        const bool partial = (options & foNoPartialCompare) == 0;
        const int result = CompareDbString(ReadText(left), ReadText(right), partial,
                                           right.PartialLength, (options & foCaseInsensitive) != 0);
        return Order(result, 0);
    }
    if (IsNumericClass(leftClass) && IsNumericClass(rightClass)) {
        return CompareNumbers(left, leftClass, right, rightClass);
    }
    // Only the first byte of a Boolean counts; every non-zero byte is the same true.
    if (leftClass == TValueClass::Boolean && rightClass == TValueClass::Boolean) {
        return Order(ReadBoolean(left), ReadBoolean(right));
    }
    if (leftClass == rightClass &&
        (leftClass == TValueClass::Date || leftClass == TValueClass::Time)) {
        return Order(ReadInt32(left), ReadInt32(right));
    }
    if (leftClass == TValueClass::DateTime && rightClass == TValueClass::DateTime) {
        return Order(ReadDateTime(left), ReadDateTime(right));
    }
    // A date stands for its midnight against a date-time.
    if (leftClass == TValueClass::Date && rightClass == TValueClass::DateTime) {
        return Order(ReadInt32(left) * kMsPerDay, ReadDateTime(right));
    }
    if (leftClass == TValueClass::DateTime && rightClass == TValueClass::Date) {
        return Order(ReadDateTime(left), ReadInt32(right) * kMsPerDay);
    }
    throw EDatabaseError("Type mismatch in expression");
}

bool ComparisonHolds(TExprOperator op, TCompareResult result) {
    switch (op) {
        case toEQ:
            return result == TCompareResult::Equal;
        case toNE:
            return result != TCompareResult::Equal;
        case toLT:
            return result == TCompareResult::Less;
        case toGE:
            return result != TCompareResult::Less;
        case toGT:
            return result == TCompareResult::Greater;
        case toLE:
            return result != TCompareResult::Greater;
        default:
            throw EDatabaseError("Type mismatch in expression");
    }
}

}  // namespace vesk
