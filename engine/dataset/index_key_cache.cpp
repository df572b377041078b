#include "engine/dataset/index_key_cache.h"

#include <algorithm>
#include <cstring>

#include "engine/db_file_io.h"
#include "engine/expr_value.h"
#include "engine/key_bisection.h"

namespace vesk {

TIndexKeyCache::Signature TIndexKeyCache::SignatureOf(TVeskTableIO& table, std::int32_t indexNo) {
    const TRecordList& list = table.GetRecordList(indexNo + 1);
    return {&table, indexNo, &list, list.size(), table.WriteCounter()};
}

void TIndexKeyCache::Clear() {
    signature_ = {};
    filled_ = false;
    refused_ = false;
    entries_ = 0;
    keysRead_ = 0;
    keys_.reset();
    present_.clear();
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

void TIndexKeyCache::Prepare(TVeskTableIO& table) {
    // Room for every entry number, but nothing is read yet: only the flags are cleared, the
    // key rows stay untouched until their record is probed.
    const TRecordList& physical = table.GetRecordList(0);
    entries_ = physical.empty() ? 0 : std::max(physical.back().EntryNo + 1, 0);
    keys_ = std::make_unique_for_overwrite<std::uint8_t[]>(static_cast<size_t>(entries_) *
                                                           static_cast<size_t>(rowBytes_));
    present_.assign(static_cast<size_t>(entries_), 0);
    keysRead_ = 0;
    filled_ = true;
}

const std::uint8_t* TIndexKeyCache::KeyOf(TVeskTableIO& table, const TVeskIndexDef& index,
                                          const TRecordItem& item) {
    std::uint8_t* row = keys_.get() + static_cast<size_t>(item.EntryNo) * rowBytes_;
    if (present_[static_cast<size_t>(item.EntryNo)])
        return row;
    std::uint8_t* out = row;
    for (std::size_t k = 0; k < index.FieldNumbers.size(); ++k) {
        const std::int32_t fieldNo = index.FieldNumbers[k];
        const auto fieldSize = static_cast<size_t>(fieldSizes_[k]);
        if (!table.CanEncryptField(fieldNo)) {
            // A plain fixed-size value is its stored bytes: read just those, at the item's
            // record offset as the storage search does. The probes of many searches are
            // scattered over the file, so the blocks around them would not be read again.
            const std::int64_t at = static_cast<std::int64_t>(item.RecordOffset) +
                                    table.FieldOffsets()[static_cast<size_t>(fieldNo)];
            table.Owner().FileIO().ReadExactUncached(out, at, fieldSizes_[k], "a field value");
        } else {
            // The storage search's own read and decoding; a shorter value is padded with
            // zeros, which the comparison treats as the value's end.
            value_.Clear();
            table.ReadFieldValue(value_, item, fieldNo);
            const auto size =
                static_cast<size_t>(std::clamp<std::int64_t>(value_.Size(), 0, fieldSizes_[k]));
            std::memcpy(out, value_.Memory(), size);
            std::memset(out + size, 0, fieldSize - size);
        }
        out += fieldSize;
    }
    present_[static_cast<size_t>(item.EntryNo)] = 1;
    ++keysRead_;
    return row;
}

namespace {

// The value of an integer key as the evaluator reads it (native byte order, as stored); none
// for another type, or for fewer bytes than the type has (the evaluator refuses those).
std::optional<std::int64_t> IntegerKey(TFieldType type, const std::uint8_t* bytes,
                                       std::size_t size) {
    const auto read = [&]<typename T>(T value) -> std::optional<std::int64_t> {
        if (size < sizeof value)
            return std::nullopt;
        std::memcpy(&value, bytes, sizeof value);
        return static_cast<std::int64_t>(value);
    };
    switch (ValueClassOf(type)) {
        case TValueClass::SmallInt:
            return read(std::int16_t{});
        case TValueClass::Word:
            return read(std::uint16_t{});
        case TValueClass::Integer:
            return read(std::int32_t{});
        case TValueClass::LargeInt:
            return read(std::int64_t{});
        default:
            return std::nullopt;
    }
}

// The position between the compared neighbours left (its key leftKey) and right whose key
// would be key if the keys grew evenly between them, kept inside [left + 1, right - 1].
std::int32_t GuessPosition(std::int32_t left, std::int64_t leftKey, std::int32_t right,
                           std::int64_t rightKey, std::int64_t key) {
    const double span = static_cast<double>(rightKey) - static_cast<double>(leftKey);
    const double part =
        span == 0 ? 0.5 : (static_cast<double>(key) - static_cast<double>(leftKey)) / span;
    const double guess = left + std::clamp(part, 0.0, 1.0) * (right - left);
    return std::clamp(static_cast<std::int32_t>(guess + 0.5), left + 1, right - 1);
}

}  // namespace

int TIndexKeyCache::Compare(const TVeskTableIO& table, const TVeskIndexDef& index,
                            const TFieldBuffers& key, const std::uint8_t* stored,
                            bool partialCompare) const {
    const bool caseInsensitive = index.Has(tiCaseInsensitive);
    for (std::size_t k = 0; k < index.FieldNumbers.size(); ++k) {
        const std::int32_t fieldNo = index.FieldNumbers[k];
        const TFieldBufferItem& value = key.Items(fieldNo);
        const TFieldType type = table.FieldDefs().Items(fieldNo).FieldType;
        // Two integers of one type the evaluator orders by their values: that order directly
        // spares building its operands for every probe.
        const std::optional<std::int64_t> wanted =
            IntegerKey(type, value.GetDataBuf(), static_cast<size_t>(value.GetDataSize()));
        const std::optional<std::int64_t> held =
            wanted ? IntegerKey(type, stored, static_cast<size_t>(fieldSizes_[k])) : std::nullopt;
        const int result =
            held ? (*wanted < *held ? -1 : (*wanted > *held ? 1 : 0))
                 : TVeskTableIO::CompareFieldValue(
                       value.GetDataBuf(), static_cast<std::int32_t>(value.GetDataSize()), stored,
                       fieldSizes_[k], type, caseInsensitive, partialCompare);
        if (result != 0)
            return index.Has(tiDescending) ? -result : result;
        stored += fieldSizes_[k];
    }
    return 0;
}

bool TIndexKeyCache::Ready(TVeskTableIO& table, std::int32_t indexNo) {
    const Signature now = SignatureOf(table, indexNo);
    if (!(now == signature_)) {
        Clear();
        signature_ = now;
    }
    if (!filled_) {
        if (refused_ || !Cacheable(table, table.IndexDefs().Items(indexNo))) {
            refused_ = true;
            return false;
        }
        Prepare(table);
    }
    return true;
}

std::int32_t TIndexKeyCache::Search(TVeskTableIO& table, std::int32_t indexNo,
                                    const TFieldBuffers& key, bool partialCompare,
                                    std::int32_t& indicator) {
    const TRecordList& list = table.GetRecordList(indexNo + 1);
    if (!Ready(table, indexNo))
        return table.SearchIndexedField(key, list, indexNo, indicator, 0, partialCompare);
    const TVeskIndexDef& index = table.IndexDefs().Items(indexNo);
    const std::optional<std::int32_t> found =
        BisectKeys(static_cast<std::int32_t>(list.size()), indicator,
                   [&](std::int32_t mid) -> std::optional<int> {
                       const TRecordItem& item = list[static_cast<size_t>(mid)];
                       if (item.EntryNo < 0 || item.EntryNo >= entries_)
                           return std::nullopt;
                       return Compare(table, index, key, KeyOf(table, index, item), partialCompare);
                   });
    if (found)
        return *found;
    // A list that does not match the record tab read before: search the file instead.
    Clear();
    return table.SearchIndexedField(key, list, indexNo, indicator, 0, partialCompare);
}

std::int32_t TIndexKeyCache::FindUnique(TVeskTableIO& table, std::int32_t indexNo,
                                        const TFieldBuffers& key) {
    const TRecordList& list = table.GetRecordList(indexNo + 1);
    const auto storageSearch = [&] {
        std::int32_t indicator = 0;
        const std::int32_t pos = table.SearchIndexedField(key, list, indexNo, indicator, 0, false);
        return indicator == 0 ? pos : -1;
    };
    if (!Ready(table, indexNo))
        return storageSearch();
    const TVeskIndexDef& index = table.IndexDefs().Items(indexNo);
    // Guessing needs a key of one integer field.
    std::optional<std::int64_t> wanted;
    TFieldType keyType = ftUnknown;
    if (index.FieldNumbers.size() == 1) {
        const TFieldBufferItem& value = key.Items(index.FieldNumbers[0]);
        keyType = table.FieldDefs().Items(index.FieldNumbers[0]).FieldType;
        wanted = IntegerKey(keyType, value.GetDataBuf(), static_cast<size_t>(value.GetDataSize()));
    }
    std::int32_t lo = 0;
    std::int32_t hi = static_cast<std::int32_t>(list.size()) - 1;
    // The keys compared at lo - 1 and hi + 1, once there were such probes (plain values and
    // flags: the optimiser cannot follow optionals through the loop and warns).
    std::int64_t loKey = 0;
    std::int64_t hiKey = 0;
    bool loKnown = false;
    bool hiKnown = false;
    bool guessed = false;
    while (lo <= hi) {
        std::int32_t pivot = lo + (hi - lo) / 2;
        const bool guess =
            wanted && loKnown && hiKnown && !guessed && !Held(list[static_cast<size_t>(pivot)]);
        if (guess)
            pivot = GuessPosition(lo - 1, loKey, hi + 1, hiKey, *wanted);
        guessed = guess;
        const TRecordItem& item = list[static_cast<size_t>(pivot)];
        if (item.EntryNo < 0 || item.EntryNo >= entries_) {
            // A list that does not match the record tab read before.
            Clear();
            return storageSearch();
        }
        const std::uint8_t* stored = KeyOf(table, index, item);
        const int compared = Compare(table, index, key, stored, false);
        if (compared == 0)
            return pivot;
        const std::optional<std::int64_t> storedKey =
            wanted ? IntegerKey(keyType, stored, static_cast<size_t>(rowBytes_)) : std::nullopt;
        if (compared > 0) {
            lo = pivot + 1;
            loKnown = storedKey.has_value();
            loKey = storedKey.value_or(0);
        } else {
            hi = pivot - 1;
            hiKnown = storedKey.has_value();
            hiKey = storedKey.value_or(0);
        }
    }
    return -1;
}

}  // namespace vesk
