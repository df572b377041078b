#include "engine/dataset/record_buffer.h"

#include <cstring>

#include "engine/file_format.h"

namespace vesk {

namespace {
constexpr std::int32_t kBookmarkSize = 4;
}

TRecordBuffer::TRecordBuffer(std::int32_t recordSize)
    : recordSize_(recordSize), bytes_(static_cast<size_t>(recordSize) + kBookmarkSize + 1, 0) {}

TOptimBlobStream& TRecordBuffer::AddBlobStream(std::int32_t offset, TTDEDataSet& dataSet) {
    blobs_.push_back(std::make_unique<TOptimBlobStream>(dataSet));
    TOptimBlobStream* stream = blobs_.back().get();
    std::memcpy(bytes_.data() + offset, &stream, sizeof stream);
    return *stream;
}

TOptimBlobStream* TRecordBuffer::BlobStreamAt(std::int32_t offset) const {
    TOptimBlobStream* stream = nullptr;
    std::memcpy(&stream, bytes_.data() + offset, sizeof stream);
    return stream;
}

std::int32_t TRecordBuffer::Bookmark() const {
    return format::GetI32(bytes_.data() + recordSize_);
}

void TRecordBuffer::SetBookmark(std::int32_t entryNo) {
    format::PutI32(bytes_.data() + recordSize_, entryNo);
}

TBookmarkFlag TRecordBuffer::BookmarkFlag() const {
    return static_cast<TBookmarkFlag>(bytes_[static_cast<size_t>(recordSize_) + kBookmarkSize]);
}

void TRecordBuffer::SetBookmarkFlag(TBookmarkFlag flag) {
    bytes_[static_cast<size_t>(recordSize_) + kBookmarkSize] = static_cast<std::uint8_t>(flag);
}

}  // namespace vesk
