#pragma once
// Reading and writing the values of expression nodes by value class. Every read is bounded by
// the bytes the node may read (its own ValueSize, or ValueLimit for a value it does not own).
//
// Errors: EDatabaseError("Invalid value in expression") when a fixed-size value has fewer
// bytes than its type needs (or no value at all).
#include <cstdint>
#include <string_view>

#include "engine/expr_node.h"

namespace vesk {

// How the evaluator holds and computes a type's value.
enum class TValueClass : std::uint8_t {
    None,  // no value the evaluator can compute
    Text,
    SmallInt,
    Word,
    Integer,
    LargeInt,
    Float,
    Boolean,
    Date,
    Time,
    DateTime,
};

TValueClass ValueClassOf(TFieldType type);
bool IsIntegerClass(TValueClass valueClass);  // SmallInt, Word, Integer, LargeInt
bool IsNumericClass(TValueClass valueClass);  // the integer classes and Float

// Bytes that may be read at the node's Value (0 without a value). Never throws.
std::int32_t ReadableBytes(const TExprNode& node);
// The text up to its first zero byte, never past the readable bytes. Never throws.
std::string_view ReadText(const TExprNode& node);
// The node's numeric value widened to 64 bits (word unsigned); integer classes only.
std::int64_t ReadInteger(const TExprNode& node);
// Any numeric class as a double (integers converted).
double ReadFloat(const TExprNode& node);
std::int32_t ReadInt32(const TExprNode& node);  // date and time values
double ReadDateTime(const TExprNode& node);     // date-time milliseconds
bool ReadBoolean(const TExprNode& node);        // first byte not zero

// Writers: resize the node's own value to the type's size and store the value (a text of 2 GiB
// or more: "Value out of range in expression").
void WriteText(TExprNode& node, std::string_view text);
void WriteInt32(TExprNode& node, std::int32_t value);
void WriteInt64(TExprNode& node, std::int64_t value);
void WriteDouble(TExprNode& node, double value);
void WriteBoolean(TExprNode& node, bool value);

}  // namespace vesk
