#pragma once
// A field object: one column of an open data set, read and written as text, 32-bit integer
// or boolean through the data set's active record buffer.
//
// Fields are made by their data set when it opens and destroyed when it closes; they hold a
// reference to it and never outlive it. Conversion errors are EDatabaseError with the
// accessors' messages; a failed write leaves the stored value unchanged. A text longer than
// a text field's size (in UTF-8 bytes, up to its first zero byte) is refused with
// "Value too long for field '<name>': <n> bytes, the field holds <size>", never cut.
#include <cstdint>
#include <string>

#include "engine/field_type.h"

namespace vesk {

class TTDEDataSet;

class TField {
  public:
    // fieldNo: the column's position + 1; size: the data size in characters of a text field,
    // 0 for other types; valueSize: the bytes of the value in a record buffer (text: size + 1).
    TField(TTDEDataSet& dataSet, std::string name, TFieldType dataType, std::int32_t size,
           std::int32_t fieldNo, std::int32_t valueSize);
    TField(const TField&) = delete;
    TField& operator=(const TField&) = delete;

    const std::string& FieldName() const { return name_; }
    TFieldType DataType() const { return dataType_; }
    std::int32_t Size() const { return size_; }
    std::int32_t FieldNo() const { return fieldNo_; }
    std::int32_t DataSize() const { return valueSize_; }
    bool IsBlob() const { return IsBlobKind(dataType_); }
    TTDEDataSet& DataSet() const { return dataSet_; }

    // Reads give false, 0 or an empty text when the data set has no current row.
    std::string AsString() const;
    void SetAsString(const std::string& value);
    std::int32_t AsInteger() const;
    void SetAsInteger(std::int64_t value);
    bool AsBoolean() const;
    void SetAsBoolean(bool value);

  private:
    // The value bytes of the active record buffer; false when there is no active buffer.
    bool ReadValue(void* value) const;
    void WriteValue(const void* value);
    std::int64_t ReadInteger(bool& present) const;
    void WriteInteger(std::int64_t value);
    [[noreturn]] void AccessError(const char* typeName) const;

    TTDEDataSet& dataSet_;
    std::string name_;
    TFieldType dataType_;
    std::int32_t size_;
    std::int32_t fieldNo_;
    std::int32_t valueSize_;
};

}  // namespace vesk
