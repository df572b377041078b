#pragma once
// Test support for filters: a database with a table of every type a filter compares (text,
// integers, float, Boolean, date, time, date-time, memo) and rows written through the table
// component, raw bytes for the types its fields have no accessor for.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/database.h"
#include "engine/database_schema.h"
#include "engine/dataset/data_source.h"
#include "engine/dataset/dataset_test_support.h"
#include "engine/dataset/vesk_blob_stream.h"
#include "engine/dataset/vesk_table.h"
#include "engine/day_number.h"
#include "engine/file_builder.h"
#include "engine/file_format.h"
#include "engine/session_list.h"

namespace vesk::testing {

// One row of table "f".
struct FilterRow {
    std::string name;
    std::int32_t a = 0;
    std::int32_t b = 0;
    double x = 0;
    bool flag = false;
    TCivilDate day{2024, 1, 1};  // field "order date"
    std::int32_t year = 0;
    std::string memo;
};

inline DatabaseSchema FilterSchema() {
    DatabaseSchema schema;
    schema.tables = {
        {"f",
         {{"name", ftString, 20, 0},
          {"a", ftInteger, 0, 0},
          {"b", ftInteger, 0, 0},
          {"x", ftFloat, 0, 0},
          {"flag", ftBoolean, 0, 0},
          {"order date", ftDate, 0, 0},
          {"year", ftInteger, 0, 0},
          {"memo", ftMemo, 0, 0},
          {"t", ftTime, 0, 0},
          {"dt", ftDateTime, 0, 0},
          {"s", ftSmallint, 0, 0}},
         {{"byname", format::kIdxPrimary | format::kIdxUnique, {0}}}},
        {"g", {{"count", ftInteger, 0, 0}}, {}},
        // A detail table for master ranges: (siteid, name) keys.
        {"detail",
         {{"siteid", ftInteger, 0, 0}, {"name", ftString, 20, 0}},
         {{"bysite", 0, {0, 1}}}},
        {"master",
         {{"id", ftInteger, 0, 0}, {"alt", ftInteger, 0, 0}, {"label", ftString, 10, 0}},
         {{"byid", format::kIdxPrimary, {0}}}},
    };
    return schema;
}

inline std::int32_t DayOf(const TCivilDate& date) {
    std::int32_t day = 0;
    EXPECT_TRUE(EncodeDayNumber(date, day));
    return day;
}

class FilterFixture : public DatabaseFileFixture {
  protected:
    FilterFixture() : DatabaseFileFixture(FilterSchema(), "FilterDatabase") {}

    template <typename T>
    static void SetRaw(TVeskTable& t, const char* field, T value) {
        t.SetFieldData(t.FieldByName(field), &value);
    }

    static void AddRow(TVeskTable& t, const FilterRow& row) {
        t.Append();
        t.FieldByName("name").SetAsString(row.name);
        t.FieldByName("a").SetAsInteger(row.a);
        t.FieldByName("b").SetAsInteger(row.b);
        SetRaw(t, "x", row.x);
        t.FieldByName("flag").SetAsBoolean(row.flag);
        SetRaw(t, "order date", DayOf(row.day));
        t.FieldByName("year").SetAsInteger(row.year);
        SetRaw(t, "t", std::int32_t{10 * 3600 * 1000});
        SetRaw(t, "dt", static_cast<double>(DayOf(row.day)) * 86400000.0);
        {
            auto stream = t.CreateBlobStream(t.FieldByName("memo"), TBlobStreamMode::bmWrite);
            stream->Write(row.memo.data(), static_cast<std::int64_t>(row.memo.size()));
        }
        t.Post();
    }

    // The names of the rows in the current order.
    static std::vector<std::string> Names(TVeskTable& t, const char* field = "name") {
        return Column(t, field);
    }
};

// A master of ids 3, 7, 9 and 5 (field alt the id + 2, label the id as text, "x7" for 7: no
// number) and a detail of
// rows (siteid, name) 7 b, 3 x, 7 a, 9 z, 7 c, 8 m in the order of its index on both; a
// source on the master, not yet linked.
class MasterRangeFixture : public FilterFixture {
  protected:
    void SetUp() override {
        FilterFixture::SetUp();
        master_ = &Table("master", "byid");
        detail_ = &Table("detail", "bysite");
        master_->Open();
        detail_->Open();
        for (std::int32_t id : {3, 7, 9, 5}) {
            master_->Append();
            master_->FieldByName("id").SetAsInteger(id);
            master_->FieldByName("alt").SetAsInteger(id + 2);
            master_->FieldByName("label").SetAsString((id == 7 ? "x" : "") + std::to_string(id));
            master_->Post();
        }
        for (const auto& [site, name] : std::vector<std::pair<int, std::string>>{
                 {7, "b"}, {3, "x"}, {7, "a"}, {9, "z"}, {7, "c"}, {8, "m"}}) {
            detail_->Append();
            detail_->FieldByName("siteid").SetAsInteger(site);
            detail_->FieldByName("name").SetAsString(name);
            detail_->Post();
        }
        source_ = std::make_unique<TDataSource>(master_);
    }
    void TearDown() override {
        source_.reset();
        FilterFixture::TearDown();
    }
    void Link() {
        detail_->SetMasterSource(source_.get());
        detail_->SetMasterFields("id");
    }
    void MasterTo(std::int32_t id) {
        ASSERT_TRUE(master_->Locate("id", TKeyValue(std::int64_t{id})));
    }

    TVeskTable* master_ = nullptr;
    TVeskTable* detail_ = nullptr;
    std::unique_ptr<TDataSource> source_;
};

inline std::string ErrorOf(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const EDatabaseError& e) {
        return e.what();
    }
    return "no error";
}

}  // namespace vesk::testing
