// Filtering the table component's current order (progress, a filter that passes every row, a
// failing filter, refresh) and master ranges (rows of the master's key, none, physical order,
// circular links, the refresh order).
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/dataset/data_source.h"
#include "engine/dataset/filter_test_support.h"

namespace vesk::testing {
namespace {

using TableFilter = FilterFixture;

FilterRow Numbered(const std::string& name, std::int32_t a, std::int32_t b = 1) {
    FilterRow row;
    row.name = name;
    row.a = a;
    row.b = b;
    return row;
}

TEST_F(TableFilter, FilteringNarrowsTheOrderAndReportsProgress) {
    TVeskTable& t = Table("f");
    t.Open();
    for (int i = 1; i <= 4; ++i)
        AddRow(t, Numbered("r" + std::to_string(i), i));
    // A progress handler may read other tables of the same file meanwhile.
    TVeskTable& other = Table("master");
    other.Open();
    other.Append();
    other.FieldByName("id").SetAsInteger(42);
    other.Post();
    std::vector<int> progress;
    t.OnFilterProgress = [&](TTDEDataSet& dataSet, int percent) {
        EXPECT_EQ(&dataSet, &t);
        progress.push_back(percent);
        other.First();
        EXPECT_EQ(other.FieldByName("id").AsInteger(), 42);
    };
    t.SetFilter("a = 2 or a = 4");
    t.SetFiltered(true);
    EXPECT_EQ(t.RecordCount(), 2);
    EXPECT_EQ(progress, (std::vector<int>{0, 25, 50, 75}));
    EXPECT_EQ(Names(t), (std::vector<std::string>{"r2", "r4"}));
    // A filter that passes every row keeps the order as it is.
    t.SetFilter("a > 0");
    EXPECT_EQ(Names(t), (std::vector<std::string>{"r1", "r2", "r3", "r4"}));
    // Switching off shows every row; on again filters anew.
    t.SetFilter("a >= 3");
    t.SetFiltered(false);
    EXPECT_EQ(t.RecordCount(), 4);
    t.SetFiltered(true);
    EXPECT_EQ(Names(t), (std::vector<std::string>{"r3", "r4"}));
    // A filter set while closed applies at open.
    t.Close();
    t.SetFilter("a = 1");
    t.Open();
    EXPECT_EQ(Names(t), (std::vector<std::string>{"r1"}));
}

TEST_F(TableFilter, AFailingFilterKeepsThePreviousTextAndOrder) {
    TVeskTable& t = Table("f");
    t.Open();
    AddRow(t, Numbered("r1", 1, 1));
    AddRow(t, Numbered("r2", 2, 0));
    AddRow(t, Numbered("r3", 3, 1));
    t.SetFiltered(true);
    t.SetFilter("a <> 1");
    EXPECT_EQ(Names(t), (std::vector<std::string>{"r2", "r3"}));
    // Evaluation fails on r2 (b = 0).
    EXPECT_EQ(ErrorOf([&] { t.SetFilter("a / b > 1"); }), "Division by zero");
    EXPECT_EQ(t.Filter(), "a <> 1");
    EXPECT_EQ(Names(t), (std::vector<std::string>{"r2", "r3"}));
    // The file loses its records under the open table: a filter that reads them stops with
    // the damage message, and nothing changes. (Values read before, while the file was sound
    // and the table unchanged, are held in memory: "a" would still be compared.)
    std::filesystem::resize_file(path_, 4096);
    const std::string message = ErrorOf([&] { t.SetFilter("x = 3"); });
    EXPECT_NE(message.find("damaged"), std::string::npos) << message;
    EXPECT_EQ(t.Filter(), "a <> 1");
    EXPECT_EQ(t.RecordCount(), 2);
}

// A pass that stops part way, after rows that passed have moved over rows that did not, leaves
// the order exactly as it was; the same rows filtered to the end keep their order. Alike with
// and without a progress handler (which the pass must let see the order as it was).
TEST_F(TableFilter, APassThatFailsPartWayKeepsTheWholeOrder) {
    // name, a, b: "a / b > 1" passes r2 r3 r6 r7 and fails on r8 (b = 0).
    const struct {
        const char* name;
        std::int32_t a, b;
    } rows[] = {{"r1", 1, 1}, {"r2", 4, 1}, {"r3", 4, 2}, {"r4", 1, 2}, {"r5", 1, 3},
                {"r6", 9, 1}, {"r7", 9, 1}, {"r8", 1, 0}, {"r9", 5, 1}};
    const std::vector<std::string> all = {"r1", "r2", "r3", "r4", "r5", "r6", "r7", "r8", "r9"};
    for (const bool withProgress : {false, true}) {
        SCOPED_TRACE(withProgress ? "with a progress handler" : "without handlers");
        TVeskTable& t = Table("f");
        t.Open();
        if (!withProgress)
            for (const auto& row : rows)
                AddRow(t, Numbered(row.name, row.a, row.b));
        int events = 0;
        if (withProgress)
            t.OnFilterProgress = [&](TTDEDataSet&, int) { ++events; };
        t.SetFilter("a / b > 1");
        EXPECT_EQ(ErrorOf([&] { t.SetFiltered(true); }), "Division by zero");
        EXPECT_FALSE(t.Filtered());
        EXPECT_EQ(Names(t), all);
        t.SetFilter("a > b");
        t.SetFiltered(true);
        EXPECT_EQ(Names(t), (std::vector<std::string>{"r2", "r3", "r6", "r7", "r8", "r9"}));
        t.SetFiltered(false);
        EXPECT_EQ(Names(t), all);
        EXPECT_EQ(events > 0, withProgress);
        t.Close();
    }
}

TEST_F(TableFilter, RefreshTakesTheOrderAgainAndFiltersIt) {
    TVeskTable& reader = Table("f");
    TVeskTable& writer = Table("f");
    writer.Open();
    AddRow(writer, Numbered("b", 2));
    reader.Open();
    reader.SetFilter("a > 1");
    reader.SetFiltered(true);
    EXPECT_EQ(Names(reader), (std::vector<std::string>{"b"}));
    AddRow(writer, Numbered("a", 5));
    AddRow(writer, Numbered("c", 0));
    EXPECT_EQ(reader.RecordCount(), 1);  // another component's rows show after a refresh
    reader.Refresh();
    EXPECT_EQ(Names(reader), (std::vector<std::string>{"a", "b"}));
}

using MasterRange = MasterRangeFixture;

TEST_F(MasterRange, TheDetailShowsTheRowsOfTheMastersKey) {
    MasterTo(7);
    Link();
    EXPECT_TRUE(detail_->RangeActive());
    EXPECT_EQ(Names(*detail_), (std::vector<std::string>{"a", "b", "c"}));
    MasterTo(9);
    EXPECT_EQ(Names(*detail_), (std::vector<std::string>{"z"}));
    MasterTo(5);  // no such detail row (between 3 and 7)
    EXPECT_EQ(detail_->RecordCount(), 0);
    EXPECT_TRUE(detail_->Eof());
    master_->Last();  // 9
    EXPECT_EQ(Names(*detail_), (std::vector<std::string>{"z"}));
    master_->First();  // 3
    EXPECT_EQ(Names(*detail_), (std::vector<std::string>{"x"}));
    // A filter narrows the range; changing it keeps the range.
    MasterTo(7);
    detail_->SetFilter("name <> 'b'");
    detail_->SetFiltered(true);
    EXPECT_EQ(Names(*detail_), (std::vector<std::string>{"a", "c"}));
    detail_->SetFilter("name <> 'c'");
    EXPECT_EQ(Names(*detail_), (std::vector<std::string>{"a", "b"}));
    MasterTo(3);
    EXPECT_EQ(Names(*detail_), (std::vector<std::string>{"x"}));
    detail_->SetFiltered(false);
    EXPECT_EQ(Names(*detail_), (std::vector<std::string>{"x"}));
    // Closing the master shows every row again.
    master_->Close();
    EXPECT_FALSE(detail_->RangeActive());
    EXPECT_EQ(detail_->RecordCount(), 6);
    // Opening it again brings the range back (its first row, 3).
    master_->Open();
    EXPECT_EQ(Names(*detail_), (std::vector<std::string>{"x"}));
}

TEST_F(MasterRange, RefreshRebuildsOrderThenRangeThenFilter) {
    MasterTo(7);
    Link();
    detail_->SetFilter("name <> 'a'");
    detail_->SetFiltered(true);
    EXPECT_EQ(Names(*detail_), (std::vector<std::string>{"b", "c"}));
    TVeskTable& other = Table("detail");
    other.Open();
    for (const auto& [site, name] :
         std::vector<std::pair<int, std::string>>{{7, "d"}, {7, "a2"}, {9, "y"}}) {
        other.Append();
        other.FieldByName("siteid").SetAsInteger(site);
        other.FieldByName("name").SetAsString(name);
        other.Post();
    }
    detail_->Refresh();
    EXPECT_EQ(Names(*detail_), (std::vector<std::string>{"a2", "b", "c", "d"}));
    // Without an index the range cannot be taken again.
    detail_->SetIndexName("");
    EXPECT_EQ(ErrorOf([&] { detail_->Refresh(); }), "Tdetail: No index currently active");
    EXPECT_EQ(ErrorOf([&] { detail_->ApplyRange(); }), "Tdetail: No index currently active");
    detail_->SetIndexName("bysite");
    EXPECT_EQ(Names(*detail_), (std::vector<std::string>{"a2", "b", "c", "d"}));
    detail_->CancelRange();
    EXPECT_FALSE(detail_->RangeActive());
    EXPECT_EQ(detail_->RecordCount(), 8);  // filtered: every name but "a"
}

TEST_F(MasterRange, APhysicalOrderIgnoresTheMaster) {
    detail_->SetIndexName("");
    MasterTo(7);
    Link();
    EXPECT_FALSE(detail_->RangeActive());
    EXPECT_EQ(detail_->RecordCount(), 6);
    MasterTo(9);
    EXPECT_EQ(detail_->RecordCount(), 6);
}

TEST_F(MasterRange, LinksAreCheckedAndKeptOnErrors) {
    // A source leading back to the table, directly or through another table.
    TDataSource own(detail_);
    EXPECT_EQ(ErrorOf([&] { detail_->SetMasterSource(&own); }),
              "Tdetail: Circular datalinks are not allowed");
    Link();
    TDataSource detailSource(detail_);
    EXPECT_EQ(ErrorOf([&] { master_->SetMasterSource(&detailSource); }),
              "Tmaster: Circular datalinks are not allowed");
    EXPECT_EQ(master_->MasterSource(), nullptr);
    // A name the master lacks keeps the names as they were.
    EXPECT_EQ(ErrorOf([&] { detail_->SetMasterFields("nope"); }),
              "Tmaster: Field 'nope' not found");
    EXPECT_EQ(detail_->MasterFields(), "id");
    // The link outlives neither side: a freed source or master leaves the detail unlinked.
    MasterTo(3);
    source_.reset();
    EXPECT_EQ(detail_->MasterSource(), nullptr);
    MasterTo(7);
    EXPECT_EQ(Names(*detail_), (std::vector<std::string>{"x"}));  // still the range of 3
    TDataSource again(master_);
    detail_->SetMasterSource(&again);
    detail_->SetMasterFields("id");
    EXPECT_EQ(Names(*detail_), (std::vector<std::string>{"a", "b", "c"}));
}

TEST_F(MasterRange, AnEmptiedMasterTakesItsDetailAlong) {
    MasterTo(7);
    Link();
    EXPECT_EQ(Names(*detail_), (std::vector<std::string>{"a", "b", "c"}));
    // The emptied master has no row: its key reads 0, which no detail row holds.
    master_->EmptyTable();
    EXPECT_TRUE(detail_->RangeActive());
    EXPECT_EQ(detail_->RecordCount(), 0);
    EXPECT_TRUE(detail_->Eof());
    master_->Append();
    master_->FieldByName("id").SetAsInteger(9);
    master_->Post();
    EXPECT_EQ(Names(*detail_), (std::vector<std::string>{"z"}));
}

}  // namespace
}  // namespace vesk::testing

