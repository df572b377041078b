#include "engine/dataset/index_key_cache.h"

#include <cstring>

#include "engine/dataset/record_scan_reader.h"
#include "engine/file_format.h"
#include "engine/table_write_op.h"

namespace vesk {

namespace {

// Probes of one bisection over n entries, each one value read of the file.
std::int64_t ProbesOf(std::size_t n) {
    std::int64_t probes = 1;
    while (n > 1) {
        n /= 2;
        ++probes;
    }
    return probes;
}

}  // namespace

TIndexKeyCache::Signature TIndexKeyCache::SignatureOf(TVeskTableIO& table, std::int32_t indexNo) {
    const TRecordList& list = table.GetRecordList(indexNo + 1);
    const std::vector<std::uint8_t>& header = table.HeaderCopy();
    const std::int32_t counter = header.size() >= static_cast<size_t>(kHdrWriteCounter) + 4
                                     ? format::GetI32(header.data() + kHdrWriteCounter)
                                     : 0;
    return {&table, indexNo, &list, list.size(), counter};
}

void TIndexKeyCache::Clear() {
    signature_ = {};
    searches_ = 0;
    filled_ = false;
    keys_.clear();
    fieldSizes_.clear();
}

bool TIndexKeyCache::Cacheable(const TVeskTableIO& table, const TVeskIndexDef& index) {
    fieldSizes_.clear();
    rowBytes_ = 0;
    for (const std::int32_t fieldNo : index.FieldNumbers) {
        const TVeskFieldDef& field = table.FieldDefs().Items(fieldNo);
        if (IsBlobKind(field.FieldType))
            return false;
        const std::int32_t size = GetFieldDataSize(field.FieldType, field.DataSize);
        fieldSizes_.push_back(size);
        rowBytes_ += size;
        if (rowBytes_ > kMaxKeyBytes)
            return false;
    }
    return !index.FieldNumbers.empty();
}

void TIndexKeyCache::Fill(TVeskTableIO& table, const TVeskIndexDef& index) {
    // Read in physical order: the records lie in the file in that order, so a scan reader
    // serves most of them from one block read.
    const TRecordList& physical = table.GetRecordList(0);
    const std::int32_t entries = physical.empty() ? 0 : physical.back().EntryNo + 1;
    keys_.assign(static_cast<size_t>(entries) * static_cast<size_t>(rowBytes_), 0);
    TRecordScanReader reader(table);
    for (const TRecordItem& item : physical) {
        if (item.EntryNo < 0 || item.EntryNo >= entries)
            continue;
        std::uint8_t* row = keys_.data() + static_cast<size_t>(item.EntryNo) * rowBytes_;
        for (std::size_t k = 0; k < index.FieldNumbers.size(); ++k) {
            const TStoredValue value = reader.Value(item, index.FieldNumbers[k]);
            std::memcpy(row, value.data, static_cast<size_t>(std::min(value.size, fieldSizes_[k])));
            row += fieldSizes_[k];
        }
    }
    filled_ = true;
}

int TIndexKeyCache::Compare(const TVeskTableIO& table, const TVeskIndexDef& index,
                            const TFieldBuffers& key, std::int32_t entryNo,
                            bool partialCompare) const {
    const std::uint8_t* stored = keys_.data() + static_cast<size_t>(entryNo) * rowBytes_;
    const bool caseInsensitive = index.Has(tiCaseInsensitive);
    for (std::size_t k = 0; k < index.FieldNumbers.size(); ++k) {
        const std::int32_t fieldNo = index.FieldNumbers[k];
        const TFieldBufferItem& value = key.Items(fieldNo);
        const int result = TVeskTableIO::CompareFieldValue(
            value.GetDataBuf(), static_cast<std::int32_t>(value.GetDataSize()), stored,
            fieldSizes_[k], table.FieldDefs().Items(fieldNo).FieldType, caseInsensitive,
            partialCompare);
        if (result != 0)
            return index.Has(tiDescending) ? -result : result;
        stored += fieldSizes_[k];
    }
    return 0;
}

std::int32_t TIndexKeyCache::Search(TVeskTableIO& table, std::int32_t indexNo,
                                    const TFieldBuffers& key, bool partialCompare,
                                    std::int32_t& indicator) {
    const Signature now = SignatureOf(table, indexNo);
    if (!(now == signature_)) {
        Clear();
        signature_ = now;
    }
    ++searches_;
    const TRecordList& list = table.GetRecordList(indexNo + 1);
    const TVeskIndexDef& index = table.IndexDefs().Items(indexNo);
    if (!filled_) {
        // Filling costs about one block read per 64 KiB of records; searching the file costs
        // two reads per probe.
        const std::int64_t fillCost =
            static_cast<std::int64_t>(list.size()) * table.RecordSize() / 65536 + 16;
        if (searches_ * 2 * ProbesOf(list.size()) < fillCost || !Cacheable(table, index))
            return table.SearchIndexedField(key, list, indexNo, indicator, 0, partialCompare);
        Fill(table, index);
    }
    const std::int32_t entries =
        rowBytes_ > 0 ? static_cast<std::int32_t>(keys_.size() / static_cast<size_t>(rowBytes_))
                      : 0;
    std::int32_t lo = 0;
    std::int32_t hi = static_cast<std::int32_t>(list.size()) - 1;
    std::int32_t result = -1;
    indicator = -2;
    while (lo <= hi) {
        const std::int32_t mid = lo + (hi - lo) / 2;
        const std::int32_t entryNo = list[static_cast<size_t>(mid)].EntryNo;
        if (entryNo < 0 || entryNo >= entries) {
            // A list that no longer matches what was read: search the file instead.
            Clear();
            return table.SearchIndexedField(key, list, indexNo, indicator, 0, partialCompare);
        }
        const int compared = Compare(table, index, key, entryNo, partialCompare);
        result = mid;
        if (compared > 0) {
            lo = mid + 1;
            indicator = 1;
        } else if (compared < 0) {
            hi = mid - 1;
            indicator = -1;
        } else {
            indicator = 0;
            break;
        }
    }
    return result;
}

}  // namespace vesk
