// The table component's operations: messages, moves, events, emptying, orders, bookmarks,
// read-only refusals and two components on one table.
#include <gtest/gtest.h>

#include <functional>

#include "engine/dataset/dataset_test_support.h"
#include "engine/silent_abort.h"

namespace vesk::testing {
namespace {

using TableOps = TableFixture;

std::string ErrorOf(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const EDatabaseError& e) {
        return e.what();
    }
    return "no error";
}

TEST_F(TableOps, ComponentErrorsArePrefixed) {
    TVeskTable& t = Table("site");
    TVeskTable& missing = Table("nope");
    struct Case {
        const char* label;
        std::function<void()> operation;
        const char* message;
    };
    const std::vector<Case> closed = {
        {"first on closed", [&] { t.First(); },
         "Tsite: Cannot perform this operation on a closed dataset"},
        {"empty closed", [&] { t.EmptyTable(); },
         "Tsite: Cannot perform this operation on a closed dataset"},
        {"table not found", [&] { missing.Open(); }, "Tnope: Table 'nope' not found"},
    };
    for (const Case& c : closed) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(ErrorOf(c.operation), c.message);
    }
    EXPECT_FALSE(missing.Active());
    t.Open();
    const std::vector<Case> open = {
        {"post in browse", [&] { t.Post(); }, "Tsite: Dataset not in edit or insert mode"},
        {"delete on empty", [&] { t.Delete(); },
         "Tsite: Cannot perform this operation on an empty dataset"},
        {"table name while open", [&] { t.SetTableName("plain"); },
         "Tsite: Cannot perform this operation on an open dataset"},
        {"medium while open", [&] { t.SetMediumType(mtMemory); },
         "Tsite: Cannot perform this operation on an open dataset"},
    };
    for (const Case& c : open) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(ErrorOf(c.operation), c.message);
    }
    EXPECT_TRUE(t.Active());
}

// The main window sets a table's database name before its table name; the same name given
// again to an open table must not take the names away from the table it is open on.
TEST_F(TableOps, DatabaseNameClearsTheTableNameOnlyOfAClosedTable) {
    TVeskTable& t = Opened("site", "byname");
    AddSites(t, {"b", "a"});
    EXPECT_EQ(ErrorOf([&] { t.SetDatabaseName("other"); }),
              "Tsite: Cannot perform this operation on an open dataset");
    t.SetDatabaseName("fx");
    EXPECT_EQ(t.TableName(), "site");
    EXPECT_EQ(t.IndexName(), "byname");
    t.Close();
    t.Open();
    EXPECT_EQ(t.FieldByName("name").AsString(), "a");
    t.Close();
    t.SetDatabaseName("fx");
    EXPECT_EQ(t.TableName(), "");
    EXPECT_EQ(t.IndexName(), "");
}

// Changing the order posts a pending row first; when that post fails, the table keeps the
// order it had and the name of it.
TEST_F(TableOps, OrderChangeWhosePendingPostFailsKeepsTheOrder) {
    TVeskTable& t = Opened("site", "byname");
    AddSites(t, {"c", "a", "b"});
    for (const char* next : {"", "byport"}) {
        SCOPED_TRACE(next);
        t.Append();
        t.FieldByName("name").SetAsString("a");
        EXPECT_EQ(ErrorOf([&] { t.SetIndexName(next); }), "Invalid unique field value 'a'");
        EXPECT_EQ(t.State(), TDataSetState::dsInsert);
        EXPECT_EQ(t.IndexName(), "byname");
        EXPECT_EQ(t.CurrentIndex(), 1);
        t.FieldByName("name").SetAsString("d");
        t.Post();
        t.Delete();
        EXPECT_EQ(Column(t, "name"), (std::vector<std::string>{"a", "b", "c"}));
    }
    t.SetIndexName("");
    EXPECT_EQ(Column(t, "name"), (std::vector<std::string>{"c", "a", "b"}));
}

// A closed table's medium is passed on to its database; a connected database refuses it, and
// then the table keeps its own medium too.
TEST_F(TableOps, MediumRefusedByTheConnectedDatabaseStaysUnchanged) {
    TVeskTable& t = Table("site");
    EXPECT_EQ(ErrorOf([&] { t.SetMediumType(mtMemory); }),
              "VeskDatabase1: Cannot perform this operation on an open database");
    EXPECT_EQ(t.MediumType(), mtDisk);
    database_->Close();
    t.SetMediumType(mtMemory);
    EXPECT_EQ(t.MediumType(), mtMemory);
    EXPECT_EQ(database_->MediumType(), mtMemory);
}

