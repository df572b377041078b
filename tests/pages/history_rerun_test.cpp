// Running recorded transfers again from the history page against pyftpdlib: a download into a
// folder tree that is gone, queued once however often Execute is pressed, kept queued on a
// disconnected page, taken up by a run in progress; an upload first stored under another remote
// name goes up under its local name.
#include <gtest/gtest.h>

#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <filesystem>
#include <string>

#include "tests/ftp_servers/file_bytes.h"
#include "tests/ftp_servers/server_fixture.h"
#include "tests/pages/page_rig.h"

namespace pagetest {
namespace {

using mainwindow::testing::HistoryDetail;
using mainwindow::testing::ReadBytes;

class HistoryRerun : public PageRig {
  protected:
    void SetUp() override {
        PageRig::SetUp();
        local_ = folder_ + "local";
        std::filesystem::create_directories(local_);
        SetOptions(0, {});  // "auto" with no ASCII extension: every file as it is
    }

    std::int32_t Site(ftptest::PyftpdlibServer& server) {
        return AddServerSite(
            {.name = "site", .port = server.account().port, .user = "alice", .password = "secret"});
    }

    // Refreshes the history page and presses Execute on the transfer at `index` of the first
    // day of `direction` (0 upload, 1 download) of the first site.
    void Execute(int direction, int index) {
        form_->ToolButton1->click();
        QTreeWidgetItem* day = form_->TreeView1->topLevelItem(0)->child(direction)->child(0);
        form_->TreeView1->setCurrentItem(day->child(index));
        ASSERT_TRUE(form_->ToolButton16->isEnabled());
        form_->ToolButton16->click();
    }

