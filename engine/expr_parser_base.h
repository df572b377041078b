#pragma once
// What an expression tree needs from the parser that built it: the types of fields and
// functions, where a field's value lives in the data set's active record, and a blob field's
// text. The filter parser derives from this and adds the tokenizer and the grammar.
#include <cstdint>
#include <string>

#include "engine/field_type.h"

namespace vesk {

// The bytes of one field inside the data set's active record buffer; the buffer belongs to
// the data set and outlives every evaluation of the tree.
struct TFieldPlace {
    void* Data = nullptr;
    std::int32_t Size = 0;  // bytes readable at Data
};

// A field of the data set, as a field node records it.
struct TFieldInfo {
    std::int32_t Index = -1;  // position among the data set's fields
    TFieldType DataType = ftUnknown;
    bool IsBlob = false;
};

class TExprParserBase {
  public:
    virtual ~TExprParserBase() = default;

    // The field of that name; raises "Field '%s' not found" (with the data set's prefix) when
    // the data set has none.
    virtual TFieldInfo GetFieldInfo(const std::string& name) = 0;
    // The type of the field of that name (raises as GetFieldInfo).
    virtual TFieldType GetFieldDataType(const std::string& name) {
        return GetFieldInfo(name).DataType;
    }
    // The result type of a function name; ftUnknown for a name that is no function.
    virtual TFieldType GetFuncDataType(const std::string& name) = 0;
    // The place of a (non-blob) field in the active record buffer.
    virtual TFieldPlace GetFieldPlace(std::int32_t fieldIndex) = 0;
    // A blob field's value read as text.
    virtual std::string GetFieldText(std::int32_t fieldIndex) = 0;
};

}  // namespace vesk
