#pragma once
// The stream a record buffer holds for a blob field. Reading a record only tells it where the
// stored value is; the value is read from the file when the stream is first read or sought.
// A stream that is written, resized or emptied first never loads: its own contents replace
// the stored value.
//
// Ownership: the record buffer owns the stream; the data set outlives both. A load that fails
// leaves the stream not loaded (the error passes on), so a later post loads again or fails
// instead of storing an empty value over the stored one.
#include <cstdint>

#include "engine/field_buffers.h"

namespace vesk {

class TTDEDataSet;

class TOptimBlobStream : public TBlobBufferStream {
  public:
    explicit TOptimBlobStream(TTDEDataSet& dataSet) : dataSet_(dataSet) {}

    // Remembers the stored value's place and flags; the stream is not loaded afterwards.
    void SetBlobInfo(std::int64_t descriptorPos, bool decipher, bool decompress) override;
    // Reads the stored value when there is one and it is not loaded yet.
    void LoadBlob();
    // Empties the stream; it counts as loaded (nothing is read from the file afterwards).
    void Empty();
    bool Loaded() const { return loaded_; }

    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, SeekOrigin origin) override;
    void SetSize(std::int64_t size) override;

  private:
    TTDEDataSet& dataSet_;
    bool loaded_ = false;
};

}  // namespace vesk
