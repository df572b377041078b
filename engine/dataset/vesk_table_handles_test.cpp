// Table components of a database handle that fell behind another handle of the same file: after
// the other one emptied the table and appended rows under the same entry numbers, their edits
// and deletes of the rows they still show find those rows gone, and never reach the new ones.
#include <gtest/gtest.h>

#include <functional>

#include "engine/dataset/dataset_test_support.h"

namespace vesk::testing {
namespace {

class HandleBehindAnEmpty : public TableFixture {};

void ExpectRecordNotFound(const std::function<void()>& write, const char* what) {
    try {
        write();
        ADD_FAILURE() << what << " went through";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("Record not found"), std::string::npos)
            << what << ": " << e.what();
    }
}

TEST_F(HandleBehindAnEmpty, EditsAndDeletesOfRowsItStillShowsFindThemGone) {
    TVeskTable& first = Opened("site");
    AddSites(first, {"alpha", "bravo", "charlie"});
    // A second component of the same handle, whose order is taken now.
    TVeskTable& second = Opened("site", "byname");

    TVeskDatabase other(nullptr, "Other");
    other.SetDatabaseName("fx2");
    other.SetFileName(path_);
    other.Open();
    TVeskTable otherSites("Tother");
    otherSites.SetDatabaseName("fx2");
    otherSites.SetTableName("site");
    otherSites.Open();
    otherSites.EmptyTable();
    AddSites(otherSites, {"x-ray", "yankee", "zulu"});

    // The first component's write reads the table again and finds its row's entry taken.
    first.First();
    first.Edit();
    first.FieldByName("name").SetAsString("changed by first");
    ExpectRecordNotFound([&] { first.Post(); }, "the first component's post");
    first.Cancel();
    // The second one's order still names the old rows, now that the storage holds the new ones.
    second.Last();
    second.Edit();
    second.FieldByName("name").SetAsString("changed by second");
    ExpectRecordNotFound([&] { second.Post(); }, "the second component's post");
    second.Cancel();
    second.First();
    ExpectRecordNotFound([&] { second.Delete(); }, "the second component's delete");

    otherSites.Close();
    otherSites.Open();
    EXPECT_EQ(Column(otherSites, "name"), (std::vector<std::string>{"x-ray", "yankee", "zulu"}));
    otherSites.Close();
    other.Close();
}

}  // namespace
}  // namespace vesk::testing
