#pragma once
// Where a record of a table may lie: wholly inside the file, past the file's fixed part, and
// on none of the structures the file keeps for itself (table headers, record-tab and
// index-tab chunks). A record-tab entry whose offset breaks this rule belongs to a damaged
// file: reading there would return the bytes of a header or a chunk as if they were a row.
// Used by the table loader and its reads, and by the file checker, so both judge alike.
#include <cstdint>
#include <string>
#include <vector>

namespace vesk {

class TRecordPlacement {
  public:
    static constexpr const char* kBeyondTheEnd = "lies beyond the end of the file";

    // A structure that occupies [at, at + size), named for messages ("the header of table 2").
    // Structures that lie outside the file are kept too: a record cannot lie there either.
    void AddStructure(std::int64_t at, std::int64_t size, std::string name);
    // Chunks of a chain, each chunkSize bytes, named "<chain> chunk <n>".
    void AddChunks(const std::vector<std::int64_t>& chunks, std::int64_t chunkSize,
                   const std::string& chain);
    void Clear();

    // An empty text when a record of recordSize bytes may lie at offset in a file of fileSize
    // bytes, else what is wrong ("lies in the file's fixed part", "lies beyond the end of the
    // file", "lies on <structure>"). Never throws but std::bad_alloc.
    std::string Problem(std::int64_t offset, std::int64_t recordSize, std::int64_t fileSize) const;

  private:
    struct Structure {
        std::int64_t at;
        std::int64_t end;
        std::string name;
    };
    // Sorts the structures by start and notes, for each prefix, the one reaching furthest.
    void Seal() const;

    mutable std::vector<Structure> structures_;
    mutable std::vector<size_t> reachIndex_;  // for each i: the structure <= i with largest end
    mutable bool sealed_ = true;
};

}  // namespace vesk
