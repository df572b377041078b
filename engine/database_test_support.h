#pragma once
// Test support for the database component and sessions: a started engine per test and a
// minimal data set that opens one table's storage, as the table component will.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "engine/component_error.h"
#include "engine/database.h"
#include "engine/db_dataset.h"
#include "engine/db_error.h"
#include "engine/session.h"
#include "engine/session_list.h"
#include "engine/table_io.h"
#include "engine/table_test_support.h"

namespace vesk::write_testing {

class LinkedTable : public TTDBDataSet {
  public:
    explicit LinkedTable(std::string name, std::string tableName = "items")
        : TTDBDataSet(std::move(name)), tableName_(std::move(tableName)) {}
    ~LinkedTable() override { Close(); }
    TVeskTableIO* TableIO() const { return tableIO_; }

  protected:
    void InternalOpenCursor() override {
        tableIO_ = Database()->FindTableIO(tableName_);
        if (tableIO_ == nullptr)
            RaiseComponentError(Name(), FormatMessage("Table '%s' not found", tableName_));
        tableIO_->Open();
    }
    void InternalCloseCursor() override {
        if (tableIO_ != nullptr)
            tableIO_->Close();
        tableIO_ = nullptr;
    }

  private:
    std::string tableName_;
    TVeskTableIO* tableIO_ = nullptr;
};

// A started engine and a fresh database file "items.dat" (tables "other" and "items").
class EngineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        VeskDB_Initialization();
        folder_ = TempFolder();
        path_ = folder_ + "/items.dat";
        CreateDatabaseFile(path_, ItemsSchema());
    }
    void TearDown() override {
        VeskDB_Finalization();
        std::filesystem::remove_all(folder_);
    }

    std::string folder_;
    std::string path_;
};

// The message of the EDatabaseError that call raises ("" when it raises none).
template <typename Call>
std::string ErrorOf(Call call) {
    try {
        call();
    } catch (const EDatabaseError& error) {
        return error.what();
    }
    return {};
}

}  // namespace vesk::write_testing