namespace vesk::testing {
namespace {

// Scans keep the values they compared; any write of the table, by any component, forgets them.
TEST_F(TableFilter, ScansSeeEveryWriteOfTheTable) {
    TVeskTable& scanner = Table("f");
    TVeskTable& writer = Table("f");
    scanner.Open();
    writer.Open();
    for (int i = 1; i <= 3; ++i)
        AddRow(writer, Numbered("r" + std::to_string(i), i));
    scanner.Refresh();
    ASSERT_TRUE(scanner.Locate("a", TKeyValue(std::int64_t{2})));
    EXPECT_FALSE(scanner.Locate("a", TKeyValue(std::int64_t{7})));
    ASSERT_TRUE(writer.Locate("name", TKeyValue(std::string("r2"))));
    writer.Edit();
    writer.FieldByName("a").SetAsInteger(7);
    writer.Post();
    ASSERT_TRUE(scanner.Locate("a", TKeyValue(std::int64_t{7})));
    EXPECT_EQ(scanner.FieldByName("name").AsString(), "r2");  // the whole row once found
    scanner.SetFilter("a = 2");
    scanner.SetFiltered(true);
    EXPECT_EQ(scanner.RecordCount(), 0);
    writer.Edit();
    writer.FieldByName("a").SetAsInteger(2);
    writer.Post();
    scanner.Refresh();
    EXPECT_EQ(Names(scanner), (std::vector<std::string>{"r2"}));
    // A row found by a filter that read only its field "a" shows all its fields.
    EXPECT_EQ(scanner.FieldByName("b").AsInteger(), 1);
}

}  // namespace
}  // namespace vesk::testing
