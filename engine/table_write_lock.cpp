#include "engine/table_write_lock.h"

#include <vector>

#include "engine/db_error.h"
#include "engine/file_format.h"

namespace vesk {

namespace {
// How often a write re-reads a table that other handles keep changing before it gives up.
constexpr int kSyncAttempts = 50;
}  // namespace

TTableWriteLock::TTableWriteLock(TVeskTableIO& table, TVeskDBFileIO& file)
    : table_(table), file_(file) {
    if (!table_.Loaded())
        throw EDatabaseError("Table '" + table_.TableName() + "' is not open");
    std::vector<std::uint8_t> onDisk(format::kTableHeaderSize);
    for (int attempt = 0;; ++attempt) {
        file_.Lock();
        held_ = true;
        try {
            file_.ReadTableHeader(table_.TableNo(), onDisk.data());
        } catch (...) {
            Release();  // no destructor runs for a constructor that throws
            throw;
        }
        if (onDisk == table_.HeaderCopy())
            return;
        // Another handle wrote: load the table anew (the load takes the lock itself).
        Release();
        if (attempt == kSyncAttempts)
            throw EDatabaseError("Wait for unlock time out");
        Reload();
    }
}

void TTableWriteLock::ReleaseAndReload() noexcept {
    Release();
    try {
        Reload();
    } catch (...) {
        // The caller gets the write's own error.
    }
}

void TTableWriteLock::Release() {
    if (held_)
        file_.Unlock();
    held_ = false;
}

void TTableWriteLock::Reload() {
    table_.Unload();
    table_.LoadTable();
}

}  // namespace vesk
