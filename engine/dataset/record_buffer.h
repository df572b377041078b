#pragma once
// One record buffer of a data set: the data area (every data field's value in the file's
// encoding, a blob field as a reference to its TOptimBlobStream), then the bookmark (the row's
// record-tab entry number) and the bookmark flag. Zero-filled when made.
//
// Ownership: the buffer owns its blob streams and the field buffers that describe it to the
// storage layer; the slots and field buffers point into it, so it is never copied or moved.
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/dataset/data_set_types.h"
#include "engine/dataset/optim_blob_stream.h"
#include "engine/field_buffers.h"

namespace vesk {

class TRecordBuffer {
  public:
    // recordSize: bytes of the data area; the bookmark and its flag follow it.
    explicit TRecordBuffer(std::int32_t recordSize);
    TRecordBuffer(const TRecordBuffer&) = delete;
    TRecordBuffer& operator=(const TRecordBuffer&) = delete;

    std::uint8_t* Data() { return bytes_.data(); }
    std::int32_t RecordSize() const { return recordSize_; }

    // Makes the blob stream of the slot at offset (owned by this buffer).
    TOptimBlobStream& AddBlobStream(std::int32_t offset, TTDEDataSet& dataSet);
    // The stream whose reference the slot at offset holds.
    TOptimBlobStream* BlobStreamAt(std::int32_t offset) const;
    const std::vector<std::unique_ptr<TOptimBlobStream>>& BlobStreams() const { return blobs_; }

    std::int32_t Bookmark() const;
    void SetBookmark(std::int32_t entryNo);
    TBookmarkFlag BookmarkFlag() const;
    void SetBookmarkFlag(TBookmarkFlag flag);

    // The storage layer's view of this buffer, built once by the data set.
    TFieldBuffers& FieldBuffers() { return fieldBuffers_; }

  private:
    std::int32_t recordSize_;
    std::vector<std::uint8_t> bytes_;
    std::vector<std::unique_ptr<TOptimBlobStream>> blobs_;
    TFieldBuffers fieldBuffers_;
};

}  // namespace vesk
