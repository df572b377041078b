// Task runs against pyftpdlib: Execute on the tasks page opens the task's site page, queues one
// entry per file row and runs the queue once; rows that cannot run are reported once each and
// left out while the others go on.
#include <gtest/gtest.h>

#include <QTreeWidget>

#include <filesystem>
#include <string>
#include <vector>

#include "dialogs/task_tables.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/testing/gtest_failure.h"
#include "platform/ui/testing/scripted_ui.h"
#include "shared/open_table.h"
#include "shared/tdm.h"
#include "tests/ftp_servers/file_bytes.h"
#include "tests/ftp_servers/server_fixture.h"
#include "tests/pages/page_rig.h"

namespace pagetest {
namespace {

using mainwindow::testing::ReadBytes;

void Write(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    ftptest::WriteFileBytes(path, bytes);
}

class TaskRun : public PageRig {
  protected:
    void SetUp() override {
        PageRig::SetUp();
        local_ = folder_ + "local";
        std::filesystem::create_directories(local_);
    }
    void TearDown() override {
        // Folder downloads move the process's current folder into the tree they fetch, which
        // goes with this test's folder.
        std::filesystem::current_path(start_);
        PageRig::TearDown();
    }

    void AddServer(ftptest::PyftpdlibServer& server) {
        SetOptions(0, {});  // every file as it is
        AddServerSite(
            {.name = "site", .port = server.account().port, .user = "alice", .password = "secret"});
    }

    // A category with one task of `type` on `site` with `files`; returns the task's id.
    std::int32_t AddTask(const std::string& type, const std::string& site,
                         std::vector<rtaskupdown> files) {
        tasks::TaskValues values;
        values.categoryId = tasks::AddCategory("c", "");
        values.name = "t";
        values.ftp = site;
        values.type = type;
        values.files = std::move(files);
        return tasks::AddTask(values).value();
    }

    // Shows the window and runs the first task of the category at `category`.
    void Execute(int category = 0) {
        if (!form_)
            ShowForm();
        QTreeWidget& tree = *form_->TreeView2;
        tree.setCurrentItem(tree.topLevelItem(category)->child(0));
        form_->ToolButton17Click();
    }

    static bool Lists(Tfb& page, const std::string& name) {
        for (const rdatalist& entry : page.FDisplayList) {
            if (entry.name == name)
                return true;
        }
        return false;
    }

    Tfb& Page(const std::string& site) {
        TTabSheet* sheet = form_->FindSitePage(site);
        EXPECT_NE(sheet, nullptr);
        return *form_->FindFrame(sheet->Tag());
    }

    static std::vector<std::string> Texts(const ui::ScriptedUi& boxes) {
        std::vector<std::string> texts;
        for (const ui::UiCall& call : boxes.Calls()) {
            EXPECT_EQ(call.kind, ui::MessageKind::kError);
            EXPECT_EQ(call.buttons, ui::mbOK);
            texts.push_back(call.text);
        }
        return texts;
    }

