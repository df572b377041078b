#pragma once
// The undo log of one write operation. Every byte the operation overwrites inside the file as
// it was when the operation began is kept first; Rollback puts those bytes back, newest
// first, and cuts the file back to its original size, so a write that fails part-way leaves
// the file as it was. Bytes written past the original end need no copy: nothing points at
// them until a pointer inside the original file (which is logged) is changed.
//
// The operation runs under the file lock, so no other handle can have appended meanwhile.
//
// Errors: Overwrite passes on the file's errors (the log keeps what was saved before).
// Rollback never throws: it restores what it can.
#include <cstdint>
#include <vector>

#include "engine/db_file_io.h"

namespace vesk {

class TWriteUndoLog {
  public:
    explicit TWriteUndoLog(TVeskDBFileIO& file);

    // Writes count bytes at position, after keeping the original bytes it replaces.
    void Overwrite(std::int64_t position, const void* data, std::int64_t count);
    // Puts back every kept range, newest first, then cuts the file to OriginalSize.
    void Rollback() noexcept;

    std::int64_t OriginalSize() const { return originalSize_; }

  private:
    struct Saved {
        std::int64_t position;
        std::vector<std::uint8_t> bytes;
    };
    TVeskDBFileIO& file_;
    std::int64_t originalSize_;
    std::vector<Saved> saved_;
};

}  // namespace vesk
