// What filters and master ranges leave behind in the harder cases: a pass that keeps every row
// of an order no longer the index's, the row a progress handler sees, searches with a filter
// text while Filtered is off, a filter that fails as the master moves, a change of the master
// fields that fails, opening a filtered detail, and a detail without rows.
#include <gtest/gtest.h>

#include "engine/dataset/data_source.h"
#include "engine/dataset/filter_test_support.h"

namespace vesk::testing {
namespace {

using TableFilter = FilterFixture;
using MasterRange = MasterRangeFixture;

FilterRow Row(const std::string& name, std::int32_t a, std::int32_t b, const std::string& memo) {
    FilterRow row;
    row.name = name;
    row.a = a;
    row.b = b;
    row.memo = memo;
    row.flag = a % 2 == 0;
    return row;
}

// The pass narrows the order as the table holds it, here one another component's rename has
// put out of the index's order (it shows after a refresh): a pass that keeps every row keeps
// that order, and one that drops rows keeps the others in it. Taking the order anew from the
// index would show it sorted.
TEST_F(TableFilter, APassThatKeepsEveryRowKeepsTheOrderAsTheTableHoldsIt) {
    const struct {
        const char* filter;
        std::vector<std::string> names;
    } cases[] = {
        {"a > 0", {"z", "b", "c", "d"}},
        {"name <> 'c'", {"z", "b", "d"}},
    };
    for (const bool withProgress : {false, true}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.filter) +
                         (withProgress ? ", with a progress handler" : ", without handlers"));
            TVeskTable& reader = Table("f");
            TVeskTable& writer = Table("f");
            writer.Open();
            writer.EmptyTable();
            for (const char* name : {"a", "b", "c", "d"})
                AddRow(writer, Row(name, 1, 1, ""));
            reader.Open();
            if (withProgress)
                reader.OnFilterProgress = [](TTDEDataSet&, int) {};
            ASSERT_TRUE(writer.Locate("name", TKeyValue(std::string("a"))));
            writer.Edit();
            writer.FieldByName("name").SetAsString("z");
            writer.Post();
            EXPECT_EQ(Names(writer), (std::vector<std::string>{"b", "c", "d", "z"}));
            EXPECT_EQ(Names(reader), (std::vector<std::string>{"z", "b", "c", "d"}));
            reader.SetFilter(c.filter);
            reader.SetFiltered(true);
            EXPECT_EQ(Names(reader), c.names);
            reader.Close();
            writer.Close();
        }
    }
}

// A progress handler looks at the row under test, every field of it, as OnFilterRecord does.
TEST_F(TableFilter, AProgressHandlerSeesTheWholeRow) {
    TVeskTable& t = Table("f");
    t.Open();
    const std::vector<FilterRow> rows = {Row("r1", 1, 10, "one"), Row("r2", 2, 20, "two"),
                                         Row("r3", 3, 30, ""), Row("r4", 4, 40, "four")};
    for (const FilterRow& row : rows)
        AddRow(t, row);
    const auto memo = [](TTDEDataSet& dataSet) {
        return dataSet.CreateBlobStream(dataSet.FieldByName("memo"), TBlobStreamMode::bmRead)
            ->AsString();
    };
    std::vector<std::string> seen;
    t.OnFilterProgress = [&](TTDEDataSet& dataSet, int) {
        seen.push_back(dataSet.FieldByName("name").AsString() + " " +
                       std::to_string(dataSet.FieldByName("b").AsInteger()) + " " +
                       (dataSet.FieldByName("flag").AsBoolean() ? "even" : "odd") + " " +
                       memo(dataSet));
    };
    t.SetFilter("a = 2 or a = 4");
    t.SetFiltered(true);
    EXPECT_EQ(seen, (std::vector<std::string>{"r1 10 odd one", "r2 20 even two", "r3 30 odd ",
                                              "r4 40 even four"}));
    EXPECT_EQ(Names(t), (std::vector<std::string>{"r2", "r4"}));
    // The rows that passed read whole afterwards, too.
    t.First();
    EXPECT_EQ(memo(t), "two");
}

