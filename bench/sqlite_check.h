#pragma once
// The benchmarks' check of an SQLite call's result: anything but success, a row or the end of
// the rows throws std::runtime_error with what was done and SQLite's message.
#include <sqlite3.h>

#include <stdexcept>
#include <string>

namespace bench {

inline void CheckSqlite(int rc, sqlite3* db, const char* what) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
        throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
}

}  // namespace bench
