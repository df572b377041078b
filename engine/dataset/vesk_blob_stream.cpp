#include "engine/dataset/vesk_blob_stream.h"

#include "engine/dataset/vesk_table.h"

namespace vesk {

TVeskBlobStream::TVeskBlobStream(TField& field, TBlobStreamMode mode)
    : field_(field),
      dataSet_(dynamic_cast<TVeskTable&>(field.DataSet())),
      fieldNo_(field.FieldNo()),
      mode_(mode) {
    if (mode_ != TBlobStreamMode::bmWrite)
        LoadBlobData();
    opened_ = true;
    if (mode_ == TBlobStreamMode::bmWrite)
        Truncate();
}

TOptimBlobStream* TVeskBlobStream::BufferStream() const {
    TRecordBuffer* buffer = dataSet_.GetActiveRecBuf();
    if (buffer == nullptr)
        return nullptr;
    return buffer->BlobStreamAt(dataSet_.GetFieldOffset(fieldNo_));
}

void TVeskBlobStream::LoadBlobData() {
    TOptimBlobStream* source = BufferStream();
    if (source == nullptr)
        return;
    Clear();
    // Seeking the buffer's stream loads its value from the file when it was not loaded.
    source->Seek(0, SeekOrigin::Begin);
    // Filled through the base stream's write: this stream's own write would save every piece
    // back into the source while it is still being copied, and mark the row modified.
    if (source->Size() > 0)
        TMemoryStream::Write(source->Memory(), source->Size());
    SetPosition(0);
}

void TVeskBlobStream::SaveBlobData() {
    TOptimBlobStream* target = BufferStream();
    if (target == nullptr)
        return;
    const std::int64_t position = Position();
    target->Empty();
    if (Size() > 0)
        target->Write(Memory(), Size());
    SetPosition(position);
}

std::int64_t TVeskBlobStream::Write(const void* buffer, std::int64_t count) {
    const std::int64_t written = TMemoryStream::Write(buffer, count);
    if (mode_ != TBlobStreamMode::bmRead) {
        modified_ = true;
        SaveBlobData();
        dataSet_.NotifyFieldChange(field_);
    }
    return written;
}

void TVeskBlobStream::Truncate() {
    if (!opened_)
        return;
    Clear();
    SaveBlobData();
    dataSet_.NotifyFieldChange(field_);
    modified_ = true;
}

}  // namespace vesk