// The searches test the filter text on the order as it is, unfiltered, and leave it so.
TEST_F(TableFilter, SearchesWithAFilterTextWhileFilteredIsOff) {
    TVeskTable& t = Table("f");
    t.Open();
    for (int i = 1; i <= 5; ++i)
        AddRow(t, Row("r" + std::to_string(i), i, 1, ""));
    t.SetFilter("a > 1 and a < 5");
    ASSERT_FALSE(t.Filtered());
    const auto current = [&] { return t.FieldByName("name").AsString(); };
    const struct {
        bool (TTDEDataSet::*search)();
        bool found;
        const char* row;
    } steps[] = {
        {&TTDEDataSet::FindFirst, true, "r2"},  {&TTDEDataSet::FindNext, true, "r3"},
        {&TTDEDataSet::FindNext, true, "r4"},   {&TTDEDataSet::FindNext, false, "r4"},
        {&TTDEDataSet::FindPrior, true, "r3"},  {&TTDEDataSet::FindPrior, true, "r2"},
        {&TTDEDataSet::FindPrior, false, "r2"}, {&TTDEDataSet::FindLast, true, "r4"},
        {&TTDEDataSet::FindFirst, true, "r2"},
    };
    for (const auto& step : steps) {
        EXPECT_EQ((t.*step.search)(), step.found) << step.row;
        EXPECT_EQ(current(), step.row);
        EXPECT_EQ(t.RecordCount(), 5);
        EXPECT_FALSE(t.Filtered());
    }
    t.Last();
    EXPECT_EQ(current(), "r5");
    // A filter that fails on a row stops the search where it was.
    t.SetFilter("a / (a - 3) > 0");
    t.First();
    EXPECT_EQ(ErrorOf([&] { t.FindNext(); }), "Division by zero");  // r2 fails, r3 divides
    EXPECT_EQ(current(), "r1");
    EXPECT_EQ(t.State(), TDataSetState::dsBrowse);
    t.Last();
    EXPECT_FALSE(t.FindNext());
    EXPECT_EQ(current(), "r5");
    EXPECT_TRUE(t.FindPrior());
    EXPECT_EQ(current(), "r4");
}

// The detail's filter divides by zero for the rows of site 9 only.
constexpr const char* kFailsForSite9 = "siteid / (siteid - 9) < 0";

// The master has moved when the filter fails: the detail shows the master's range, with the
// filter off, and the error reaches the caller of the move.
TEST_F(MasterRange, AFilterThatFailsAsTheMasterMovesLeavesItsRangeUnfiltered) {
    MasterTo(7);
    Link();
    detail_->SetFilter(kFailsForSite9);
    detail_->SetFiltered(true);
    EXPECT_EQ(Names(*detail_), (std::vector<std::string>{"a", "b", "c"}));
    const struct {
        const char* how;
        std::function<void()> move;
    } moves[] = {
        {"Locate", [&] { master_->Locate("id", TKeyValue(std::int64_t{9})); }},
        {"Last", [&] { master_->Last(); }},
        {"a field write",
         [&] {
             master_->Edit();
             master_->FieldByName("id").SetAsInteger(9);
         }},
    };
    for (const auto& move : moves) {
        SCOPED_TRACE(move.how);
        EXPECT_EQ(ErrorOf(move.move), "Division by zero");
        EXPECT_EQ(master_->FieldByName("id").AsInteger(), 9);
        EXPECT_FALSE(detail_->Filtered());
        EXPECT_TRUE(detail_->RangeActive());
        EXPECT_EQ(detail_->Filter(), kFailsForSite9);
        EXPECT_EQ(Names(*detail_), (std::vector<std::string>{"z"}));
        // The master goes on as usual; the detail follows it unfiltered until filtered again.
        master_->Cancel();
        MasterTo(3);
        EXPECT_EQ(Names(*detail_), (std::vector<std::string>{"x"}));
        MasterTo(7);
        EXPECT_EQ(Names(*detail_), (std::vector<std::string>{"a", "b", "c"}));
        detail_->SetFiltered(true);
        EXPECT_EQ(Names(*detail_), (std::vector<std::string>{"a", "b", "c"}));
    }
}

