#include "engine/expr_value.h"

#include <cstdint>
#include <cstring>
#include <string>

#include "engine/db_error.h"

namespace vesk {

namespace {

// Copies a fixed-size value out of the node, refusing one that is too short: a record buffer
// or a hand-made node must never make us read past its end.
template <typename T>
T ReadFixed(const TExprNode& node) {
    if (ReadableBytes(node) < static_cast<std::int32_t>(sizeof(T))) {
        throw EDatabaseError("Invalid value in expression");
    }
    T value;
    std::memcpy(&value, node.Value, sizeof(T));
    return value;
}

template <typename T>
void WriteFixed(TExprNode& node, T value) {
    node.SetDataSize(static_cast<std::int32_t>(sizeof(T)));
    std::memcpy(node.Value, &value, sizeof(T));
}

}  // namespace

TValueClass ValueClassOf(TFieldType type) {
    switch (type) {
        case ftSmallint:
            return TValueClass::SmallInt;
        case ftWord:
            return TValueClass::Word;
        case ftInteger:
        case ftAutoInc:
            return TValueClass::Integer;
        case ftLargeint:
            return TValueClass::LargeInt;
        case ftFloat:
        case ftCurrency:
            return TValueClass::Float;
        case ftBoolean:
            return TValueClass::Boolean;
        case ftDate:
            return TValueClass::Date;
        case ftTime:
            return TValueClass::Time;
        case ftDateTime:
            return TValueClass::DateTime;
        default:
            // Every type the parser treats as text (fixed texts and the blob kinds, whose
            // field nodes hold the blob's text) is compared as text.
            return TExprNode::IsStringType(type) ? TValueClass::Text : TValueClass::None;
    }
}

bool IsIntegerClass(TValueClass valueClass) {
    return valueClass == TValueClass::SmallInt || valueClass == TValueClass::Word ||
           valueClass == TValueClass::Integer || valueClass == TValueClass::LargeInt;
}

bool IsNumericClass(TValueClass valueClass) {
    return IsIntegerClass(valueClass) || valueClass == TValueClass::Float;
}

std::int32_t ReadableBytes(const TExprNode& node) {
    if (node.Value == nullptr)
        return 0;
    if (node.ValueSize > 0)
        return node.ValueSize;
    return node.ValueLimit > 0 ? node.ValueLimit : 0;
}

std::string_view ReadText(const TExprNode& node) {
    const std::int32_t readable = ReadableBytes(node);
    if (readable == 0)
        return {};
    const char* start = static_cast<const char*>(node.Value);
    const void* zero = std::memchr(start, 0, static_cast<size_t>(readable));
    const size_t length = zero ? static_cast<size_t>(static_cast<const char*>(zero) - start)
                               : static_cast<size_t>(readable);
    return {start, length};
}

std::int64_t ReadInteger(const TExprNode& node) {
    switch (ValueClassOf(node.DataType)) {
        case TValueClass::SmallInt:
            return ReadFixed<std::int16_t>(node);
        case TValueClass::Word:
            return ReadFixed<std::uint16_t>(node);
        case TValueClass::Integer:
            return ReadFixed<std::int32_t>(node);
        case TValueClass::LargeInt:
            return ReadFixed<std::int64_t>(node);
        default:
            throw EDatabaseError("Type mismatch in expression");
    }
}

double ReadFloat(const TExprNode& node) {
    if (ValueClassOf(node.DataType) == TValueClass::Float)
        return ReadFixed<double>(node);
    return static_cast<double>(ReadInteger(node));
}

std::int32_t ReadInt32(const TExprNode& node) {
    return ReadFixed<std::int32_t>(node);
}

double ReadDateTime(const TExprNode& node) {
    return ReadFixed<double>(node);
}

bool ReadBoolean(const TExprNode& node) {
    return ReadableBytes(node) > 0 && *static_cast<const std::uint8_t*>(node.Value) != 0;
}

void WriteText(TExprNode& node, std::string_view text) {
    // The text may come from anywhere (also from a node below); SetDataSize may move the
    // storage, so the bytes are copied before it.
    if (text.size() >= static_cast<size_t>(INT32_MAX)) {
        throw EDatabaseError("Value out of range in expression");
    }
    const std::string copy(text);
    node.SetDataSize(static_cast<std::int32_t>(copy.size() + 1));
    std::memcpy(node.Value, copy.c_str(), copy.size() + 1);
}

void WriteInt32(TExprNode& node, std::int32_t value) {
    WriteFixed(node, value);
}
void WriteInt64(TExprNode& node, std::int64_t value) {
    WriteFixed(node, value);
}
void WriteDouble(TExprNode& node, double value) {
    WriteFixed(node, value);
}
void WriteBoolean(TExprNode& node, bool value) {
    WriteFixed(node, static_cast<std::uint8_t>(value ? 1 : 0));
}

}  // namespace vesk
