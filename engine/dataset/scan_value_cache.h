#pragma once
// Stored values of single fields held in memory, for scans that compare a few fields of many
// records (a filter pass, a Locate that no index serves) again and again while the table does
// not change. A scan then reads only the fields it compares, each record's once, and the
// whole record only for a row it keeps.
//
// A value is read the first time a scan meets its record (after the record's placement check,
// through the table's sequential block reader) and kept from then on: a plain text up to its
// first zero byte, any other plain value whole. Enciphered values and blobs are not kept (their
// reads go to the table each time). Any write to the table (its header's write counter moves)
// or a change of its live rows forgets every value; a field whose values would take more than
// kMaxFieldBytes is not kept either.
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "engine/dataset/record_scan_reader.h"
#include "engine/db_file_io.h"
#include "engine/table_io.h"

namespace vesk {

class TScanValueCache {
  public:
    static constexpr std::int64_t kMaxFieldBytes = 64 * 1024 * 1024;

    // The stored value of field fieldNo (0-based) of the record of item, valid until the next
    // call. A kept text has no terminating zero (its size ends it). Throws the damage error for
    // a record that breaks the placement rule or lies past the file's end.
    TStoredValue Value(TVeskTableIO& table, const TRecordItem& item, std::int32_t fieldNo);
    // Asks the processor to start loading the stored value of field fieldNo of the record of
    // item, which the scan reads a few records later: the records of a table lie apart, and
    // each first read of one would otherwise wait for memory on its own. Only a value the scan
    // will read in place through the file's locked view is asked for; nothing is read, checked
    // or kept, and nothing but std::bad_alloc is thrown.
    void Prefetch(TVeskTableIO& table, const TRecordItem& item, std::int32_t fieldNo);
    // One scan over the table, for its scope: values not kept are read from the file as it
    // is now. On the disk medium the scan holds the file's lock (no writer can change or cut
    // the file meanwhile) and reads through a read-only view of the file; it throws the lock's
    // time-out, and nothing inside the scope may take the file's lock again (a whole-record
    // read, a read of another table of the file, a handler that might do either).
    class TScan {
      public:
        TScan(TScanValueCache& cache, TVeskTableIO& table);
        ~TScan();
        TScan(const TScan&) = delete;
        TScan& operator=(const TScan&) = delete;

      private:
        TScanValueCache& cache_;
        std::unique_ptr<TFileLockGuard> lock_;
    };
    void Clear();

  private:
    // The values of a column are kept in blocks that are never moved or grown: a column fills
    // up without copying what it holds, and memory is touched only as values arrive. Each
    // value is its size (4 bytes) and its bytes; a value larger than a block gets a block of
    // its own spanning as many block numbers as it needs. A value equal to the one kept just
    // before shares its bytes (a column often repeats a value row after row). An entry's place
    // is where its value starts (block number times kBlockBytes plus the offset in the block),
    // kEmpty for an empty value, or kAbsent.
    //
    // Values of one small fixed size (numbers, dates, Booleans) are instead kept side by side
    // by entry number, with one bit per entry for those kept.
    struct Column {
        bool refused = false;
        std::int32_t flatSize = 0;  // > 0: the size of every value, kept in flat
        std::unique_ptr<std::uint8_t[]> flat;
        std::vector<std::uint64_t> flatKept;
        std::vector<std::uint32_t> places;                    // per entry number
        std::vector<std::unique_ptr<std::uint8_t[]>> blocks;  // null for spanned numbers
        std::uint32_t next = 0;                               // the place of the next free byte
        std::uint32_t last = kAbsent;                         // the place of the last value kept
        std::int64_t held = 0;                                // bytes kept, for the limit
    };
    static constexpr std::uint32_t kAbsent = 0xFFFFFFFFu;
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFEu;
    static constexpr std::uint32_t kBlockBytes = 64 * 1024;
    static constexpr std::int32_t kLargestFlatValue = 16;
    // Keeps a value in the column's blocks; returns its place, or kAbsent when the column
    // would hold more than kMaxFieldBytes (or more places than a place can name).
    static std::uint32_t Keep(Column& column, const std::uint8_t* data, std::uint32_t size);
    static bool IsKept(const Column& column, size_t entry);
    struct Signature {
        const TVeskTableIO* table = nullptr;
        std::int32_t writeCounter = 0;
        std::size_t live = 0;
        std::int32_t lastEntry = -1;
        bool operator==(const Signature&) const = default;
    };
    static Signature SignatureOf(TVeskTableIO& table);
    Column& ColumnOf(TVeskTableIO& table, std::int32_t fieldNo);
    static TStoredValue Kept(const Column& column, size_t entry);

    Signature signature_;
    std::int32_t entries_ = 0;
    std::vector<std::unique_ptr<Column>> columns_;  // by field number
    std::unique_ptr<TRecordScanReader> reader_;
    std::optional<TRecordItem> placed_;  // the record last found well placed in this scan
};

}  // namespace vesk
