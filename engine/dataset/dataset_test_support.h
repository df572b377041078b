#pragma once
// Test support for the table component: a fresh database file in a scratch folder with a
// site-like table (engine key, unique name, integer, boolean, word and smallint columns), a
// table without indexes, a table with a memo and a date, and a database component named for it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/database.h"
#include "engine/database_schema.h"
#include "engine/dataset/vesk_table.h"
#include "engine/file_builder.h"
#include "engine/file_format.h"
#include "engine/session_list.h"

namespace vesk::testing {

inline DatabaseSchema FixtureSchema() {
    DatabaseSchema schema;
    schema.tables = {
        {"site",
         {{"id", ftAutoInc, 0, 0},
          {"name", ftString, 20, 0},
          {"port", ftInteger, 0, 0},
          {"pasv", ftBoolean, 0, 0},
          {"w", ftWord, 0, 0},
          {"s", ftSmallint, 0, 0}},
         {{"pk", format::kIdxPrimary | format::kIdxUnique, {0}},
          {"byname", format::kIdxUnique, {1}},
          {"byport", 0, {2}}}},
        {"plain", {{"name", ftString, 10, 0}, {"num", ftInteger, 0, 0}}, {}},
        {"notes",
         {{"id", ftAutoInc, 0, 0},
          {"memo", ftMemo, 0, 0},
          {"day", ftDate, 0, 0},
          {"tag", ftInteger, 0, 0}},
         {{"pk", format::kIdxPrimary | format::kIdxUnique, {0}}}},
        {"ci", {{"name", ftString, 10, 0}}, {{"byname", format::kIdxCaseInsensitive, {0}}}},
    };
    return schema;
}

// A fresh database file of `schema` in a scratch folder, the engine started and the database
// component `componentName` open on it under the database name "fx"; the table components a
// test makes are freed before the database.
class DatabaseFileFixture : public ::testing::Test {
  protected:
    DatabaseFileFixture(DatabaseSchema schema, std::string componentName)
        : schema_(std::move(schema)), componentName_(std::move(componentName)) {}

    void SetUp() override {
        VeskDB_Initialization();
        std::string pattern =
            (std::filesystem::temp_directory_path() / "vesk-dataset-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
        path_ = folder_ + "/fixture.dat";
        CreateDatabaseFile(path_, schema_);
        Connect();
    }
    void TearDown() override {
        tables_.clear();
        database_.reset();
        VeskDB_Finalization();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    void Connect() {
        database_ = std::make_unique<TVeskDatabase>(nullptr, componentName_);
        database_->SetDatabaseName("fx");
        database_->SetFileName(path_);
        database_->Open();
    }
    // Disconnects (closing every table) and connects again: everything is read from disk.
    void Reconnect() {
        database_->Close();
        database_.reset();
        Connect();
    }

    // A table component named "T" + table, not yet open.
    TVeskTable& Table(const std::string& table, const std::string& index = {}) {
        auto component = std::make_unique<TVeskTable>("T" + table);
        component->SetDatabaseName("fx");
        component->SetTableName(table);
        component->SetIndexName(index);
        tables_.push_back(std::move(component));
        return *tables_.back();
    }
    TVeskTable& Opened(const std::string& table, const std::string& index = {}) {
        TVeskTable& t = Table(table, index);
        t.Open();
        return t;
    }

    // The values of one column over the whole table, from the first row to the end.
    static std::vector<std::string> Column(TVeskTable& t, const std::string& field) {
        std::vector<std::string> values;
        t.First();
        while (!t.Eof()) {
            values.push_back(t.FieldByName(field).AsString());
            t.Next();
        }
        return values;
    }

    DatabaseSchema schema_;
    std::string componentName_;
    std::string folder_;
    std::string path_;
    std::unique_ptr<TVeskDatabase> database_;
    std::vector<std::unique_ptr<TVeskTable>> tables_;
};

class TableFixture : public DatabaseFileFixture {
  protected:
    TableFixture() : DatabaseFileFixture(FixtureSchema(), "VeskDatabase1") {}

    // Appends site rows by name and port; returns their engine keys.
    std::vector<std::int32_t> AddSites(TVeskTable& t, const std::vector<std::string>& names) {
        std::vector<std::int32_t> keys;
        std::int32_t port = 21;
        for (const std::string& name : names) {
            t.Append();
            t.FieldByName("name").SetAsString(name);
            t.FieldByName("port").SetAsInteger(port++);
            t.Post();
            keys.push_back(t.FieldByName("id").AsInteger());
        }
        return keys;
    }
};

}  // namespace vesk::testing
