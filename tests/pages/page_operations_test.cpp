// Rename, delete and make folder on a page against pyftpdlib: the name check's messages, the
// row that keeps its place, the confirmation questions, deleting exactly the selected entries
// and whole folder trees.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "connection/page_session.h"
#include "platform/ui/list_view.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/owner_data_model.h"
#include "platform/ui/testing/gtest_failure.h"
#include "platform/ui/testing/qt_test_environment.h"
#include "platform/ui/testing/scripted_ui.h"
#include "tests/ftp_servers/server_fixture.h"
#include "tests/pages/listing_page_rig.h"

namespace pagetest {
namespace {

namespace fs = std::filesystem;

const char* const kCharacterMessage =
    "The following characters can not be contained in the name of files: \\/:*?\"<>|";

std::string Taken(const std::string& name) {
    return "The name " + name + " was existed, please re-enter.";
}

std::vector<std::string> MessageTexts(const ui::ScriptedUi& boxes) {
    std::vector<std::string> texts;
    for (const ui::UiCall& call : boxes.Calls()) {
        if (call.service == ui::UiService::kMessage)
            texts.push_back(call.text);
    }
    return texts;
}

class PageOperations : public ::testing::Test {
  protected:
    PageOperations() : server_("alice", "secret"), root_(server_.account().local_folder) {}

