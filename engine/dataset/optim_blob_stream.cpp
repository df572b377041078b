#include "engine/dataset/optim_blob_stream.h"

#include "engine/dataset/tde_dataset.h"

namespace vesk {

void TOptimBlobStream::SetBlobInfo(std::int64_t descriptorPos, bool decipher, bool decompress) {
    TBlobBufferStream::SetBlobInfo(descriptorPos, decipher, decompress);
    loaded_ = false;
}

void TOptimBlobStream::LoadBlob() {
    if (DescriptorPos == 0 || loaded_)
        return;
    TMemoryStream value;
    dataSet_.ReadBlobContent(value, DescriptorPos, Decipher, Decompress);
    // Only a value read in full replaces the contents and counts as loaded.
    TMemoryStream::SetSize(0);
    TMemoryStream::Seek(0, SeekOrigin::Begin);
    if (value.Size() > 0)
        TMemoryStream::Write(value.Memory(), value.Size());
    TMemoryStream::Seek(0, SeekOrigin::Begin);
    loaded_ = true;
}

void TOptimBlobStream::Empty() {
    loaded_ = true;
    TMemoryStream::Clear();
}

std::int64_t TOptimBlobStream::Read(void* buffer, std::int64_t count) {
    LoadBlob();
    return TMemoryStream::Read(buffer, count);
}

std::int64_t TOptimBlobStream::Write(const void* buffer, std::int64_t count) {
    loaded_ = true;
    return TMemoryStream::Write(buffer, count);
}

std::int64_t TOptimBlobStream::Seek(std::int64_t offset, SeekOrigin origin) {
    LoadBlob();
    return TMemoryStream::Seek(offset, origin);
}

void TOptimBlobStream::SetSize(std::int64_t size) {
    loaded_ = true;
    TMemoryStream::SetSize(size);
}

}  // namespace vesk
