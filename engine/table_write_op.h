#pragma once
// One write operation on a table's file: every write goes through the undo log, the end of
// the file is tracked as areas are allocated there, and the table header is written with its
// write counter advanced.
//
// Errors: the file's errors pass on; Allocate throws "Database file '<name>' is full" when a
// structure would end beyond the 32-bit offsets the format stores.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "engine/db_file_io.h"
#include "engine/table_io.h"
#include "engine/write_undo.h"

namespace vesk {

// Where each write advances its counter in the table header: reserved bytes, which nothing
// but the writers' change check reads. Other handles see from it that the table changed.
constexpr std::int32_t kHdrWriteCounter = 4805;

struct TTableWriteOp {
    TVeskTableIO& table;
    TVeskDBFileIO& file;
    TWriteUndoLog undo;
    // Where the next new structure goes: past the end of the file as written so far and past
    // every structure the file's map knows of (a last chunk may reach beyond the file's end,
    // its unused entries not written out).
    std::int64_t end;

    TTableWriteOp(TVeskTableIO& t, TVeskDBFileIO& f)
        : table(t), file(f), undo(f), end(std::max(undo.OriginalSize(), f.Structures().MaxEnd())) {}

    // Room for size bytes at the end of the file; returns where they start.
    std::int64_t Allocate(std::int64_t size);
    void Write(std::int64_t position, const void* data, std::int64_t count);
    void WriteI32(std::int64_t position, std::int32_t value);
    std::int32_t ReadI32(std::int64_t position, const char* what);
    // Advances the header's write counter and writes the header at the table's offset.
    void WriteHeader(std::vector<std::uint8_t>& header);
};

}  // namespace vesk