// A change of the master fields that fails, in the names or in taking or filtering their
// range, passes its error on and changes nothing: the names, the order, the filter, the row
// and the range a refresh takes again stay; the master moves and writes as before.
TEST_F(MasterRange, AChangeOfTheMasterFieldsThatFailsChangesNothing) {
    MasterTo(7);
    Link();
    detail_->SetFilter(kFailsForSite9);
    detail_->SetFiltered(true);
    const struct {
        const char* names;
        const char* message;
    } cases[] = {
        {"nope", "Tmaster: Field 'nope' not found"},
        {"id;id;id", "Tdetail: Field index out of range"},  // the index has two fields
        {"label", "'x7' is not a valid integer value for field 'siteid'"},
        {"alt", "Division by zero"},  // 7 + 2: the rows of site 9
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.names);
        ASSERT_TRUE(detail_->Locate("name", TKeyValue(std::string("b"))));
        EXPECT_EQ(ErrorOf([&] { detail_->SetMasterFields(c.names); }), c.message);
        EXPECT_EQ(detail_->MasterFields(), "id");
        EXPECT_TRUE(detail_->Filtered());
        EXPECT_TRUE(detail_->RangeActive());
        EXPECT_EQ(detail_->FieldByName("name").AsString(), "b");
        EXPECT_EQ(Names(*detail_), (std::vector<std::string>{"a", "b", "c"}));
        detail_->Refresh();
        EXPECT_EQ(Names(*detail_), (std::vector<std::string>{"a", "b", "c"}));
        // The master moves and writes its fields without an error.
        EXPECT_EQ(ErrorOf([&] { master_->Prior(); }), "no error");  // 5: no rows
        EXPECT_EQ(detail_->RecordCount(), 0);
        EXPECT_EQ(ErrorOf([&] { MasterTo(7); }), "no error");
        EXPECT_EQ(ErrorOf([&] {
                      master_->Edit();
                      master_->FieldByName("id").SetAsInteger(3);
                  }),
                  "no error");
        EXPECT_EQ(Names(*detail_), (std::vector<std::string>{"x"}));
        master_->Cancel();
        EXPECT_EQ(master_->State(), TDataSetState::dsBrowse);
        EXPECT_EQ(Names(*detail_), (std::vector<std::string>{"a", "b", "c"}));
    }
    // A change that works still takes its range.
    detail_->SetMasterFields("id;id");
    EXPECT_EQ(detail_->RecordCount(), 0);  // no row of site 7 is named "7"
    detail_->SetMasterFields("id");
    EXPECT_EQ(Names(*detail_), (std::vector<std::string>{"a", "b", "c"}));
}

// A master row whose value the detail's key cannot take raises as the master moves; the
// detail keeps the range it had, and so do its keys, from which a refresh takes it again.
TEST_F(MasterRange, AMasterValueTheKeyCannotTakeKeepsTheRange) {
    MasterTo(9);
    detail_->SetMasterSource(source_.get());
    detail_->SetMasterFields("label");
    EXPECT_EQ(Names(*detail_), (std::vector<std::string>{"z"}));
    EXPECT_EQ(ErrorOf([&] { MasterTo(7); }),
              "'x7' is not a valid integer value for field 'siteid'");
    EXPECT_EQ(Names(*detail_), (std::vector<std::string>{"z"}));
    detail_->Refresh();
    EXPECT_EQ(Names(*detail_), (std::vector<std::string>{"z"}));
    MasterTo(3);
    EXPECT_EQ(Names(*detail_), (std::vector<std::string>{"x"}));
}

