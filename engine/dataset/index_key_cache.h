#pragma once
// Key values of one index held in memory, for components that Locate by that index many times
// while the table does not change. The search is the storage layer's bisection (the same
// probes, the same comparison, so the same row is found); only the stored key values come
// from memory instead of the file.
//
// The cache is filled only after enough searches ran on an unchanged table to pay for reading
// every key once, and only for keys of at most kMaxKeyBytes. Any write to the table (its
// header's write counter moves), a reload of its lists or another index forgets it. Until
// then, and for other keys, the storage's own search runs.
#include <cstdint>
#include <vector>

#include "engine/field_buffers.h"
#include "engine/table_io.h"

namespace vesk {

class TIndexKeyCache {
  public:
    static constexpr std::int32_t kMaxKeyBytes = 64;

    // As TVeskTableIO::SearchIndexedField over index indexNo's storage list with every key
    // field: the position met, indicator 0 when equal (1 after, -1 before, -2 empty list).
    std::int32_t Search(TVeskTableIO& table, std::int32_t indexNo, const TFieldBuffers& key,
                        bool partialCompare, std::int32_t& indicator);
    void Clear();
    bool Filled() const { return filled_; }

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
    void Fill(TVeskTableIO& table, const TVeskIndexDef& index);
    int Compare(const TVeskTableIO& table, const TVeskIndexDef& index, const TFieldBuffers& key,
                std::int32_t entryNo, bool partialCompare) const;

    Signature signature_;
    std::int64_t searches_ = 0;
    bool filled_ = false;
    std::int32_t rowBytes_ = 0;
    std::vector<std::int32_t> fieldSizes_;
    std::vector<std::uint8_t> keys_;  // rowBytes_ per record-tab entry number
};

}  // namespace vesk
