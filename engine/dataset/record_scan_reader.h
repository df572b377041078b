#pragma once
// Reads stored field values of many records in a row, for a scan over a table's order: plain
// values come from a block of the file read once for the records lying in it; enciphered
// values and blobs go through the table's own value read.
//
// The reader keeps no lock; while its caller holds the file's lock, plain values are read in
// place through the file's locked view. Its blocks hold what the file holds at that moment
// (values read through the table follow the file's own rule, see TVeskDBFileIO). A value that
// lies past the file's end raises the file's damage error. What it learns of each field (how
// it is stored, where in the record) holds for the table's open definitions, so a reader is
// made for one scan.
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
    explicit TRecordScanReader(TVeskTableIO& table);
    TVeskTableIO& Table() const { return table_; }

    // The stored value of field fieldNo (0-based) of the record of item; valid until the next
    // call.
    TStoredValue Value(const TRecordItem& item, std::int32_t fieldNo);
    // Where Value would read that value in place through the locked view, else nullptr (a
    // value read through the table or a block, or a field number out of range). Nothing is
    // read or checked, and nothing but std::bad_alloc thrown: for asking the processor to load
    // it early.
    const std::uint8_t* InPlace(const TRecordItem& item, std::int32_t fieldNo);

  private:
    // Large enough that the time goes into copying the bytes, not into calls.
    static constexpr std::int64_t kBlockSize = 256 * 1024;

    struct Field {
        bool known = false;
        bool plain = false;  // neither a blob nor enciphered: read as stored
        std::int32_t offset = 0;
        std::int32_t size = 0;
    };
    const Field& FieldOf(std::int32_t fieldNo);

    TVeskTableIO& table_;
    TVeskDBFileIO& file_;
    std::vector<Field> fields_;  // by field number, learnt as met
    std::vector<std::uint8_t> block_;
    std::int64_t blockStart_ = -1;
    std::int64_t blockLength_ = 0;
    TMemoryStream value_;
};

}  // namespace vesk
