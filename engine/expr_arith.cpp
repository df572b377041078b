#include "engine/expr_arith.h"

#include <cmath>
#include <cstdint>
#include <string>

#include "engine/day_number.h"
#include "engine/db_error.h"
#include "engine/expr_value.h"

namespace vesk {

namespace {

[[noreturn]] void TypeMismatch() {
    throw EDatabaseError("Type mismatch in expression");
}

// Wrapping integer arithmetic without signed overflow.
template <typename Signed, typename Unsigned>
Signed Wrap(TExprOperator op, Signed a, Signed b) {
    const auto ua = static_cast<Unsigned>(a);
    const auto ub = static_cast<Unsigned>(b);
    switch (op) {
        case toADD:
            return static_cast<Signed>(static_cast<Unsigned>(ua + ub));
        case toSUB:
            return static_cast<Signed>(static_cast<Unsigned>(ua - ub));
        default:
            return static_cast<Signed>(static_cast<Unsigned>(ua * ub));
    }
}

std::int32_t Wrap32(TExprOperator op, std::int64_t a, std::int64_t b) {
    return Wrap<std::int32_t, std::uint32_t>(op, static_cast<std::int32_t>(a),
                                             static_cast<std::int32_t>(b));
}

// The count a date or time moves by: a float truncated toward zero, a large integer's low 32
// bits. A float that is no 32-bit count is refused instead of being converted undefined.
std::int32_t DayOrMsCount(const TExprNode& number, TValueClass numberClass) {
    if (numberClass == TValueClass::Float) {
        const double value = std::trunc(ReadFloat(number));
        if (!(value >= -2147483648.0 && value <= 2147483647.0)) {
            throw EDatabaseError("Value out of range in expression");
        }
        return static_cast<std::int32_t>(value);
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(ReadInteger(number)));
}

// A date-time moved by whole days: rounded to milliseconds, split into day and time of day,
// the days added, joined again.
double ShiftDateTime(double milliseconds, std::int64_t days) {
    std::int32_t day = 0;
    std::int32_t timeOfDay = 0;
    if (!SplitDateTime(milliseconds, day, timeOfDay)) {
        throw EDatabaseError("Value out of range in expression");
    }
    return static_cast<double>((static_cast<std::int64_t>(day) + days) * kMsPerDay + timeOfDay);
}

void WriteIntegerResult(TExprNode& result, TFieldType type, std::int32_t value) {
    // ftAutoInc stays (same form); every smaller integer result is ftInteger.
    result.DataType = type == ftAutoInc ? ftAutoInc : ftInteger;
    WriteInt32(result, value);
}

void WriteFloatResult(TExprNode& result, double value) {
    result.DataType = result.DataType == ftCurrency ? ftCurrency : ftFloat;
    WriteDouble(result, value);
}

void Numeric(TExprNode& result, TExprOperator op, const TExprNode& left, TValueClass leftClass,
             const TExprNode& right, TValueClass rightClass) {
    const bool anyFloat = leftClass == TValueClass::Float || rightClass == TValueClass::Float;
    if (op == toDIV) {
        const double divisor = ReadFloat(right);
        const double dividend = ReadFloat(left);
        if (divisor == 0.0)
            throw EDatabaseError("Division by zero");
        result.DataType = ftFloat;
        WriteDouble(result, dividend / divisor);
        return;
    }
    if (anyFloat) {
        const double a = ReadFloat(left);
        const double b = ReadFloat(right);
        const double value = op == toADD ? a + b : op == toSUB ? a - b : a * b;
        // The wider of the two float types (ftCurrency above ftFloat).
        const bool currency = left.DataType == ftCurrency || right.DataType == ftCurrency ||
                              result.DataType == ftCurrency;
        result.DataType = currency ? ftCurrency : ftFloat;
        WriteDouble(result, value);
        return;
    }
    const std::int64_t a = ReadInteger(left);
    const std::int64_t b = ReadInteger(right);
    if (leftClass == TValueClass::LargeInt || rightClass == TValueClass::LargeInt) {
        result.DataType = ftLargeint;
        WriteInt64(result, Wrap<std::int64_t, std::uint64_t>(op, a, b));
        return;
    }
    WriteIntegerResult(result, result.DataType, Wrap32(op, a, b));
}

void DateOrTime(TExprNode& result, TExprOperator op, const TExprNode& left, TValueClass leftClass,
                const TExprNode& right, TValueClass rightClass) {
    const std::int32_t value = ReadInt32(left);
    if (op == toADD && IsNumericClass(rightClass)) {
        const std::int32_t sum = Wrap32(toADD, value, DayOrMsCount(right, rightClass));
        result.DataType = left.DataType;
        WriteInt32(result, sum);
        return;
    }
    if (op != toSUB)
        TypeMismatch();
    if (rightClass == leftClass) {
        WriteIntegerResult(result, ftInteger, Wrap32(toSUB, value, ReadInt32(right)));
        return;
    }
    if (IsNumericClass(rightClass)) {
        WriteIntegerResult(result, ftInteger,
                           Wrap32(toSUB, value, DayOrMsCount(right, rightClass)));
        return;
    }
    // A date against a date-time: milliseconds from the date's midnight, the unit that
    // date-time differences have. Time against date or date-time has no meaning.
    if (leftClass == TValueClass::Date && rightClass == TValueClass::DateTime) {
        WriteFloatResult(result, static_cast<double>(value) * static_cast<double>(kMsPerDay) -
                                     ReadDateTime(right));
        return;
    }
    TypeMismatch();
}

void DateTime(TExprNode& result, TExprOperator op, const TExprNode& left, const TExprNode& right,
              TValueClass rightClass) {
    const double value = ReadDateTime(left);
    if (IsNumericClass(rightClass) && (op == toADD || op == toSUB)) {
        const std::int32_t days = DayOrMsCount(right, rightClass);
        const std::int64_t shift = op == toADD ? days : -static_cast<std::int64_t>(days);
        const double shifted = ShiftDateTime(value, shift);
        if (op == toADD) {
            result.DataType = ftDateTime;
            WriteDouble(result, shifted);
        } else {
            WriteFloatResult(result, shifted);
        }
        return;
    }
    if (op != toSUB)
        TypeMismatch();
    switch (rightClass) {
        case TValueClass::DateTime:
            WriteFloatResult(result, value - ReadDateTime(right));
            return;
        case TValueClass::Date:  // the date's midnight, in milliseconds like the left side
            WriteFloatResult(result, value - static_cast<double>(ReadInt32(right)) *
                                                 static_cast<double>(kMsPerDay));
            return;
        case TValueClass::Time:  // milliseconds from milliseconds
            WriteFloatResult(result, value - static_cast<double>(ReadInt32(right)));
            return;
        default:
            TypeMismatch();
    }
}

}  // namespace

void EvaluateArithmetic(TExprNode& result, TExprOperator op, const TExprNode& left,
                        const TExprNode& right) {
    if (op != toADD && op != toSUB && op != toMUL && op != toDIV)
        TypeMismatch();
    const TValueClass leftClass = ValueClassOf(left.DataType);
    const TValueClass rightClass = ValueClassOf(right.DataType);
    if (IsNumericClass(leftClass) && IsNumericClass(rightClass)) {
        Numeric(result, op, left, leftClass, right, rightClass);
        return;
    }
    if (leftClass == TValueClass::Text && rightClass == TValueClass::Text && op == toADD) {
        std::string joined(ReadText(left));
        joined += ReadText(right);
        result.DataType = ftString;
        WriteText(result, joined);
        return;
    }
    if (op == toMUL || op == toDIV)
        TypeMismatch();
    if (leftClass == TValueClass::Date || leftClass == TValueClass::Time) {
        DateOrTime(result, op, left, leftClass, right, rightClass);
        return;
    }
    if (leftClass == TValueClass::DateTime) {
        DateTime(result, op, left, right, rightClass);
        return;
    }
    TypeMismatch();
}

}  // namespace vesk
