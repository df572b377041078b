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
//
// FindUnique serves a Locate by a primary or unique index, which only asks for the one row
// whose whole key is equal: there any choice of probes finds the same row. While the middle
// of the range left is held it is probed as by the bisection; where it would have to be read,
// a key of one integer field is guessed between the two keys that bound the range, by their
// values (every other step stays a plain bisection step, so a search never takes more than
// about twice the bisection's steps). Keys that follow their positions closely, such as the
// numbers of an auto-increment key, are then found with one read: the key of the row found,
// whose record the Locate reads next anyway.
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
    // The position of the one entry whose whole key equals key in index indexNo, -1 when
    // none. Only for a primary or unique index (whose keys the table keeps unique); the same
    // throws and the same keys kept as Search.
    std::int32_t FindUnique(TVeskTableIO& table, std::int32_t indexNo, const TFieldBuffers& key);
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
    // Signature check and lazy set-up shared by the searches: false when the keys of the
    // index are not kept (the storage must search).
    bool Ready(TVeskTableIO& table, std::int32_t indexNo);
    bool Held(const TRecordItem& item) const {
        return item.EntryNo >= 0 && item.EntryNo < entries_ &&
               present_[static_cast<size_t>(item.EntryNo)] != 0;
    }
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
