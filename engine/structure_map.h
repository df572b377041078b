#pragma once
// Where the structures of a database file lie: for every table its header, record-tab and
// index-tab chunks (each with its full size), records and blob areas, as read from the file.
// In a sound file no two of them share a byte, since every writer places a new structure past
// all others. A file whose structures overlap was damaged or made so: reading one of them
// returns another's bytes, and writing one destroys the other. The loader, the writers and
// the file checker judge a file by this one map, so they agree.
//
// A table's structures are kept sorted by offset, so checking a table against the file costs
// one pass over each table's list, not a comparison of every pair.
//
// Nothing here reads a file; the callers fill the map. Never throws but std::bad_alloc.
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace vesk {

enum class TStructureKind : std::uint8_t { Header, RecordChunk, IndexChunk, Record, BlobArea };

// One structure, or for records a run of them: records of consecutive entries that lie one
// after the other are kept as one extent, so that a table of many rows costs a few runs (one
// between two chunks, as appends place them) instead of an item per row.
struct TStructure {
    std::int64_t at = 0;
    std::int64_t end = 0;     // one past the last byte
    std::int32_t number = 0;  // the chunk's place in its chain; the (first) entry of a record
                              // (run) or the entry of a blob area
    std::int32_t count = 1;   // the records of a run; 1 for every other kind
    std::int16_t part = 0;    // the index of an index-tab chunk; the field of a blob area
    TStructureKind kind = TStructureKind::Header;
};

// The structures of one table. The rules of what counts are here, so that every caller counts
// alike: a record or blob area that lies outside the file, or in its fixed part, is left out
// (it is damage of its own, reported where it is read), and so is a record of no bytes.
class TTableStructures {
  public:
    TTableStructures() = default;
    TTableStructures(std::int32_t tableNo, std::string name)
        : tableNo_(tableNo), name_(std::move(name)) {}

    // Names for messages: index i's name is indexNames[i], field f's fieldNames[f].
    void SetPartNames(std::vector<std::string> indexNames, std::vector<std::string> fieldNames);
    // Room for that many more structures.
    void Reserve(size_t more);
    void AddHeader(std::int64_t at);
    void AddRecordChunks(const std::vector<std::int32_t>& chunks);
    void AddIndexChunks(std::int32_t indexNo, const std::vector<std::int32_t>& chunks);
    // Records come in entry order; one that starts where the record of the entry before it
    // ends extends that record's run.
    void AddRecord(std::int32_t entryNo, std::int64_t offset, std::int64_t size,
                   std::int64_t fileSize);
    // A blob descriptor's area: the bytes a read takes (stored) and a write may fill
    // (allocated), whichever reach further. An all-zero descriptor has none.
    void AddBlobArea(std::int32_t entryNo, std::int32_t fieldNo, std::int64_t offset,
                     std::int64_t stored, std::int64_t allocated, std::int64_t fileSize);
    // The extent AddBlobArea would keep; false when it keeps none.
    static bool BlobAreaExtent(std::int64_t offset, std::int64_t stored, std::int64_t allocated,
                               std::int64_t fileSize, std::int64_t& end);

    // The table header the structures were read for: a table whose header has not changed
    // since holds the same structures.
    std::vector<std::uint8_t> header;

    std::int32_t TableNo() const { return tableNo_; }
    const std::string& Name() const { return name_; }
    // Sorted by offset (sorting first when something was added).
    const std::vector<TStructure>& Structures() const;
    std::int64_t MaxEnd() const { return maxEnd_; }
    // "the record of entry 3 of table 'proxy' at 9000" and the like; of a run, the record
    // that holds the byte at point (the first one when point lies before the run).
    std::string Describe(const TStructure& structure, std::int64_t point) const;

  private:
    void Add(const TStructure& structure);

    std::int32_t tableNo_ = -1;
    std::string name_;
    std::vector<std::string> indexNames_;
    std::vector<std::string> fieldNames_;
    std::int64_t recordSize_ = 0;
    mutable std::vector<TStructure> structures_;
    mutable bool sorted_ = true;
    std::int64_t maxEnd_ = 0;
};

// The structures of every table of one file, by table number.
class TStructureMap {
  public:
    void Clear() { tables_.clear(); }
    // The table's structures, nullptr when they are not known.
    const TTableStructures* Find(std::int32_t tableNo) const;
    // Replaces what is known of the table.
    void Set(TTableStructures structures);
    void Forget(std::int32_t tableNo) { tables_.erase(tableNo); }

    // Where a new structure may start: past the end of every structure known.
    std::int64_t MaxEnd() const;
    // The first overlap of a structure of table tableNo with any other structure of the file:
    // "<one> lies on <other>", or an empty text when there is none.
    std::string OverlapOf(std::int32_t tableNo) const;
    // Every overlap of the file, once per structure that lies on one before it.
    void ForEachOverlap(const std::function<void(const std::string&)>& report) const;
    // Whether [at, end) lies on a structure other than the blob area of that table, entry and
    // field itself (as it may be known from an earlier read); what it lies on, or empty.
    std::string BlobAreaLiesOn(std::int32_t tableNo, std::int32_t entryNo, std::int32_t fieldNo,
                               std::int64_t at, std::int64_t end) const;

  private:
    std::map<std::int32_t, TTableStructures> tables_;
};

}  // namespace vesk
