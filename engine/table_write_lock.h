#pragma once
// The file lock held for one write of a table, with the table brought up to date first.
//
// Taking it locks the file and re-reads the table's header; when another handle has written
// since this table was loaded (the header differs from the copy in memory), it lets go, loads
// the table anew and tries again. So every write works on the state the file really holds.
//
// Errors: the lock's time-out, the file's read errors and the load's errors pass on, and
// "Wait for unlock time out" when other writers keep changing the table; nothing is held then.
#include "engine/db_file_io.h"
#include "engine/table_io.h"

namespace vesk {

class TTableWriteLock {
  public:
    // table must be loaded ("Table '<name>' is not open" otherwise); neither is owned.
    TTableWriteLock(TVeskTableIO& table, TVeskDBFileIO& file);
    ~TTableWriteLock() { Release(); }
    TTableWriteLock(const TTableWriteLock&) = delete;
    TTableWriteLock& operator=(const TTableWriteLock&) = delete;

    // After a failed write: lets go of the lock and reads the table's state from the file
    // again. A table that cannot be read stays unloaded (its next use reports why).
    void ReleaseAndReload() noexcept;

  private:
    void Release();
    void Reload();

    TVeskTableIO& table_;
    TVeskDBFileIO& file_;
    bool held_ = false;
};

}  // namespace vesk
