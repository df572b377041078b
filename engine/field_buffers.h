#pragma once
// Field buffers: how a data set hands one record's values to the storage layer and gets them
// back. One item per field of the table, in field order, each pointing at the value's place.
//
// Ownership: TFieldBuffers owns its items. An item does not own the bytes or stream it points
// at unless OwnsBuffer is set; then the item frees them (a stream by delete, other memory by
// delete[] of std::uint8_t, so such memory must come from new std::uint8_t[]).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/field_type.h"
#include "engine/stream.h"

namespace vesk {

// The stream a record buffer holds for a blob field. Reading a record only tells it where the
// stored value is (SetBlobInfo); a lazily loading subclass reads the value when first used.
class TBlobBufferStream : public TMemoryStream {
  public:
    // File position of the value's 20-byte descriptor (0: nothing stored) and its codec flags.
    virtual void SetBlobInfo(std::int64_t descriptorPos, bool decipher, bool decompress) {
        DescriptorPos = descriptorPos;
        Decipher = decipher;
        Decompress = decompress;
    }
    std::int64_t DescriptorPos = 0;
    bool Decipher = false;
    bool Decompress = false;
};

class TFieldBufferItem {
  public:
    TFieldBufferItem(void* buffer, TFieldType fieldType, std::int32_t size)
        : Buffer(buffer), FieldType(fieldType), Size(size) {}
    ~TFieldBufferItem() { FreeBuffer(); }
    TFieldBufferItem(const TFieldBufferItem&) = delete;
    TFieldBufferItem& operator=(const TFieldBufferItem&) = delete;

    // Blob kind: the TBlobBufferStream; any other type: the value's bytes (Size of them).
    void* Buffer = nullptr;
    TFieldType FieldType = ftUnknown;
    std::int32_t Size = 0;  // storage size of the value; 0 for blob kinds
    bool OwnsBuffer = false;
    bool Active = true;  // false: the value takes no part in reads and writes

    bool IsBlob() const { return IsBlobKind(FieldType); }
    // The blob stream of a blob item, nullptr for other items.
    TBlobBufferStream* BlobStream() const {
        return IsBlob() ? static_cast<TBlobBufferStream*>(Buffer) : nullptr;
    }
    // The value's bytes: a blob stream's memory, else Buffer.
    std::uint8_t* GetDataBuf() const;
    // Bytes that may be read at GetDataBuf(): a blob stream's size, else Size.
    std::int64_t GetDataSize() const;
    // Frees what the item owns and clears OwnsBuffer.
    void FreeBuffer();
    // The value as text, for messages: texts up to their terminator (never past Size), blobs up
    // to their first zero byte, numbers in decimal, floats with 15 significant digits, booleans
    // "False"/"True", dates as yyyy-mm-dd, times as hh:nn:ss, date-times as both; else empty.
    std::string GetAsString() const;
};

class TFieldBuffers {
  public:
    std::int32_t Count() const { return static_cast<std::int32_t>(items_.size()); }
    // Throws std::out_of_range for an index outside 0..Count-1.
    TFieldBufferItem& Items(std::int32_t index) const {
        return *items_.at(static_cast<size_t>(index));
    }
    // Adds an active item. For a blob kind, buffer is the record buffer's slot that holds the
    // TBlobBufferStream* (the item keeps the stream, read from the slot); else the value itself.
    TFieldBufferItem& Add(void* buffer, TFieldType fieldType, std::int32_t size);
    // Adds an active blob item for a stream held directly.
    TFieldBufferItem& AddBlob(TBlobBufferStream* stream, TFieldType fieldType);
    void Clear() { items_.clear(); }

  private:
    std::vector<std::unique_ptr<TFieldBufferItem>> items_;
};

}  // namespace vesk