    std::string local_;
    std::filesystem::path start_ = std::filesystem::current_path();
};

// Missing local folders are made level by level; a relative local folder and a name that is not
// a plain name are refused for their rows only.
TEST_F(TaskRun, ADownloadTaskMakesItsLocalFoldersAndFetchesEveryGoodRowByteIdentical) {
    ftptest::PyftpdlibServer server("alice", "secret");
    const std::string remote = server.account().local_folder;
    Write(remote + "x.bin", ftptest::LineEndPayload(1, 150000));
    Write(remote + "sub/y.txt", ftptest::LineEndPayload(2, 3000));
    Write(remote + "sub/tree/z.dat", ftptest::LineEndPayload(3, 700));
    AddServer(server);
    AddTask("dOWNLOAD", "site",
            {{false, "x.bin", local_ + "/a/b/c/", "/"},
             {false, "y.txt", "relative/", "/sub"},
             {false, "../x.bin", local_ + "/a/", "/sub"},
             {false, "y.txt", local_ + "/d", "/sub"},
             {true, "tree", local_ + "/e/", "/sub"}});
    ui::ScriptedUi boxes(ui::GtestFailure());
    boxes.AnswerMessage(ui::mrOk).AnswerMessage(ui::mrOk);
    Execute();
    Tfb& page = Page("site");
    ASSERT_TRUE(WaitUntil([&] { return page.FQueue.empty() && !page.FBusy; }));
    EXPECT_EQ(Texts(boxes),
              (std::vector<std::string>{
                  "Can not create the folder relative/, please check and enter again.",
                  "The file " + local_ + "/a/../x.bin was not exists."}));
    EXPECT_TRUE(ftptest::SameFileBytes(local_ + "/a/b/c/x.bin", remote + "x.bin"));
    EXPECT_TRUE(ftptest::SameFileBytes(local_ + "/d/y.txt", remote + "sub/y.txt"));
    EXPECT_TRUE(ftptest::SameFileBytes(local_ + "/e/tree/z.dat", remote + "sub/tree/z.dat"));
    EXPECT_FALSE(std::filesystem::exists(local_ + "/x.bin"));
    EXPECT_FALSE(std::filesystem::exists(folder_ + "relative"));
}

// A folder row whose folder was deleted is reported with its full path even though its parent
// is still there; the file and folder rows that exist arrive in their remote folders.
TEST_F(TaskRun, AnUploadTaskReportsAVanishedRowWithItsFullPathAndUploadsTheOthers) {
    ftptest::PyftpdlibServer server("alice", "secret");
    const std::string remote = server.account().local_folder;
    std::filesystem::create_directories(remote + "up");
    Write(local_ + "/a.bin", ftptest::LineEndPayload(4, 90000));
    Write(local_ + "/c.bin", ftptest::LineEndPayload(6, 3000));
    Write(local_ + "/tree/inner/b.txt", ftptest::LineEndPayload(5, 2000));
    std::filesystem::create_directories(local_ + "/gone");
    AddServer(server);
    AddTask("Upload", "site",
            {{false, "a.bin", local_ + "/", "/up"},
             {true, "gone", local_ + "/", "/"},
             {true, "tree", local_ + "/", "/"},
             {false, "c.bin", local_ + "/", "/up"}});
    {
        // As a file copied from elsewhere may hold it: the folder without its closing "/".
        OpenTable rows(*dm->Ttaskd2);
        ASSERT_TRUE(rows->Locate("files", std::string("c.bin")));
        rows->Edit();
        rows->FieldByName("local").SetAsString(local_);
        rows->Post();
    }
    std::filesystem::remove(local_ + "/gone");
    ui::ScriptedUi boxes(ui::GtestFailure());
    boxes.AnswerMessage(ui::mrOk);
    Execute();
    Tfb& page = Page("site");
    ASSERT_TRUE(WaitUntil([&] { return page.FQueue.empty() && !page.FBusy; }));
    EXPECT_EQ(Texts(boxes),
              (std::vector<std::string>{"The file " + local_ + "/gone was not exists."}));
    EXPECT_TRUE(ftptest::SameFileBytes(remote + "up/a.bin", local_ + "/a.bin"));
    // A stored folder without its closing "/" is the same folder.
    EXPECT_TRUE(ftptest::SameFileBytes(remote + "up/c.bin", local_ + "/c.bin"));
    EXPECT_TRUE(ftptest::SameFileBytes(remote + "tree/inner/b.txt", local_ + "/tree/inner/b.txt"));
    EXPECT_FALSE(std::filesystem::exists(remote + "gone"));
}

// The remote list is read again after an upload task's run, and not after a download task's:
// a file put on the server behind the page's back shows only after the upload task.
TEST_F(TaskRun, OnlyAnUploadTaskRefreshesTheRemoteListAfterItsRun) {
    ftptest::PyftpdlibServer server("alice", "secret");
    const std::string remote = server.account().local_folder;
    Write(remote + "x.bin", ftptest::LineEndPayload(7, 4000));
    Write(local_ + "/a.bin", ftptest::LineEndPayload(8, 4000));
    AddServer(server);
    AddTask("Download", "site", {{false, "x.bin", local_ + "/got/", "/"}});
    AddTask("Upload", "site", {{false, "a.bin", local_ + "/", "/"}});
    Tfb& page = OpenSite("site");
    ASSERT_TRUE(page.Connected());
    ASSERT_TRUE(Lists(page, "x.bin"));
    Write(remote + "fresh.txt", "new");

    Execute(0);
    ASSERT_TRUE(WaitUntil([&] { return page.FQueue.empty() && !page.FBusy; }));
    ASSERT_TRUE(ftptest::SameFileBytes(local_ + "/got/x.bin", remote + "x.bin"));
    EXPECT_FALSE(Lists(page, "fresh.txt"));

    Execute(1);
    ASSERT_TRUE(WaitUntil([&] { return page.FQueue.empty() && !page.FBusy; }));
    ASSERT_TRUE(ftptest::SameFileBytes(remote + "a.bin", local_ + "/a.bin"));
    EXPECT_TRUE(Lists(page, "fresh.txt"));
    EXPECT_TRUE(Lists(page, "a.bin"));
}

// Without a connection the entries wait in the page's queue: a second run queues them again.
TEST_F(TaskRun, ATaskRunTwiceQueuesTwiceAndATaskWithNoRowsOpensItsPageAndQueuesNothing) {
    AddSites({"offline", "empty"});
    AddTask("Download", "offline",
            {{false, "x.bin", local_ + "/new/", "/pub"}, {true, "dir", local_ + "/", "/pub"}});
    AddTask("Upload", "empty", {});
    ShowForm();
    ui::ScriptedUi boxes(ui::GtestFailure());
    Execute();
    Execute();
    Tfb& page = Page("offline");
    ASSERT_FALSE(page.Connected());
    ASSERT_EQ(page.FQueue.size(), 4u);
    for (std::size_t index = 0; index < 4; ++index) {
        const rupdown& entry = page.FQueue[index];
        EXPECT_EQ(entry.direction, 1);
        EXPECT_EQ(entry.name, index % 2 == 0 ? "x.bin" : "dir");
        EXPECT_EQ(entry.lopath, index % 2 == 0 ? local_ + "/new/x.bin" : local_ + "/dir");
        EXPECT_EQ(entry.ftppath, "/pub");
        EXPECT_EQ(entry.isfolder, index % 2 == 1);
        EXPECT_EQ(entry.size, 0);
        EXPECT_EQ(entry.rdate, "?");
        EXPECT_TRUE(entry.checkexist);
        EXPECT_EQ(entry.spare, -1);
    }
    EXPECT_TRUE(std::filesystem::is_directory(local_ + "/new"));

    QTreeWidget& tree = *form_->TreeView2;
    tree.setCurrentItem(tree.topLevelItem(1)->child(0));
    form_->ToolButton17Click();
    Tfb& empty = Page("empty");
    EXPECT_EQ(form_->ActiveFrame(), &empty);
    EXPECT_TRUE(empty.FQueue.empty());
    EXPECT_TRUE(boxes.Calls().empty());
}

}  // namespace
}  // namespace pagetest
