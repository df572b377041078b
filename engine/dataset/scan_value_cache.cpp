#include "engine/dataset/scan_value_cache.h"

#include <algorithm>

namespace vesk {

TScanValueCache::Signature TScanValueCache::SignatureOf(TVeskTableIO& table) {
    const TRecordList& physical = table.GetRecordList(0);
    return {&table, table.WriteCounter(), physical.size(),
            physical.empty() ? -1 : physical.back().EntryNo};
}

TScanValueCache::TScan::TScan(TScanValueCache& cache, TVeskTableIO& table, bool holdLock)
    : cache_(cache) {
    cache_.reader_.reset();
    TVeskDBFileIO& file = table.Owner().FileIO();
    if (!holdLock || file.MediumType() != mtDisk || file.Stream() == nullptr)
        return;
    // Under the lock the reader reads plain values through the file's locked view.
    lock_ = std::make_unique<TFileLockGuard>(file);
}

TScanValueCache::TScan::~TScan() {
    // No value read through the view may outlive the lock.
    cache_.reader_.reset();
}

void TScanValueCache::Clear() {
    signature_ = {};
    entries_ = 0;
    columns_.clear();
    reader_.reset();
}

TScanValueCache::Column& TScanValueCache::ColumnOf(TVeskTableIO& table, std::int32_t fieldNo) {
    const Signature now = SignatureOf(table);
    if (!(now == signature_)) {
        Clear();
        signature_ = now;
        entries_ = std::max(now.lastEntry + 1, 0);
    }
    if (!reader_)
        reader_ = std::make_unique<TRecordScanReader>(table);
    if (columns_.size() <= static_cast<size_t>(fieldNo))
        columns_.resize(static_cast<size_t>(fieldNo) + 1);
    std::unique_ptr<Column>& column = columns_[static_cast<size_t>(fieldNo)];
    if (!column) {
        column = std::make_unique<Column>();
        const TVeskFieldDef& field = table.FieldDefs().Items(fieldNo);
        column->refused = IsBlobKind(field.FieldType) || table.CanEncryptField(fieldNo);
        if (!column->refused) {
            column->start.assign(static_cast<size_t>(entries_), kAbsent);
            column->size.assign(static_cast<size_t>(entries_), 0);
        }
    }
    return *column;
}

TStoredValue TScanValueCache::Value(TVeskTableIO& table, const TRecordItem& item,
                                    std::int32_t fieldNo) {
    Column& column = ColumnOf(table, fieldNo);
    const bool kept = !column.refused && item.EntryNo >= 0 && item.EntryNo < entries_;
    const auto entry = static_cast<size_t>(item.EntryNo);
    if (kept && column.start[entry] != kAbsent)
        return Kept(column, entry);
    table.CheckRecordPlacement(item);
    TStoredValue value = reader_->Value(item, fieldNo);
    if (!kept)
        return value;
    // A text up to its first zero; other values whole.
    std::int32_t size = value.size;
    if (IsTextKind(table.FieldDefs().Items(fieldNo).FieldType)) {
        const auto* zero = std::find(value.data, value.data + value.size, std::uint8_t{0});
        size = static_cast<std::int32_t>(zero - value.data);
    }
    if (static_cast<std::int64_t>(column.bytes.size()) + size > kMaxFieldBytes) {
        column.refused = true;  // too large to keep: read from the file from now on
        column.bytes.clear();
        column.bytes.shrink_to_fit();
        column.start.clear();
        column.size.clear();
        return value;
    }
    column.start[entry] = static_cast<std::uint32_t>(column.bytes.size());
    column.size[entry] = static_cast<std::uint32_t>(size);
    column.bytes.insert(column.bytes.end(), value.data, value.data + size);
    return Kept(column, entry);
}

TStoredValue TScanValueCache::Kept(const Column& column, size_t entry) {
    // An empty value points at a byte all the same: the bytes may not be allocated yet.
    static constexpr std::uint8_t kNothing[1] = {0};
    const std::uint32_t size = column.size[entry];
    if (size == 0)
        return {kNothing, 0};
    return {column.bytes.data() + column.start[entry], static_cast<std::int32_t>(size)};
}

}  // namespace vesk
