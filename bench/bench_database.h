#pragma once
// A fresh database file for a benchmark's queue runs to write their history rows into, in use
// as the program's `dm` from construction to destruction. Needs a live EngineLifetime; throws
// what the engine throws when the file cannot be made or opened.
#include <string>

#include "shared/tdm.h"
#include "shared/testing/database_files.h"

namespace bench {

class BenchDatabase {
  public:
    explicit BenchDatabase(const std::string& file) {
        shared::testing::MakeDatabaseFile(file, "all.schema");
        dm = &data_;
        data_.VeskDatabase1->SetFileName(file);
        data_.VeskDatabase1->SetConnected(true);
    }
    ~BenchDatabase() {
        data_.VeskDatabase1->SetConnected(false);
        dm = nullptr;
    }
    BenchDatabase(const BenchDatabase&) = delete;
    BenchDatabase& operator=(const BenchDatabase&) = delete;

  private:
    Tdm data_;
};

}  // namespace bench