    void Touch(const std::string& path) { std::ofstream(root_ + path) << "x"; }
    bool Exists(const std::string& path) const { return fs::exists(root_ + path); }
    // The names in the served folder `folder`, sorted.
    std::vector<std::string> OnDisk(const std::string& folder = "") const {
        std::vector<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(root_ + folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    ftptest::PyftpdlibServer server_;
    const std::string root_;
};

// Each refusal shows its messages and keeps the caption; an accepted name is renamed on the
// server and in both lists, in the row it had; a name the server refuses changes nothing.
TEST_F(PageOperations, RenameChecksTheNameAndKeepsTheRowInPlace) {
    for (const char* name : {"a.txt", "b.txt", "c.txt", "x:y.txt"})
        Touch(name);
    ListingPage rig(server_.account(), false);
    rig.Connect();
    Tfb& page = rig.page();
    const struct {
        std::string typed;
        std::vector<std::string> messages;
        bool renamed;
    } cases[] = {
        {"a.txt", {Taken("a.txt")}, false},  // unchanged
        {"new:name", {kCharacterMessage}, false},
        {"b.txt", {Taken("b.txt")}, false},
        {"x:y.txt", {kCharacterMessage, Taken("x:y.txt")}, false},
        {"", {}, false},  // RNTO without a name: the server refuses it
        {"renamed.txt", {}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("\"" + c.typed + "\"");
        const std::vector<std::string> before = rig.Names();
        const int row = rig.RowOf("a.txt");
        ASSERT_GE(row, 0);
        ui::ScriptedUi boxes(ui::GtestFailure());
        for (std::size_t i = 0; i < c.messages.size(); ++i)
            boxes.AnswerMessage(ui::mrOk);
        page.ListView2->Select(row);
        rig.ClearSent();
        std::string caption = c.typed;
        page.ListView2Edited(row, caption);
        EXPECT_EQ(MessageTexts(boxes), c.messages);
        if (!c.renamed) {
            EXPECT_EQ(caption, "a.txt");
            EXPECT_EQ(rig.Names(), before);
            EXPECT_TRUE(Exists("a.txt"));
            EXPECT_EQ(rig.SentWithPrefix("RNFR"), c.messages.empty() ? 1 : 0);
            continue;
        }
        EXPECT_EQ(caption, "renamed.txt");
        std::vector<std::string> expected = before;
        expected[static_cast<std::size_t>(row)] = "renamed.txt";
        EXPECT_EQ(rig.Names(), expected);  // not sorted again
        EXPECT_EQ(page.RemoteItems->Item(row).caption, "renamed.txt");
        EXPECT_FALSE(Exists("a.txt"));
        EXPECT_TRUE(Exists("renamed.txt"));
        const auto cached = std::find_if(
            page.FDirCache.begin(), page.FDirCache.end(),
            [](const rdatalist& e) { return e.folder == "/" && e.name == "renamed.txt"; });
        EXPECT_NE(cached, page.FDirCache.end());
    }
    // The refused RNTO was logged; nothing else was.
    EXPECT_TRUE(rig.LoggedError());
}

// Rows 3 and 6 of eight files: exactly those two go, on the server and in the list.
TEST_F(PageOperations, DeletingRowsThreeAndSixDeletesExactlyThoseEntries) {
    for (int i = 1; i <= 8; ++i)
        Touch("f" + std::to_string(i) + ".txt");
    ListingPage rig(server_.account(), false);
    rig.Connect();
    Tfb& page = rig.page();
    const std::vector<std::string> names = rig.Names();
    ASSERT_EQ(names.size(), 8u);
    page.ListView2->SelectRows({2, 5});
    ui::ScriptedUi boxes(ui::GtestFailure());
    boxes.AnswerMessage(ui::mrYes);
    page.ToolButton4Click();
    EXPECT_EQ(MessageTexts(boxes),
              std::vector<std::string>{"Are you sure to delete the selected files or folders?"});
    std::vector<std::string> left = names;
    left.erase(left.begin() + 5);
    left.erase(left.begin() + 2);
    EXPECT_EQ(rig.Names(), left);
    EXPECT_EQ(page.RemoteItems->RowCount(), 6);
    EXPECT_TRUE(page.ListView2->SelectedRows().empty());
    std::vector<std::string> sortedLeft = left;
    std::sort(sortedLeft.begin(), sortedLeft.end());
    EXPECT_EQ(OnDisk(), sortedLeft);
    // From the last selected row to the first.
    const std::vector<std::string> sent = rig.Sent();
    std::vector<std::string> deletes;
    std::copy_if(sent.begin(), sent.end(), std::back_inserter(deletes),
                 [](const std::string& line) { return line.rfind("DELE ", 0) == 0; });
    EXPECT_EQ(deletes, (std::vector<std::string>{"DELE " + names[5], "DELE " + names[2]}));
    EXPECT_FALSE(rig.LoggedError());
}

// A folder three levels deep goes completely; No to the question deletes nothing.
TEST_F(PageOperations, DeletingAFolderDeletesItsWholeTree) {
    fs::create_directories(root_ + "top/mid/low");
    for (const char* file :
         {"top/t.txt", "top/mid/m.txt", "top/mid/low/l1.txt", "top/mid/low/l2.txt", "keep.txt"})
        Touch(file);
    fs::create_directory(root_ + "top/mid/empty");
    ListingPage rig(server_.account(), false);
    rig.Connect();
    Tfb& page = rig.page();

    ui::ScriptedUi boxes(ui::GtestFailure());
    boxes.AnswerMessage(ui::mrNo).AnswerMessage(ui::mrYes).AnswerMessage(ui::mrYes);
    page.ListView2->Select(rig.RowOf("keep.txt"));
    rig.ClearSent();
    page.ToolButton4Click();  // No
    EXPECT_TRUE(rig.Sent().empty());
    page.ListView2->Select(rig.RowOf("top"));
    page.ToolButton4Click();
    EXPECT_EQ(MessageTexts(boxes),
              (std::vector<std::string>{"Are you sure to delete <keep.txt>?",
                                        "Are you sure to delete the folder <top> and all files in "
                                        "this folder?"}));
    EXPECT_EQ(OnDisk(), std::vector<std::string>{"keep.txt"});
    EXPECT_EQ(rig.Names(), std::vector<std::string>{"keep.txt"});
    for (const rdatalist& cached : page.FDirCache)
        EXPECT_NE(cached.name, "top");
    EXPECT_FALSE(rig.LoggedError());
    // A folder's files went before the folder itself.
    const std::vector<std::string> sent = rig.Sent();
    const auto at = [&](const std::string& line) {
        return std::find(sent.begin(), sent.end(), line) - sent.begin();
    };
    EXPECT_LT(at("DELE l1.txt"), at("RMD low"));
    EXPECT_LT(at("RMD low"), at("RMD mid"));
    EXPECT_LT(at("RMD mid"), at("RMD top"));
    EXPECT_LT(at("RMD top"), static_cast<long>(sent.size()));

    page.ListView2->Select(rig.RowOf("keep.txt"));
    page.ToolButton4Click();
    EXPECT_TRUE(OnDisk().empty());
}

// Make folder: a new name is made and listed; a taken name is refused before MKD; a cancelled
// box does nothing; a refusal of the server says "Can not create folder.".
TEST_F(PageOperations, MakeFolderRefusesTakenNamesBeforeMkd) {
    Touch("a.txt");
    ListingPage rig(server_.account(), false);
    rig.Connect();
    Tfb& page = rig.page();
    fs::create_directory(root_ + "late");  // made behind the page's back: not in its list
    const struct {
        std::optional<std::string> typed;
        std::vector<std::string> messages;
        int mkd;
    } cases[] = {
        {std::nullopt, {}, 0},
        {"a.txt", {Taken("a.txt")}, 0},
        {"late", {"Can not create folder."}, 1},
        {"made", {}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed.value_or("<cancel>"));
        ui::ScriptedUi boxes(ui::GtestFailure());
        boxes.AnswerInput(c.typed);
        for (std::size_t i = 0; i < c.messages.size(); ++i)
            boxes.AnswerMessage(ui::mrOk);
        rig.ClearSent();
        page.ToolButton11Click();
        ASSERT_FALSE(boxes.Calls().empty());
        EXPECT_EQ(boxes.Calls().front().caption, "Make new directory");
        EXPECT_EQ(boxes.Calls().front().text, "Name");
        EXPECT_EQ(MessageTexts(boxes), c.messages);
        EXPECT_EQ(rig.SentWithPrefix("MKD "), c.mkd);
    }
    EXPECT_TRUE(fs::is_directory(root_ + "made"));
    EXPECT_GE(rig.RowOf("made"), 0);  // listed again after MKD
}

}  // namespace
}  // namespace pagetest
