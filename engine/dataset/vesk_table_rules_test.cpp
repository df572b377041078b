// The caller patterns the program relies on, each checked again after close, disconnect and
// reopen from disk.
#include <gtest/gtest.h>

#include "engine/dataset/dataset_test_support.h"

namespace vesk::testing {
namespace {

enum class Start { Append, Insert, Edit, EditThenAppend };

struct NewRowCase {
    const char* label;
    const char* table;  // "plain": physical order; "site" with "byname": index order
    const char* index;
    Start start;
    bool prefilled;
    const char* currentAfterPost;
    std::vector<std::string> storedInOrder;
};

class NewRowRules : public TableFixture, public ::testing::WithParamInterface<NewRowCase> {};

TEST_P(NewRowRules, RowPlacedAndKeptAfterReopen) {
    const NewRowCase& c = GetParam();
    const bool site = std::string(c.table) == "site";
    {
        TVeskTable& t = Opened(c.table, c.index);
        if (c.prefilled)
            for (const char* name : {"b", "c", "d"}) {
                t.Append();
                t.FieldByName("name").SetAsString(name);
                t.Post();
            }
        t.Close();
    }
    TVeskTable& t = Opened(c.table, c.index);
    switch (c.start) {
        case Start::Append:
            t.Append();
            break;
        case Start::Insert:
            t.Insert();
            break;
        case Start::Edit:
            t.Edit();
            break;
        case Start::EditThenAppend:
            t.Edit();
            t.Append();
            break;
    }
    ASSERT_NE(t.State(), TDataSetState::dsBrowse);
    t.FieldByName("name").SetAsString("a");
    t.Post();
    EXPECT_EQ(t.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(t.FieldByName("name").AsString(), c.currentAfterPost);
    EXPECT_FALSE(t.Eof());
    EXPECT_FALSE(t.Bof());
    if (site && std::string(c.currentAfterPost) == "a") {
        // The engine's key is in the row as soon as the post returns.
        const bool edited = c.start == Start::Edit && c.prefilled;
        EXPECT_EQ(t.FieldByName("id").AsInteger(), edited ? 1 : (c.prefilled ? 4 : 1));
    }
    EXPECT_EQ(Column(t, "name"), c.storedInOrder);
    t.Close();
    Reconnect();
    TVeskTable& again = Opened(c.table, c.index);
    EXPECT_EQ(Column(again, "name"), c.storedInOrder);
}

const std::vector<std::string> kAppended = {"b", "c", "d", "a"};
const std::vector<std::string> kSorted = {"a", "b", "c", "d"};

INSTANTIATE_TEST_SUITE_P(
    Matrix, NewRowRules,
    ::testing::Values(
        NewRowCase{"PhysicalAppendEmpty", "plain", "", Start::Append, false, "a", {"a"}},
        NewRowCase{"PhysicalAppendFilled", "plain", "", Start::Append, true, "a", kAppended},
        NewRowCase{"PhysicalInsertEmpty", "plain", "", Start::Insert, false, "a", {"a"}},
        // Begun with Insert in a non-empty table: stored last, the old current row stays.
        NewRowCase{"PhysicalInsertFilled", "plain", "", Start::Insert, true, "b", kAppended},
        NewRowCase{"PhysicalEditEmpty", "plain", "", Start::Edit, false, "a", {"a"}},
        NewRowCase{"PhysicalEditFilled", "plain", "", Start::Edit, true, "a", {"a", "c", "d"}},
        NewRowCase{
            "PhysicalEditAppendEmpty", "plain", "", Start::EditThenAppend, false, "a", {"a"}},
        NewRowCase{"PhysicalEditAppendFilled", "plain", "", Start::EditThenAppend, true, "a",
                   kAppended},
        NewRowCase{"IndexAppendEmpty", "site", "byname", Start::Append, false, "a", {"a"}},
        NewRowCase{"IndexAppendFilled", "site", "byname", Start::Append, true, "a", kSorted},
        NewRowCase{"IndexInsertEmpty", "site", "byname", Start::Insert, false, "a", {"a"}},
        NewRowCase{"IndexInsertFilled", "site", "byname", Start::Insert, true, "a", kSorted},
        NewRowCase{"IndexEditEmpty", "site", "byname", Start::Edit, false, "a", {"a"}},
        NewRowCase{"IndexEditFilled", "site", "byname", Start::Edit, true, "a", {"a", "c", "d"}},
        NewRowCase{
            "IndexEditAppendEmpty", "site", "byname", Start::EditThenAppend, false, "a", {"a"}},
        NewRowCase{"IndexEditAppendFilled", "site", "byname", Start::EditThenAppend, true, "a",
                   kSorted}),
    [](const auto& info) { return std::string(info.param.label); });

struct DeleteLoopCase {
    const char* label;
    const char* index;  // "" on "plain": physical order
    std::vector<std::string> rows;
    std::vector<std::string> kept;
};

class DeleteLoops : public TableFixture, public ::testing::WithParamInterface<DeleteLoopCase> {};

// The scan-and-delete loop of the program: delete a matching row (the next row becomes
// current) or move on.
TEST_P(DeleteLoops, AdjacentMatchesAndTheLastRow) {
    const DeleteLoopCase& c = GetParam();
    const std::string table = std::string(c.index).empty() ? "plain" : "site";
    TVeskTable& t = Opened(table, c.index);
    std::int32_t num = 0;
    for (const std::string& name : c.rows) {
        t.Append();
        t.FieldByName("name").SetAsString(table == "site" ? name + std::to_string(num) : name);
        t.FieldByName(table == "site" ? "port" : "num").SetAsInteger(name == "del" ? 1 : 0);
        ++num;
        t.Post();
    }
    const char* flag = table == "site" ? "port" : "num";
    t.First();
    std::int32_t steps = 0;
    while (!t.Eof() && steps++ < 100) {
        if (t.FieldByName(flag).AsInteger() == 1)
            t.Delete();
        else
            t.Next();
    }
    EXPECT_TRUE(t.Eof());
    std::vector<std::string> kept;
    for (const std::string& name : Column(t, "name"))
        kept.push_back(table == "site" ? name.substr(0, name.size() - 1) : name);
    EXPECT_EQ(kept, c.kept);
    EXPECT_EQ(t.RecordCount(), static_cast<std::int32_t>(c.kept.size()));
    if (c.kept.empty()) {
        EXPECT_TRUE(t.Bof());
        EXPECT_TRUE(t.IsEmpty());
    }
    Reconnect();
    TVeskTable& again = Opened(table, c.index);
    EXPECT_EQ(again.RecordCount(), static_cast<std::int32_t>(c.kept.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Loops, DeleteLoops,
    ::testing::Values(
        DeleteLoopCase{"PhysicalAdjacentAndLast", "", {"x", "del", "del", "y", "del"}, {"x", "y"}},
        DeleteLoopCase{"PhysicalAll", "", {"del", "del", "del"}, {}},
        DeleteLoopCase{"PhysicalFirstOnly", "", {"del", "x", "y"}, {"x", "y"}},
        DeleteLoopCase{
            "IndexAdjacentAndLast", "pk", {"x", "del", "del", "y", "del", "del"}, {"x", "y"}},
        DeleteLoopCase{"IndexAll", "pk", {"del", "del"}, {}}),
    [](const auto& info) { return std::string(info.param.label); });

using DeleteRules = TableFixture;

TEST_F(DeleteRules, FollowingRowOrNewLastRowBecomesCurrent) {
    TVeskTable& t = Opened("plain");
    for (const char* name : {"a", "b", "c"}) {
        t.Append();
        t.FieldByName("name").SetAsString(name);
        t.Post();
    }
    t.First();
    t.Next();
    t.Delete();  // b: c follows
    EXPECT_EQ(t.FieldByName("name").AsString(), "c");
    EXPECT_FALSE(t.Eof());
    EXPECT_FALSE(t.Bof());
    t.Delete();  // c was last: a is the new last row
    EXPECT_EQ(t.FieldByName("name").AsString(), "a");
    EXPECT_FALSE(t.Eof());
    t.Delete();
    EXPECT_TRUE(t.Eof());
    EXPECT_TRUE(t.Bof());
    EXPECT_EQ(t.FieldByName("name").AsString(), "");
    EXPECT_THROW(t.Delete(), EDatabaseError);
}

TEST_F(DeleteRules, LocateAndDeleteUntilNoneIsLeft) {
    TVeskTable& t = Opened("site");
    AddSites(t, {"k1", "k2", "k3"});
    t.First();
    t.Edit();
    t.FieldByName("port").SetAsInteger(7);
    t.Post();
    t.Last();
    t.Edit();
    t.FieldByName("port").SetAsInteger(7);
    t.Post();
    int deleted = 0;
    while (t.Locate("port", 7) && deleted < 10) {
        t.Delete();
        ++deleted;
    }
    EXPECT_EQ(deleted, 2);
    Reconnect();
    EXPECT_EQ(Column(Opened("site"), "name"), std::vector<std::string>{"k2"});
}

struct LocateCase {
    const char* label;
    const char* table;
    const char* index;
    std::vector<std::string> rows;
    const char* keyField;
    TKeyValue key;
    TLocateOptions options;
    int expectedRecNo;  // 0: not found
};

class LocateRules : public TableFixture, public ::testing::WithParamInterface<LocateCase> {};

TEST_P(LocateRules, FindsByIndexOrScan) {
    const LocateCase& c = GetParam();
    TVeskTable& t = Opened(c.table, c.index);
    const bool site = std::string(c.table) == "site";
    std::int32_t port = 0;
    for (const std::string& name : c.rows) {
        t.Append();
        t.FieldByName("name").SetAsString(site ? name + std::to_string(port) : name);
        if (site)
            t.FieldByName("port").SetAsInteger(std::stoi(name));
        ++port;
        t.Post();
    }
    for (int pass = 0; pass < 2; ++pass) {
        // Run to the end first: a miss must leave Eof and the current row as they were.
        t.First();
        while (!t.Eof())
            t.Next();
        const std::int32_t before = t.RecNo();
        const bool found = t.Locate(c.keyField, c.key, c.options);
        EXPECT_EQ(found, c.expectedRecNo != 0);
        if (found) {
            EXPECT_EQ(t.RecNo(), c.expectedRecNo);
            EXPECT_FALSE(t.Eof());
            EXPECT_FALSE(t.Bof());
        } else {
            EXPECT_EQ(t.RecNo(), before);
            EXPECT_TRUE(t.Eof());
        }
        EXPECT_EQ(t.State(), TDataSetState::dsBrowse);
        t.Close();
        Reconnect();
        t.Open();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LocateRules,
    ::testing::Values(
        // No index on the field: the first exact, case-sensitive match in the current order.
        LocateCase{"ScanCaseSensitive", "plain", "", {"ABC", "abc"}, "name", "abc", {}, 2},
        LocateCase{
            "ScanCaseInsensitive", "plain", "", {"ABC", "abc"}, "name", "abc", {true, false}, 1},
        LocateCase{"ScanMissing", "plain", "", {"ABC", "abc"}, "name", "ab", {}, 0},
        LocateCase{"ScanInteger", "plain", "", {"a", "b"}, "num", 0, {}, 1},
        // A key longer than the field (10) matches nothing, also not its first 10 bytes.
        LocateCase{"ScanKeyTooLong", "plain", "", {"abcdefghij"}, "name", "abcdefghijk", {}, 0},
        LocateCase{"ScanPartialKeyTooLong",
                   "plain",
                   "",
                   {"abcdefghij"},
                   "name",
                   "abcdefghijk",
                   {false, true},
                   0},
        LocateCase{"IndexKeyTooLong",
                   "ci",
                   "byname",
                   {"abcdefghij"},
                   "name",
                   "ABCDEFGHIJK",
                   {true, false},
                   0},
        LocateCase{"IndexKeyOfTheFieldsSize",
                   "ci",
                   "byname",
                   {"x", "abcdefghij"},
                   "name",
                   "ABCDEFGHIJ",
                   {true, false},
                   1},
        // The only index ignores case: a case-sensitive search scans instead.
        LocateCase{"CaseInsensitiveIndexNotUsed", "ci", "", {"ABC", "abc"}, "name", "abc", {}, 2},
        LocateCase{"CaseInsensitiveIndexUsed",
                   "ci",
                   "byname",
                   {"abc", "ABC"},
                   "name",
                   "ABC",
                   {true, false},
                   1},
        // Equal keys in a non-unique index: the row the bisection meets first.
        LocateCase{
            "IndexEqualKeys", "site", "byport", {"10", "20", "20", "20", "30"}, "port", 20, {}, 3},
        LocateCase{"IndexMissing", "site", "byport", {"10", "20", "30"}, "port", 25, {}, 0},
        LocateCase{"IndexInOtherOrder", "site", "pk", {"30", "10", "20"}, "port", 10, {}, 2}),
    [](const auto& info) { return std::string(info.param.label); });

using LocateMore = TableFixture;

TEST_F(LocateMore, SeveralKeyFieldsAndErrorsLeaveBrowseState) {
    TVeskTable& t = Opened("site");
    AddSites(t, {"a", "b", "c"});
    EXPECT_TRUE(t.Locate("name;port", std::vector<TKeyValue>{"b", 22}));
    EXPECT_EQ(t.FieldByName("id").AsInteger(), 2);
    EXPECT_FALSE(t.Locate("name;port", std::vector<TKeyValue>{"b", 21}));
    EXPECT_EQ(t.FieldByName("id").AsInteger(), 2);
    try {
        t.Locate("name;nope", std::vector<TKeyValue>{"b", 1});
        ADD_FAILURE();
    } catch (const EDatabaseError& e) {
        EXPECT_STREQ(e.what(), "Tsite: Field 'nope' not found");
    }
    EXPECT_THROW(t.Locate("port", "x"), EDatabaseError);
    // The scratch state is left again: the table is usable.
    EXPECT_EQ(t.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(t.FieldByName("name").AsString(), "b");
    t.Edit();
    t.FieldByName("port").SetAsInteger(99);
    t.Post();
    EXPECT_TRUE(t.Locate("port", 99));
    const auto found = t.Lookup("name", {"c"}, "id;port;pasv");
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(*found, (std::vector<TKeyValue>{std::int64_t{3}, std::int64_t{23}, false}));
    EXPECT_EQ(t.FieldByName("name").AsString(), "b");  // Lookup does not move
    EXPECT_FALSE(t.Lookup("name", {"zz"}, "id").has_value());
}

using DuplicateKey = TableFixture;

TEST_F(DuplicateKey, RowStaysInInsertStateThenPostsOnce) {
    TVeskTable& t = Opened("site", "byname");
    AddSites(t, {"alpha"});
    t.Append();
    t.FieldByName("name").SetAsString("alpha");
    t.FieldByName("port").SetAsInteger(990);
    try {
        t.Post();
        ADD_FAILURE() << "duplicate posted";
    } catch (const EDatabaseError& e) {
        EXPECT_STREQ(e.what(), "Invalid unique field value 'alpha'");
    }
    EXPECT_EQ(t.State(), TDataSetState::dsInsert);
    EXPECT_EQ(t.FieldByName("name").AsString(), "alpha");
    EXPECT_EQ(t.FieldByName("port").AsInteger(), 990);
    EXPECT_EQ(t.RecordCount(), 1);
    t.FieldByName("name").SetAsString("beta");
    t.Post();
    EXPECT_EQ(t.FieldByName("id").AsInteger(), 2);
    EXPECT_EQ(t.FieldByName("port").AsInteger(), 990);
    Reconnect();
    TVeskTable& again = Opened("site", "byname");
    EXPECT_EQ(Column(again, "name"), (std::vector<std::string>{"alpha", "beta"}));
    EXPECT_EQ(Column(again, "id"), (std::vector<std::string>{"1", "2"}));
}

TEST_F(DuplicateKey, EditedDuplicateCanBeCancelled) {
    TVeskTable& t = Opened("site", "byname");
    AddSites(t, {"a", "b"});
    t.First();
    t.Edit();
    t.FieldByName("name").SetAsString("b");
    EXPECT_THROW(t.Post(), EDatabaseError);
    EXPECT_EQ(t.State(), TDataSetState::dsEdit);
    t.Cancel();
    EXPECT_EQ(Column(t, "name"), (std::vector<std::string>{"a", "b"}));
}

}  // namespace
}  // namespace vesk::testing