    std::string local_;
};

TEST_F(HistoryRerun, ADownloadIntoAFolderTreeThatIsGoneIsQueuedOnceAndRunsOnTheReconnectedPage) {
    ftptest::PyftpdlibServer server("alice", "secret");
    const std::string served = server.account().local_folder;
    std::filesystem::create_directories(served + "sub");
    ftptest::WriteFileBytes(served + "sub/data.bin", ftptest::LineEndPayload(1, 300000));
    const std::int32_t site = Site(server);
    const std::string target = local_ + "/a/b/c/data.bin";
    AddHistoryDetail(AddHistoryHead(site, "Download"),
                     {"data.bin", "Download", false, "data.bin", target, "/sub"});
    Tfb& page = OpenSite("site");
    page.ToolButton17Click();  // disconnected: the entry waits
    ASSERT_FALSE(page.Connected());
    Execute(1, 0);
    form_->ToolButton16->click();  // twice before the run: queued once
    EXPECT_TRUE(std::filesystem::is_directory(local_ + "/a/b/c"));
    ASSERT_EQ(page.FQueue.size(), 1u);
    const rupdown& entry = page.FQueue[0];
    EXPECT_EQ(entry.direction, 1);
    EXPECT_EQ(entry.lopath, target);
    EXPECT_EQ(entry.ftppath, "/sub");
    EXPECT_EQ(entry.size, 0);
    EXPECT_EQ(entry.name, "data.bin");
    EXPECT_FALSE(entry.isfolder);
    EXPECT_EQ(entry.status, "");
    EXPECT_EQ(entry.spare, -1);
    EXPECT_EQ(entry.rdate, "?");
    EXPECT_TRUE(entry.checkexist);
    EXPECT_FALSE(std::filesystem::exists(target));

    page.ToolButton17Click();  // connect again: the queue waits for the user
    ASSERT_TRUE(page.Connected());
    EXPECT_EQ(page.FQueue.size(), 1u);
    page.ransfer1Click();
    EXPECT_TRUE(page.FQueue.empty());
    EXPECT_EQ(ReadBytes(target), ReadBytes(served + "sub/data.bin"));
    EXPECT_EQ(CountRows(page, "SIZE data.bin"), 1);  // the size was asked for
}

// The page is not open yet: Execute opens and connects it, then runs the download at once.
TEST_F(HistoryRerun, ExecuteOpensTheSitesPageAndDownloadsByteIdentical) {
    ftptest::PyftpdlibServer server("alice", "secret");
    const std::string served = server.account().local_folder;
    ftptest::WriteFileBytes(served + "once.bin", ftptest::LineEndPayload(2, 100000));
    const std::int32_t site = Site(server);
    const std::string target = local_ + "/new/once.bin";
    AddHistoryDetail(AddHistoryHead(site, "Download"),
                     {"once.bin", "Download", false, "once.bin", target, "/"});
    ShowForm();
    Execute(1, 0);
    Tfb* page = form_->ActiveFrame();
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(page->Connected());
    EXPECT_TRUE(page->FQueue.empty());
    EXPECT_EQ(ReadBytes(target), ReadBytes(served + "once.bin"));
}

TEST_F(HistoryRerun, ExecuteDuringARunAddsToTheRunningQueue) {
    ftptest::PyftpdlibServer server("alice", "secret");
    const std::string served = server.account().local_folder;
    ftptest::WriteFileBytes(served + "later.bin", ftptest::LineEndPayload(3, 5000));
    ftptest::WriteFileBytes(local_ + "/big.bin", ftptest::LineEndPayload(4, 30'000'000));
    const std::int32_t site = Site(server);
    AddHistoryDetail(AddHistoryHead(site, "Download"),
                     {"later.bin", "Download", false, "later.bin", local_ + "/later.bin", "/"});
    Tfb& page = OpenSite("site");
    form_->ToolButton1->click();
    bool busyAtExecute = false;
    std::size_t queuedAtExecute = 0;
    // Runs at the first pump of the upload's waits.
    QTimer::singleShot(0, form_.get(), [&] {
        busyAtExecute = page.FBusy;
        Execute(1, 0);
        queuedAtExecute = page.FQueue.size();
    });
    rupdown upload;
    upload.direction = 0;
    upload.lopath = local_ + "/big.bin";
    upload.ftppath = "/";
    upload.size = 30'000'000;
    upload.name = "big.bin";
    page.AddQueueEntry(upload);
    page.StartQueueRun(true);
    EXPECT_TRUE(busyAtExecute);
    EXPECT_EQ(queuedAtExecute, 2u);  // the upload running and the download waiting
    EXPECT_TRUE(page.FQueue.empty());
    EXPECT_EQ(ReadBytes(served + "big.bin"), ReadBytes(local_ + "/big.bin"));
    EXPECT_EQ(ReadBytes(local_ + "/later.bin"), ReadBytes(served + "later.bin"));
}

TEST_F(HistoryRerun, AnUploadStoredUnderAnotherRemoteNameGoesUpUnderItsLocalName) {
    ftptest::PyftpdlibServer server("alice", "secret");
    const std::string served = server.account().local_folder;
    std::filesystem::create_directories(served + "in");
    ftptest::WriteFileBytes(local_ + "/mine.txt", ftptest::LineEndPayload(5, 70000));
    const std::int32_t site = Site(server);
    AddHistoryDetail(AddHistoryHead(site, "Upload"),
                     {"mine.txt", "Upload", false, "renamed.txt", local_ + "/mine.txt", "/in"});
    Tfb& page = OpenSite("site");
    page.ToolButton17Click();  // disconnected: look at the entry first
    Execute(0, 0);
    ASSERT_EQ(page.FQueue.size(), 1u);
    EXPECT_EQ(page.FQueue[0].direction, 0);
    EXPECT_EQ(page.FQueue[0].name, "mine.txt");
    EXPECT_EQ(page.FQueue[0].size, 70000);
    EXPECT_EQ(page.FQueue[0].rdate, "");
    EXPECT_EQ(page.FQueue[0].lopath, local_ + "/mine.txt");
    page.ToolButton17Click();
    ASSERT_TRUE(page.Connected());
    page.ClearLists();
    Execute(0, 0);  // connected and idle: runs at once
    EXPECT_TRUE(page.FQueue.empty());
    EXPECT_EQ(ReadBytes(served + "in/mine.txt"), ReadBytes(local_ + "/mine.txt"));
    EXPECT_FALSE(std::filesystem::exists(served + "in/renamed.txt"));
}

}  // namespace
}  // namespace pagetest
