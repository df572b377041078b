#include "engine/dataset/scan_value_cache.h"

#include <algorithm>
#include <cstring>

#include "engine/file_format.h"

namespace vesk {

TScanValueCache::Signature TScanValueCache::SignatureOf(TVeskTableIO& table) {
    const TRecordList& physical = table.GetRecordList(0);
    return {&table, table.WriteCounter(), physical.size(),
            physical.empty() ? -1 : physical.back().EntryNo};
}

TScanValueCache::TScan::TScan(TScanValueCache& cache, TVeskTableIO& table) : cache_(cache) {
    cache_.reader_.reset();
    cache_.placed_.reset();
    TVeskDBFileIO& file = table.Owner().FileIO();
    if (file.MediumType() != mtDisk || file.Stream() == nullptr)
        return;
    // Under the lock the reader reads plain values through the file's locked view.
    lock_ = std::make_unique<TFileLockGuard>(file);
}

TScanValueCache::TScan::~TScan() {
    // No value read through the view may outlive the lock, and the file may change after it.
    cache_.reader_.reset();
    cache_.placed_.reset();
}

void TScanValueCache::Clear() {
    signature_ = {};
    entries_ = 0;
    columns_.clear();
    reader_.reset();
    placed_.reset();
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
        const std::int32_t size = GetFieldDataSize(field.FieldType, field.DataSize);
        const auto entries = static_cast<size_t>(entries_);
        if (!column->refused && !IsTextKind(field.FieldType) && size > 0 &&
            size <= kLargestFlatValue && std::int64_t{entries_} * size <= kMaxFieldBytes) {
            column->flatSize = size;
            column->flat =
                std::make_unique_for_overwrite<std::uint8_t[]>(entries * static_cast<size_t>(size));
            column->flatKept.assign((entries + 63) / 64, 0);
        } else if (!column->refused) {
            column->places.assign(entries, kAbsent);
        }
    }
    return *column;
}

TStoredValue TScanValueCache::Value(TVeskTableIO& table, const TRecordItem& item,
                                    std::int32_t fieldNo) {
    Column& column = ColumnOf(table, fieldNo);
    const bool kept = !column.refused && item.EntryNo >= 0 && item.EntryNo < entries_;
    const auto entry = static_cast<size_t>(item.EntryNo);
    if (kept && IsKept(column, entry))
        return Kept(column, entry);
    // A record read for several fields is checked once.
    if (!placed_ || !(*placed_ == item)) {
        placed_.reset();
        table.CheckRecordPlacement(item);
        placed_ = item;
    }
    TStoredValue value = reader_->Value(item, fieldNo);
    if (!kept)
        return value;
    if (column.flatSize > 0) {
        if (value.size != column.flatSize)
            return value;  // not a value of the column's size: read each time
        std::memcpy(column.flat.get() + entry * static_cast<size_t>(column.flatSize), value.data,
                    static_cast<size_t>(column.flatSize));
        column.flatKept[entry / 64] |= std::uint64_t{1} << (entry % 64);
        return Kept(column, entry);
    }
    // A text up to its first zero; other values whole.
    std::int32_t size = value.size;
    if (IsTextKind(table.FieldDefs().Items(fieldNo).FieldType)) {
        const auto* zero = std::find(value.data, value.data + value.size, std::uint8_t{0});
        size = static_cast<std::int32_t>(zero - value.data);
    }
    const std::uint32_t place = Keep(column, value.data, static_cast<std::uint32_t>(size));
    if (place == kAbsent) {
        // Too large to keep: read from the file from now on.
        column = Column{};
        column.refused = true;
        return value;
    }
    column.places[entry] = place;
    return Kept(column, entry);
}

std::uint32_t TScanValueCache::Keep(Column& column, const std::uint8_t* data, std::uint32_t size) {
    if (size == 0)
        return kEmpty;  // never read: an empty value needs no bytes
    if (column.last != kAbsent) {
        const std::uint8_t* last =
            column.blocks[column.last / kBlockBytes].get() + column.last % kBlockBytes;
        if (format::GetI32(last) == static_cast<std::int32_t>(size) &&
            std::memcmp(last + 4, data, size) == 0)
            return column.last;
    }
    const std::uint32_t need = 4 + size;
    // Places stay below kEmpty, counting the block or span the value may begin (the unused
    // end of a block is smaller than the value kept after it, so this is far off in practice).
    if (column.held + size > kMaxFieldBytes ||
        std::int64_t{column.next} + 2 * std::int64_t{need} + kBlockBytes >= kEmpty)
        return kAbsent;
    std::uint32_t start = column.next;
    size_t spans = 1;
    if (start % kBlockBytes == 0 || need > kBlockBytes - start % kBlockBytes) {
        // A new block, left unfilled (the value is copied in at once); a value larger than a
        // block gets a block of its own spanning the block numbers it needs.
        const size_t blockNo = column.blocks.size();
        spans = (need + kBlockBytes - 1) / kBlockBytes;
        column.blocks.push_back(
            std::make_unique_for_overwrite<std::uint8_t[]>(spans * kBlockBytes));
        column.blocks.resize(blockNo + spans);
        start = static_cast<std::uint32_t>(blockNo * kBlockBytes);
    }
    std::uint8_t* at = column.blocks[start / kBlockBytes].get() + start % kBlockBytes;
    format::PutI32(at, static_cast<std::int32_t>(size));
    std::memcpy(at + 4, data, size);
    // After a span the next value starts a block of its own: the span's later numbers hold none.
    column.next =
        spans > 1 ? static_cast<std::uint32_t>(column.blocks.size() * kBlockBytes) : start + need;
    column.last = start;
    column.held += size;
    return start;
}

void TScanValueCache::Prefetch(TVeskTableIO& table, const TRecordItem& item, std::int32_t fieldNo) {
    if (item.EntryNo >= 0 && item.EntryNo < entries_ && fieldNo >= 0 &&
        static_cast<size_t>(fieldNo) < columns_.size() && columns_[static_cast<size_t>(fieldNo)] &&
        SignatureOf(table) == signature_) {
        const Column& column = *columns_[static_cast<size_t>(fieldNo)];
        if (column.refused || IsKept(column, static_cast<size_t>(item.EntryNo)))
            return;  // kept, or read through the table
    }
    if (!reader_ || &reader_->Table() != &table)
        return;  // the scan has read nothing of this table yet
    if (const std::uint8_t* at = reader_->InPlace(item, fieldNo))
        __builtin_prefetch(at);
}

bool TScanValueCache::IsKept(const Column& column, size_t entry) {
    if (column.flatSize > 0)
        return (column.flatKept[entry / 64] >> (entry % 64) & 1) != 0;
    return column.places[entry] != kAbsent;
}

TStoredValue TScanValueCache::Kept(const Column& column, size_t entry) {
    if (column.flatSize > 0)
        return {column.flat.get() + entry * static_cast<size_t>(column.flatSize), column.flatSize};
    // An empty value points at a byte all the same: no block may be made yet.
    static constexpr std::uint8_t kNothing[1] = {0};
    const std::uint32_t place = column.places[entry];
    if (place == kEmpty)
        return {kNothing, 0};
    const std::uint8_t* at = column.blocks[place / kBlockBytes].get() + place % kBlockBytes;
    return {at + 4, format::GetI32(at)};
}

}  // namespace vesk