TEST_F(TableOps, ReadOnlyRefusesEveryChange) {
    TVeskTable& t = Opened("site");
    AddSites(t, {"a"});
    t.SetReadOnly(true);
    const std::string refused = "Tsite: Cannot modify a read-only dataset";
    EXPECT_EQ(ErrorOf([&] { t.Edit(); }), refused);
    EXPECT_EQ(ErrorOf([&] { t.Append(); }), refused);
    EXPECT_EQ(ErrorOf([&] { t.Insert(); }), refused);
    EXPECT_EQ(ErrorOf([&] { t.Delete(); }), refused);
    EXPECT_EQ(ErrorOf([&] { t.EmptyTable(); }), refused);
    EXPECT_EQ(t.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(t.RecordCount(), 1);
    t.SetReadOnly(false);
    t.Delete();
    EXPECT_EQ(t.RecordCount(), 0);
    AddSites(t, {"b"});
    // A file without write bits is read-only for every component on it.
    t.Close();
    database_->Close();
    std::filesystem::permissions(path_, std::filesystem::perms::owner_read |
                                            std::filesystem::perms::group_read |
                                            std::filesystem::perms::others_read);
    database_->Open();
    t.Open();
    EXPECT_FALSE(t.CanModify());
    EXPECT_EQ(ErrorOf([&] { t.Append(); }), refused);
    EXPECT_EQ(ErrorOf([&] { t.Delete(); }), refused);
    EXPECT_EQ(t.FieldByName("name").AsString(), "b");
}

TEST_F(TableOps, MovesSetEofAndBof) {
    TVeskTable& t = Opened("site");
    EXPECT_TRUE(t.Eof());
    EXPECT_TRUE(t.Bof());
    EXPECT_EQ(t.RecNo(), 0);
    AddSites(t, {"a", "b", "c"});
    t.First();
    EXPECT_TRUE(t.Bof());
    EXPECT_FALSE(t.Eof());
    t.Next();
    EXPECT_FALSE(t.Bof());
    EXPECT_EQ(t.RecNo(), 2);
    t.Next();
    t.Next();  // at the last row: Eof, the row stays
    EXPECT_TRUE(t.Eof());
    EXPECT_EQ(t.FieldByName("name").AsString(), "c");
    t.Next();
    EXPECT_EQ(t.FieldByName("name").AsString(), "c");
    t.Prior();
    EXPECT_FALSE(t.Eof());
    EXPECT_EQ(t.FieldByName("name").AsString(), "b");
    t.Last();
    EXPECT_TRUE(t.Eof());
    EXPECT_FALSE(t.Bof());
    EXPECT_EQ(t.FieldByName("name").AsString(), "c");
    t.SetRecNo(0);  // before the first row: the first row becomes current
    EXPECT_EQ(t.FieldByName("name").AsString(), "a");
    t.SetRecNo(3);
    EXPECT_EQ(t.FieldByName("name").AsString(), "c");
    t.SetRecNo(4);
    t.SetRecNo(-1);
    EXPECT_EQ(t.RecNo(), 3);
    const std::int32_t mark = t.GetBookmark();
    t.First();
    t.GotoBookmark(mark);
    EXPECT_EQ(t.FieldByName("name").AsString(), "c");
    t.Delete();
    EXPECT_EQ(ErrorOf([&] { t.GotoBookmark(mark); }), "Bookmark not found");
}

TEST_F(TableOps, CloseNeverPostsAndMovesPostOnlyModifiedRows) {
    TVeskTable& t = Opened("site");
    AddSites(t, {"a", "b"});
    t.First();
    t.Edit();
    t.FieldByName("name").SetAsString("changed");
    t.Close();
    t.Open();
    EXPECT_EQ(t.FieldByName("name").AsString(), "a");
    t.Edit();
    t.FieldByName("name").SetAsString("moved");
    t.Next();  // a move posts a modified row
    EXPECT_EQ(t.FieldByName("name").AsString(), "b");
    t.Edit();
    t.Next();  // an untouched edit is cancelled
    t.Append();
    t.Append();  // an untouched new row is dropped by the next one
    t.FieldByName("name").SetAsString("c");
    t.Post();
    EXPECT_EQ(Column(t, "name"), (std::vector<std::string>{"moved", "b", "c"}));
}

TEST_F(TableOps, EmptyTableRestartsTheKeys) {
    TVeskTable& t = Opened("site");
    AddSites(t, {"a", "b", "c"});
    t.EmptyTable();
    EXPECT_EQ(t.RecordCount(), 0);
    EXPECT_TRUE(t.Eof());
    EXPECT_TRUE(t.Bof());
    EXPECT_EQ(AddSites(t, {"n"}), std::vector<std::int32_t>{1});
    Reconnect();
    EXPECT_EQ(Column(Opened("site"), "name"), std::vector<std::string>{"n"});
}

TEST_F(TableOps, IndexOrdersAndDefinitions) {
    TVeskTable& t = Opened("site");
    AddSites(t, {"c", "a", "b"});
    EXPECT_EQ(t.CurrentIndex(), 0);  // the primary index
    ASSERT_EQ(t.IndexDefs().Count(), 3);
    EXPECT_EQ(t.IndexDefs().Items(1).Name, "byname");
    EXPECT_EQ(t.IndexDefs().Items(1).Fields, "name");
    EXPECT_EQ(t.IndexDefs().Items(0).Options, (TIndexOptions{true, true, false, false}));
    t.SetIndexName("BYNAME");
    EXPECT_EQ(t.FieldByName("name").AsString(), "a");
    EXPECT_EQ(Column(t, "name"), (std::vector<std::string>{"a", "b", "c"}));
    t.SetIndexName("unknown");
    EXPECT_EQ(t.CurrentIndex(), 0);
    EXPECT_EQ(Column(t, "name"), (std::vector<std::string>{"c", "a", "b"}));
    // An edited row moves to its new place in the index and stays current.
    t.SetIndexName("byname");
    t.First();
    t.Edit();
    t.FieldByName("name").SetAsString("z");
    t.Post();
    EXPECT_EQ(t.FieldByName("name").AsString(), "z");
    EXPECT_EQ(t.RecNo(), 3);
    EXPECT_EQ(QuoteFieldName("a b"), "\"a b\"");
    t.Close();
    t.SetDatabaseName("other");
    EXPECT_EQ(t.TableName(), "");
    EXPECT_EQ(t.IndexName(), "");
}

TEST_F(TableOps, EventsInOrderAndPostErrorActions) {
    TVeskTable& t = Table("site", "byname");
    std::vector<std::string> events;
    auto record = [&events](const char* name) {
        return [&events, name](TTDEDataSet&) { events.push_back(name); };
    };
    t.BeforeOpen = record("BeforeOpen");
    t.AfterOpen = record("AfterOpen");
    t.BeforeInsert = record("BeforeInsert");
    t.OnNewRecord = record("OnNewRecord");
    t.AfterInsert = record("AfterInsert");
    t.BeforePost = record("BeforePost");
    t.AfterPost = record("AfterPost");
    t.BeforeDelete = record("BeforeDelete");
    t.AfterDelete = record("AfterDelete");
    t.BeforeClose = record("BeforeClose");
    t.AfterClose = record("AfterClose");
    t.Open();
    AddSites(t, {"a"});
    t.Delete();
    t.Close();
    EXPECT_EQ(events,
              (std::vector<std::string>{"BeforeOpen", "AfterOpen", "BeforeInsert", "OnNewRecord",
                                        "AfterInsert", "BeforePost", "AfterPost", "BeforeDelete",
                                        "AfterDelete", "BeforeClose", "AfterClose"}));
    t.Open();
    AddSites(t, {"dup"});
    int calls = 0;
    t.OnPostError = [&calls](TTDEDataSet& ds, const EDatabaseError&, TDataAction& action) {
        // The first failure is fixed and retried; the retry then succeeds.
        ++calls;
        ds.FieldByName("name").SetAsString("fixed");
        action = TDataAction::daRetry;
    };
    t.Append();
    t.FieldByName("name").SetAsString("dup");
    t.Post();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(t.FieldByName("name").AsString(), "fixed");
    t.OnPostError = [](TTDEDataSet&, const EDatabaseError&, TDataAction& action) {
        action = TDataAction::daAbort;
    };
    t.Append();
    t.FieldByName("name").SetAsString("dup");
    EXPECT_THROW(t.Post(), EAbort);
    EXPECT_EQ(t.State(), TDataSetState::dsInsert);
}

// An edit starts from the row as stored, so a component that edits a row another component
// changed since keeps that change.
TEST_F(TableOps, EditOfARowAnotherComponentChangedKeepsTheChange) {
    TVeskTable& a = Opened("site");
    AddSites(a, {"x"});
    TVeskTable& b = Opened("site");
    b.Edit();
    b.FieldByName("port").SetAsInteger(99);
    b.Post();
    a.Edit();
    EXPECT_EQ(a.FieldByName("port").AsInteger(), 99);
    a.FieldByName("pasv").SetAsBoolean(true);
    a.Post();
    Reconnect();
    TVeskTable& again = Opened("site");
    EXPECT_EQ(again.FieldByName("port").AsInteger(), 99);
    EXPECT_TRUE(again.FieldByName("pasv").AsBoolean());
}

TEST_F(TableOps, TwoComponentsOnOneTablePlaceRowsByEntry) {
    TVeskTable& a = Opened("site", "byname");
    AddSites(a, {"b", "d"});
    auto second = std::make_unique<TVeskTable>("Tsite2");
    second->SetDatabaseName("fx");
    second->SetTableName("site");
    second->SetIndexName("byname");
    second->Open();
    TVeskTable& b = *second;
    AddSites(a, {"c"});  // b does not see it until it reloads its order
    EXPECT_EQ(b.RecordCount(), 2);
    // b's own append is placed in b's list by its key.
    AddSites(b, {"a"});
    EXPECT_EQ(Column(b, "name"), (std::vector<std::string>{"a", "b", "d"}));
    ASSERT_TRUE(b.Locate("name", "d"));
    b.Delete();  // deletes d, not the row a added at that position
    EXPECT_EQ(Column(b, "name"), (std::vector<std::string>{"a", "b"}));
    // a deletes b's current row; b must not act on another row in its place.
    ASSERT_TRUE(b.Locate("name", "b"));
    ASSERT_TRUE(a.Locate("name", "b"));
    a.Delete();
    EXPECT_EQ(ErrorOf([&] { b.Delete(); }), "Tsite2: Record not found");
    b.SetIndexName("byname");  // reload: now b sees the table as it is
    EXPECT_EQ(Column(b, "name"), (std::vector<std::string>{"a", "c"}));
    second.reset();
    Reconnect();
    EXPECT_EQ(Column(Opened("site", "byname"), "name"), (std::vector<std::string>{"a", "c"}));
}

TEST_F(TableOps, FilterHooks) {
    TVeskTable& t = Opened("site");
    AddSites(t, {"a", "b", "c"});
    t.OnFilterRecord = [](TTDEDataSet& ds, bool& accept) {
        accept = ds.FieldByName("name").AsString() != "b";
    };
    EXPECT_TRUE(t.FindFirst());
    EXPECT_TRUE(t.FindNext());
    EXPECT_EQ(t.FieldByName("name").AsString(), "c");
    EXPECT_FALSE(t.FindNext());  // nothing further: stays on the last row
    EXPECT_EQ(t.FieldByName("name").AsString(), "c");
    t.SetFiltered(true);
    EXPECT_EQ(Column(t, "name"), (std::vector<std::string>{"a", "c"}));
    t.SetFiltered(false);
    EXPECT_EQ(t.RecordCount(), 3);
    t.OnFilterRecord = nullptr;
    t.SetFilter("");  // an empty filter lets every row pass
    t.SetFiltered(true);
    EXPECT_EQ(t.RecordCount(), 3);
    t.SetFilter("name = 'a'");
    EXPECT_EQ(Column(t, "name"), (std::vector<std::string>{"a"}));
    EXPECT_THROW(t.SetFilter("name = "), EDatabaseError);  // refused before anything changes
    EXPECT_EQ(t.Filter(), "name = 'a'");
    t.SetFilter("");
    // A filter test that raises leaves the filter state again; the table stays usable.
    t.SetFiltered(false);
    t.OnFilterRecord = [](TTDEDataSet&, bool&) { throw EDatabaseError("refused"); };
    t.Last();
    EXPECT_THROW(t.FindFirst(), EDatabaseError);
    EXPECT_EQ(t.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(t.FieldByName("name").AsString(), "c");
    EXPECT_THROW(t.SetFiltered(true), EDatabaseError);
    EXPECT_EQ(t.State(), TDataSetState::dsBrowse);
    t.OnFilterRecord = nullptr;
    t.Close();
    t.OnFilterRecord = [](TTDEDataSet&, bool&) { throw EDatabaseError("refused"); };
    t.SetFiltered(true);
    EXPECT_THROW(t.Open(), EDatabaseError);
    EXPECT_FALSE(t.Active());
}

}  // namespace
}  // namespace vesk::testing

namespace vesk::testing {
namespace {

TEST_F(TableOps, RecordBufferLayoutFollowsTheFields) {
    struct Case {
        const char* table;
        std::vector<std::int32_t> offsets;
    };
    const std::int32_t stream = static_cast<std::int32_t>(sizeof(void*));
    for (const Case& c : std::vector<Case>{{"plain", {0, 11}},
                                           {"site", {0, 4, 25, 29, 31, 33}},
                                           {"notes", {0, 4, 4 + stream, 8 + stream}}}) {
        SCOPED_TRACE(c.table);
        TVeskTable& t = Opened(c.table);
        std::vector<std::int32_t> offsets;
        for (std::int32_t i = 0; i < t.Fields().Count(); ++i)
            offsets.push_back(t.GetFieldOffset(t.Fields().Fields(i).FieldNo()));
        EXPECT_EQ(offsets, c.offsets);
        t.Close();
    }
}

}  // namespace
}  // namespace vesk::testing
