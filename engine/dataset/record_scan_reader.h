#pragma once
// Reads stored field values of many records in a row, for a scan over a table's order: plain
// values come from a block of the file read once for the records lying in it; enciphered
// values and blobs go through the table's own value read.
//
// The reader keeps no lock; while its caller holds the file's lock, plain values are read in
// place through the file's locked view. Its blocks hold what the file holds at that moment
// (values read through the table follow the file's own rule, see TVeskDBFileIO). A value that
// lies past the file's end raises the file's damage error.
#include <cstdint>
#include <vector>

#include "engine/stream.h"
#include "engine/table_io.h"

namespace vesk {

struct TStoredValue {
    const std::uint8_t* data = nullptr;
    std::int32_t size = 0;
};

class TRecordScanReader {
  public:
    explicit TRecordScanReader(TVeskTableIO& table) : table_(table) {}

    // The stored value of field fieldNo (0-based) of the record of item; valid until the next
    // call.
    TStoredValue Value(const TRecordItem& item, std::int32_t fieldNo);

  private:
    // Large enough that the time goes into copying the bytes, not into calls.
    static constexpr std::int64_t kBlockSize = 256 * 1024;

    TVeskTableIO& table_;
    std::vector<std::uint8_t> block_;
    std::int64_t blockStart_ = -1;
    std::int64_t blockLength_ = 0;
    TMemoryStream value_;
};

}  // namespace vesk
