#pragma once
// Key values of one index held in memory, for components that Locate by that index many times
// while the table does not change. The search is the storage layer's bisection (the same
// probes, the same comparison, so the same row is found); only the stored key values come
// from memory instead of the file.
//
// A key is read from the file the first time a bisection probes its record and kept from then
// on, so the positions every search passes (the upper bisection levels) are read once and many
// searches together read far fewer keys than the table holds. Only keys of at most
// kMaxKeyBytes are kept. Any write to the table (its header's write counter moves), a reload
// of its lists or another index forgets them. For other keys the storage's own search runs.
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/field_buffers.h"
#include "engine/stream.h"
#include "engine/table_io.h"

namespace vesk {

class TIndexKeyCache {
  public:
    static constexpr std::int32_t kMaxKeyBytes = 64;

    // As TVeskTableIO::SearchIndexedField over index indexNo's storage list with every key
    // field: the position met, indicator 0 when equal (1 after, -1 before, -2 empty list).
    // Throws what the storage's reads throw; a key whose read failed is not kept.
    std::int32_t Search(TVeskTableIO& table, std::int32_t indexNo, const TFieldBuffers& key,
                        bool partialCompare, std::int32_t& indicator);
    void Clear();
    // Keys of the current index are being kept (its keys fit and the table did not change).
    bool Filled() const { return filled_; }
    // How many records' keys were read from the file since the keys were last forgotten.
    std::int32_t KeysRead() const { return keysRead_; }

  private:
    struct Signature {
        const TVeskTableIO* table = nullptr;
        std::int32_t indexNo = -2;
        const TRecordList* list = nullptr;
        std::size_t size = 0;
        std::int32_t writeCounter = 0;
        bool operator==(const Signature&) const = default;
    };
    static Signature SignatureOf(TVeskTableIO& table, std::int32_t indexNo);
    bool Cacheable(const TVeskTableIO& table, const TVeskIndexDef& index);
    void Prepare(TVeskTableIO& table);
    const std::uint8_t* KeyOf(TVeskTableIO& table, const TVeskIndexDef& index,
                              const TRecordItem& item);
    int Compare(const TVeskTableIO& table, const TVeskIndexDef& index, const TFieldBuffers& key,
                const std::uint8_t* stored, bool partialCompare) const;

    Signature signature_;
    bool filled_ = false;
    bool refused_ = false;  // the current index's keys are not kept
    std::int32_t rowBytes_ = 0;
    std::int32_t entries_ = 0;
    std::int32_t keysRead_ = 0;
    std::vector<std::int32_t> fieldSizes_;
    // rowBytes_ per record-tab entry number, written only once that entry's key was read.
    std::unique_ptr<std::uint8_t[]> keys_;
    std::vector<std::uint8_t> present_;  // one flag per entry number: its key was read
    TMemoryStream value_;                // reused for every field read
};

}  // namespace vesk
