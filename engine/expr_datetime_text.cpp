// Text constants that meet a date or time operand become date or time constants: the fixed
// scanners first, then the locale's conversions.
#include "engine/date_scan.h"
#include "engine/db_error.h"
#include "engine/expr_node.h"
#include "engine/expr_value.h"
#include "engine/locale_convert.h"

namespace vesk {

namespace {

bool IsTextConstant(const TExprNode& node) {
    return node.Kind == enConst && ValueClassOf(node.DataType) == TValueClass::Text;
}

}  // namespace

bool TExprNode::IsDateTimeString() const {
    if (!IsTextConstant(*this))
        return false;
    const std::string_view text = ReadText(*this);
    double milliseconds = 0;
    return TryParseDateTime(text, milliseconds) || TryLocaleTextToDateTime(text, milliseconds);
}

void TExprNode::ConvertToDateTime(TFieldType toType) {
    if (!IsTextConstant(*this))
        throw EDatabaseError("Type mismatch in expression");
    const std::string_view text = ReadText(*this);
    // Every conversion is done before the node changes, so a refused text leaves it as it was.
    switch (toType) {
        case ftDate: {
            std::int32_t day = 0;
            if (!TryParseDate(text, day))
                day = LocaleTextToDate(text);
            WriteInt32(*this, day);
            break;
        }
        case ftTime: {
            std::int32_t ms = 0;
            if (!TryParseTime(text, ms))
                ms = LocaleTextToTime(text);
            WriteInt32(*this, ms);
            break;
        }
        case ftDateTime: {
            double ms = 0;
            if (!TryParseDateTime(text, ms))
                ms = LocaleTextToDateTime(text);
            WriteDouble(*this, ms);
            break;
        }
        default:
            throw EDatabaseError("Type mismatch in expression");
    }
    DataType = toType;
    PartialLength = -1;
}

}  // namespace vesk
