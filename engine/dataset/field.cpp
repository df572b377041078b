#include "engine/dataset/field.h"

#include <cstring>
#include <vector>

#include "engine/dataset/field_convert.h"
#include "engine/dataset/tde_dataset.h"
#include "engine/db_error.h"
#include "engine/file_format.h"

namespace vesk {

namespace {

bool IsIntegerKind(TFieldType type) {
    return type == ftInteger || type == ftAutoInc || type == ftSmallint || type == ftWord;
}

bool IsTextField(TFieldType type) {
    return type == ftString || type == ftFixedChar;
}

struct IntegerRange {
    std::int64_t low;
    std::int64_t high;
};

IntegerRange RangeOf(TFieldType type) {
    switch (type) {
        case ftSmallint:
            return {-32768, 32767};
        case ftWord:
            return {0, 65535};
        default:
            return {-2147483648LL, 2147483647LL};
    }
}

}  // namespace

TField::TField(TTDEDataSet& dataSet, std::string name, TFieldType dataType, std::int32_t size,
               std::int32_t fieldNo, std::int32_t valueSize)
    : dataSet_(dataSet),
      name_(std::move(name)),
      dataType_(dataType),
      size_(size),
      fieldNo_(fieldNo),
      valueSize_(valueSize) {}

bool TField::ReadValue(void* value) const {
    return dataSet_.GetFieldData(*this, value);
}

void TField::WriteValue(const void* value) {
    dataSet_.SetFieldData(*this, value);
}

void TField::AccessError(const char* typeName) const {
    throw EDatabaseError("Cannot access field '" + name_ + "' as type " + typeName);
}

std::int64_t TField::ReadInteger(bool& present) const {
    std::uint8_t bytes[8] = {};
    present = ReadValue(bytes);
    if (!present)
        return 0;
    switch (dataType_) {
        case ftSmallint:
            return format::GetI16(bytes);
        case ftWord:
        case ftBoolean:
            return static_cast<std::uint16_t>(format::GetI16(bytes));
        default:
            return format::GetI32(bytes);
    }
}

void TField::WriteInteger(std::int64_t value) {
    const IntegerRange range = RangeOf(dataType_);
    CheckIntegerRange(value, range.low, range.high, name_);
    std::uint8_t bytes[4] = {};
    if (dataType_ == ftSmallint || dataType_ == ftWord)
        format::PutI16(bytes, static_cast<std::int16_t>(static_cast<std::uint16_t>(value)));
    else
        format::PutI32(bytes, static_cast<std::int32_t>(value));
    WriteValue(bytes);
}

std::string TField::AsString() const {
    if (IsTextField(dataType_)) {
        std::vector<char> text(static_cast<size_t>(valueSize_) + 1, '\0');
        if (!ReadValue(text.data()))
            return {};
        return std::string(text.data());
    }
    if (IsIntegerKind(dataType_)) {
        bool present = false;
        const std::int64_t value = ReadInteger(present);
        return present ? std::to_string(value) : std::string();
    }
    if (dataType_ == ftBoolean) {
        bool present = false;
        const std::int64_t value = ReadInteger(present);
        return present ? (value != 0 ? "True" : "False") : std::string();
    }
    AccessError("String");
}

void TField::SetAsString(const std::string& value) {
    if (IsTextField(dataType_)) {
        CheckTextFits(value, static_cast<size_t>(size_), name_);
        std::vector<char> text(static_cast<size_t>(valueSize_), '\0');
        const std::string_view stored = TextBeforeZero(value);
        std::memcpy(text.data(), stored.data(), stored.size());
        WriteValue(text.data());
        return;
    }
    if (IsIntegerKind(dataType_)) {
        if (value.empty())
            return;  // clearing a field keeps its value: data fields have no null state
        const std::optional<std::int32_t> number = ParseInteger(value);
        if (!number)
            throw EDatabaseError("'" + value + "' is not a valid integer value for field '" +
                                 name_ + "'");
        WriteInteger(*number);
        return;
    }
    if (dataType_ == ftBoolean) {
        if (value.empty())
            return;
        const std::optional<bool> flag = ParseBooleanText(value);
        if (!flag)
            throw EDatabaseError("'" + value + "' is not a valid boolean value for field '" +
                                 name_ + "'");
        SetAsBoolean(*flag);
        return;
    }
    AccessError("String");
}

std::int32_t TField::AsInteger() const {
    if (IsIntegerKind(dataType_)) {
        bool present = false;
        return static_cast<std::int32_t>(ReadInteger(present));
    }
    if (IsTextField(dataType_)) {
        if (!dataSet_.HasActiveRecord())
            return 0;
        const std::string text = AsString();
        const std::optional<std::int32_t> number = ParseInteger(text);
        if (!number)
            throw EDatabaseError("'" + text + "' is not a valid integer value");
        return *number;
    }
    AccessError("Integer");
}

void TField::SetAsInteger(std::int64_t value) {
    if (IsIntegerKind(dataType_)) {
        WriteInteger(value);
        return;
    }
    if (IsTextField(dataType_)) {
        SetAsString(std::to_string(value));
        return;
    }
    AccessError("Integer");
}

bool TField::AsBoolean() const {
    if (dataType_ == ftBoolean) {
        bool present = false;
        return ReadInteger(present) != 0;
    }
    if (IsTextField(dataType_)) {
        const std::string text = AsString();
        return !text.empty() &&
               (text[0] == 'T' || text[0] == 't' || text[0] == 'Y' || text[0] == 'y');
    }
    AccessError("Boolean");
}

void TField::SetAsBoolean(bool value) {
    if (dataType_ == ftBoolean) {
        std::uint8_t bytes[2] = {};
        format::PutI16(bytes, value ? 1 : 0);
        WriteValue(bytes);
        return;
    }
    if (IsTextField(dataType_)) {
        SetAsString(value ? "T" : "F");
        return;
    }
    AccessError("Boolean");
}

}  // namespace vesk
