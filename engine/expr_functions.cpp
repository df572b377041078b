#include "engine/expr_functions.h"

#include <string>

#include "engine/day_number.h"
#include "engine/db_error.h"
#include "engine/expr_value.h"
#include "platform/os/clock.h"
#include "platform/os/collation.h"

namespace vesk {

namespace {

[[noreturn]] void TypeMismatch() {
    throw EDatabaseError("Type mismatch in expression");
}

const TExprNode& Argument(const std::vector<TExprNode*>& args, size_t index, size_t count) {
    if (args.size() != count || args[index] == nullptr)
        TypeMismatch();
    return *args[index];
}

std::string_view TextArgument(const std::vector<TExprNode*>& args, size_t index, size_t count) {
    const TExprNode& arg = Argument(args, index, count);
    if (ValueClassOf(arg.DataType) != TValueClass::Text)
        TypeMismatch();
    return ReadText(arg);
}

std::int64_t IntegerArgument(const std::vector<TExprNode*>& args, size_t index, size_t count) {
    const TExprNode& arg = Argument(args, index, count);
    if (!IsIntegerClass(ValueClassOf(arg.DataType)))
        TypeMismatch();
    return ReadInteger(arg);
}

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

std::string Substring(std::string_view text, std::int64_t start, std::int64_t length) {
    if (start < 1)
        start = 1;
    const auto size = static_cast<std::int64_t>(text.size());
    if (start > size || length < 1)
        return {};
    const std::int64_t available = size - (start - 1);
    return std::string(text.substr(static_cast<size_t>(start - 1),
                                   static_cast<size_t>(length < available ? length : available)));
}

std::string_view Trim(std::string_view text, bool left, bool right) {
    size_t begin = 0;
    size_t end = text.size();
    if (left) {
        while (begin < end && IsBlank(text[begin]))
            ++begin;
    }
    if (right) {
        while (end > begin && IsBlank(text[end - 1]))
            --end;
    }
    return text.substr(begin, end - begin);
}

void WriteTextResult(TExprNode& result, std::string_view text) {
    result.DataType = ftString;
    WriteText(result, text);
}

void WriteIntegerResult(TExprNode& result, int value) {
    result.DataType = ftInteger;
    WriteInt32(result, value);
}

// The day and time of day of the single date, time or date-time argument (a date-time
// rounded to milliseconds); accepted is `allowed` or ftDateTime.
void DateTimeArgument(const std::vector<TExprNode*>& args, TFieldType allowed, std::int32_t& day,
                      std::int32_t& msOfDay) {
    const TExprNode& arg = Argument(args, 0, 1);
    if (arg.DataType == allowed) {
        (allowed == ftDate ? day : msOfDay) = ReadInt32(arg);
        return;
    }
    if (arg.DataType != ftDateTime)
        TypeMismatch();
    if (!SplitDateTime(ReadDateTime(arg), day, msOfDay)) {
        throw EDatabaseError("Value out of range in expression");
    }
}

int CalendarPart(TExprFuncKind kind, const std::vector<TExprNode*>& args) {
    std::int32_t day = 0;
    std::int32_t msOfDay = 0;
    DateTimeArgument(args, ftDate, day, msOfDay);
    const TCivilDate date = DecodeDayNumber(day);
    return kind == fkYear ? date.Year : kind == fkMonth ? date.Month : date.Day;
}

int ClockPart(TExprFuncKind kind, const std::vector<TExprNode*>& args) {
    std::int32_t day = 0;
    std::int32_t msOfDay = 0;
    DateTimeArgument(args, ftTime, day, msOfDay);
    const TClockTime time = DecodeMsOfDay(msOfDay);
    return kind == fkHour ? time.Hour : kind == fkMinute ? time.Minute : time.Second;
}

double NowAsDateTime() {
    const os::LocalDateTime now = os::Now();
    std::int32_t day = 0;
    std::int32_t ms = 0;
    if (!EncodeDayNumber({now.year, now.month, now.day}, day) ||
        !EncodeMsOfDay({now.hour, now.minute, now.second, now.millisecond}, ms)) {
        throw EDatabaseError("Value out of range in expression");
    }
    return static_cast<double>(day) * static_cast<double>(kMsPerDay) + ms;
}

}  // namespace

void EvaluateFunctionNode(TExprNode& result, TExprFuncKind kind,
                          const std::vector<TExprNode*>& args) {
    switch (kind) {
        case fkUpper:
        case fkLower: {
            std::string text(TextArgument(args, 0, 1));
            for (char& c : text)
                c = kind == fkUpper ? os::AsciiUpper(c) : os::AsciiLower(c);
            WriteTextResult(result, text);
            return;
        }
        case fkSubstring: {
            const std::string_view text = TextArgument(args, 0, 3);
            const std::int64_t start = IntegerArgument(args, 1, 3);
            const std::int64_t length = IntegerArgument(args, 2, 3);
            WriteTextResult(result, Substring(text, start, length));
            return;
        }
        case fkTrim:
        case fkTrimLeft:
        case fkTrimRight:
            WriteTextResult(
                result, Trim(TextArgument(args, 0, 1), kind != fkTrimRight, kind != fkTrimLeft));
            return;
        case fkYear:
        case fkMonth:
        case fkDay:
            WriteIntegerResult(result, CalendarPart(kind, args));
            return;
        case fkHour:
        case fkMinute:
        case fkSecond:
            WriteIntegerResult(result, ClockPart(kind, args));
            return;
        case fkGetDate: {
            if (!args.empty())
                TypeMismatch();
            const double now = NowAsDateTime();
            result.DataType = ftDateTime;
            WriteDouble(result, now);
            return;
        }
        default:
            TypeMismatch();
    }
}

}  // namespace vesk