// Closing the master cannot be refused (it also runs from destructors and the database's
// disconnect): the detail shows every row again, with a filter that fails on them dropped, and
// nothing of the detail's reaches the master's close, which completes.
TEST_F(MasterRange, ClosingTheMasterCompletesWhateverTheDetailMeetsThen) {
    MasterTo(7);
    Link();
    detail_->SetFilter(kFailsForSite9);
    detail_->SetFiltered(true);
    EXPECT_EQ(ErrorOf([&] { master_->Close(); }), "no error");
    EXPECT_FALSE(master_->Active());
    EXPECT_FALSE(detail_->RangeActive());
    EXPECT_FALSE(detail_->Filtered());
    EXPECT_EQ(detail_->RecordCount(), 6);
    EXPECT_EQ(detail_->FieldByName("name").AsString(), "x");  // site 3, the first
    master_->Open();
    EXPECT_EQ(Names(*detail_), (std::vector<std::string>{"x"}));
    // A pending row of the detail that cannot be posted stays pending, in its range.
    MasterTo(7);
    detail_->BeforePost = [](TTDEDataSet&) { throw EDatabaseError("refused"); };
    detail_->Edit();
    detail_->FieldByName("name").SetAsString("q");
    EXPECT_EQ(ErrorOf([&] { master_->Close(); }), "no error");
    EXPECT_FALSE(master_->Active());
    EXPECT_EQ(detail_->State(), TDataSetState::dsEdit);
    detail_->Cancel();
    detail_->BeforePost = nullptr;
    EXPECT_EQ(Names(*detail_), (std::vector<std::string>{"a", "b", "c"}));
    // Cancelling the range itself passes a filter's error on, with the filter dropped.
    detail_->SetFiltered(true);
    EXPECT_EQ(ErrorOf([&] { detail_->CancelRange(); }), "Division by zero");
    EXPECT_FALSE(detail_->Filtered());
    EXPECT_FALSE(detail_->RangeActive());
    EXPECT_EQ(detail_->RecordCount(), 6);
}

// Opening a filtered detail takes the range, then filters it once.
TEST_F(MasterRange, OpeningAFilteredDetailFiltersItsRangeOnce) {
    detail_->Close();
    detail_->SetFilter("name <> 'b'");
    detail_->SetFiltered(true);
    std::vector<int> progress;
    detail_->OnFilterProgress = [&](TTDEDataSet&, int percent) { progress.push_back(percent); };
    MasterTo(7);
    Link();
    detail_->Open();
    EXPECT_EQ(progress, (std::vector<int>{0, 33, 66}));
    EXPECT_TRUE(detail_->RangeActive());
    EXPECT_EQ(detail_->FieldByName("name").AsString(), "a");
    EXPECT_EQ(Names(*detail_), (std::vector<std::string>{"a", "c"}));
}

// A detail whose index holds no row takes no range; its first rows do at the next move.
TEST_F(MasterRange, ADetailWithoutRowsTakesNoRange) {
    detail_->EmptyTable();
    MasterTo(7);
    Link();
    EXPECT_FALSE(detail_->RangeActive());
    EXPECT_EQ(detail_->RecordCount(), 0);
    MasterTo(9);
    EXPECT_FALSE(detail_->RangeActive());
    for (const auto& [site, name] :
         std::vector<std::pair<int, std::string>>{{7, "n"}, {9, "o"}, {7, "p"}}) {
        detail_->Append();
        detail_->FieldByName("siteid").SetAsInteger(site);
        detail_->FieldByName("name").SetAsString(name);
        detail_->Post();
    }
    MasterTo(7);
    EXPECT_TRUE(detail_->RangeActive());
    EXPECT_EQ(Names(*detail_), (std::vector<std::string>{"n", "p"}));
}

}  // namespace
}  // namespace vesk::testing
