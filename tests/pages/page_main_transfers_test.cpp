// Transfers started from the main window against pyftpdlib: the Upload button uploads the local
// view's selection into the page's folder, remote rows dropped on the local view download into
// the folder under the drop point, a drop during a run only queues, and names that are not
// plain names never become local paths.
#include <gtest/gtest.h>

#include <QMimeData>
#include <QTimer>
#include <QToolButton>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "mainwindow/local_file_pane.h"
#include "platform/ui/list_view.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/owner_data_model.h"
#include "platform/ui/shell_list_view.h"
#include "platform/ui/testing/gtest_failure.h"
#include "platform/ui/testing/scripted_ui.h"
#include "platform/ui/testing/shell_list_view_wait.h"
#include "tests/ftp_servers/file_bytes.h"
#include "tests/ftp_servers/server_fixture.h"
#include "tests/pages/page_rig.h"

namespace pagetest {
namespace {

using mainwindow::testing::ReadBytes;

class MainTransfers : public PageRig {
  protected:
    void SetUp() override {
        PageRig::SetUp();
        local_ = folder_ + "local";
        std::filesystem::create_directories(local_ + "/dst");
    }

    // Opens the page of a site on `server` and shows the local folder in the local view.
    Tfb& Open(ftptest::PyftpdlibServer& server) {
        SetOptions(0, {});  // "auto" with no ASCII extension: every file as it is
        AddServerSite(
            {.name = "site", .port = server.account().port, .user = "alice", .password = "secret"});
        Tfb& page = OpenSite("site");
        ShowLocal(local_);
        return page;
    }

    void ShowLocal(const std::string& folder) {
        form_->LocalPane().SetRoot(folder);
        ASSERT_TRUE(ui::testing::WaitUntilLoaded(*form_->ShellListView1));
    }

    int LocalItem(const std::string& name) {
        for (int item = 0; item < form_->LocalPane().ItemCount(); ++item) {
            if (form_->LocalPane().ItemPath(item) == local_ + "/" + name)
                return item;
        }
        return -1;
    }

    void SelectLocal(const std::vector<std::string>& names) {
        std::vector<int> items;
        for (const std::string& name : names)
            items.push_back(LocalItem(name));
        form_->ShellListView1->SelectRows(items);
    }

    static int RemoteRow(Tfb& page, const std::string& name) {
        for (std::size_t row = 0; row < page.FDisplayList.size(); ++row) {
            if (page.FDisplayList[row].name == name)
                return static_cast<int>(row);
        }
        return -1;
    }

    // Drags the remote rows named `names` onto local item `item` (-1: empty space).
    void DropRemote(Tfb& page, const std::vector<std::string>& names, int item) {
        std::vector<int> rows;
        for (const std::string& name : names)
            rows.push_back(RemoteRow(page, name));
        page.ListView2->SelectRows(rows);
        const std::unique_ptr<QMimeData> data = page.ListView2->DragData();
        ASSERT_NE(data, nullptr);
        const ui::ListDrag drag{page.ListView2, data.get(), item};
        ASSERT_TRUE(form_->ShellListView1->OnDragOver(drag));
        form_->ShellListView1->OnDragDrop(drag);
    }

    std::string local_;
};

TEST_F(MainTransfers, UploadQueuesTheLocalSelectionOnceAndRunsItIntoThePagesFolder) {
    ftptest::PyftpdlibServer server("alice", "secret");
    const std::string remote = server.account().local_folder;
    ftptest::WriteFileBytes(local_ + "/a.txt", ftptest::LineEndPayload(1, 3000));
    ftptest::WriteFileBytes(local_ + "/b.bin", ftptest::LineEndPayload(2, 200000));
    Tfb& page = Open(server);
    ASSERT_TRUE(form_->ToolButton35->isEnabled());
    SelectLocal({"a.txt", "b.bin"});

    page.ToolButton17Click();  // disconnected: the entries wait in the queue
    ASSERT_FALSE(page.Connected());
    form_->ToolButton35Click();
    form_->ToolButton35Click();  // the same selection again: nothing more
    ASSERT_EQ(page.FQueue.size(), 2u);
    for (const rupdown& entry : page.FQueue) {
        EXPECT_EQ(entry.direction, 0);
        EXPECT_EQ(entry.ftppath, "0");
        EXPECT_EQ(entry.size, static_cast<std::int64_t>(ReadBytes(entry.lopath).size()));
    }
    EXPECT_FALSE(std::filesystem::exists(remote + "a.txt"));

    page.ToolButton17Click();  // connect again
    ASSERT_TRUE(page.Connected());
    form_->ToolButton35->click();
    EXPECT_TRUE(page.FQueue.empty());
    EXPECT_TRUE(ftptest::SameFileBytes(remote + "a.txt", local_ + "/a.txt"));
    EXPECT_TRUE(ftptest::SameFileBytes(remote + "b.bin", local_ + "/b.bin"));
    // The remote list was listed anew after the run.
    EXPECT_GE(RemoteRow(page, "a.txt"), 0);
    EXPECT_GE(RemoteRow(page, "b.bin"), 0);
}

// A file over 4 GiB is queued with its true size (a sparse file costs no disk).
TEST_F(MainTransfers, AVanishedLocalItemIsRefusedWhileTheOthersAreQueued) {
    constexpr std::int64_t kFiveGiB = 5LL * 1024 * 1024 * 1024;
    ftptest::PyftpdlibServer server("alice", "secret");
    ftptest::WriteFileBytes(local_ + "/a.txt", "a");
    ftptest::WriteFileBytes(local_ + "/gone.txt", "g");
    ftptest::WriteFileBytes(local_ + "/z.iso", "");
    std::filesystem::resize_file(local_ + "/z.iso", kFiveGiB);
    Tfb& page = Open(server);
    SelectLocal({"a.txt", "gone.txt", "z.iso"});
    page.ToolButton17Click();  // disconnected: nothing runs
    std::filesystem::remove(local_ + "/gone.txt");
    ui::ScriptedUi boxes(ui::GtestFailure());
    boxes.AnswerMessage(ui::mrOk);
    form_->ToolButton35Click();
    ASSERT_EQ(boxes.Calls().size(), 1u);
    EXPECT_EQ(boxes.Calls()[0].text, "Invalid path.");
    EXPECT_EQ(boxes.Calls()[0].kind, ui::MessageKind::kError);
    EXPECT_EQ(boxes.Calls()[0].buttons, ui::mbOK);
    ASSERT_EQ(page.FQueue.size(), 2u);
    EXPECT_EQ(page.FQueue[0].name, "a.txt");
    EXPECT_EQ(page.FQueue[1].name, "z.iso");
    EXPECT_EQ(page.FQueue[1].size, kFiveGiB);
}

// The folder under the drop point: a folder row's own, a file row's folder, the shown folder for
// empty space.
TEST_F(MainTransfers, RemoteRowsDroppedOnTheLocalViewDownloadIntoTheFolderUnderThePointer) {
    ftptest::PyftpdlibServer server("alice", "secret");
    const std::string remote = server.account().local_folder;
    ftptest::WriteFileBytes(remote + "x.bin", ftptest::LineEndPayload(3, 100000));
    ftptest::WriteFileBytes(remote + "y.txt", ftptest::LineEndPayload(4, 500));
    ftptest::WriteFileBytes(local_ + "/f.txt", "f");
    Tfb& page = Open(server);
    const struct {
        const char* item;  // "" for empty space
        std::string into;
    } cases[] = {{"dst", local_ + "/dst/"}, {"f.txt", local_ + "/"}, {"", local_ + "/"}};
    for (const auto& drop : cases) {
        SCOPED_TRACE(drop.item);
        const int item = *drop.item == '\0' ? -1 : LocalItem(drop.item);
        ASSERT_TRUE(*drop.item == '\0' || item >= 0);
        DropRemote(page, {"x.bin", "y.txt"}, item);
        EXPECT_TRUE(page.FQueue.empty());
        EXPECT_TRUE(ftptest::SameFileBytes(drop.into + "x.bin", remote + "x.bin"));
        EXPECT_TRUE(ftptest::SameFileBytes(drop.into + "y.txt", remote + "y.txt"));
        std::filesystem::remove(drop.into + "x.bin");
        std::filesystem::remove(drop.into + "y.txt");
        ShowLocal(local_);
    }
}

// A drop while the page's run works only queues; the run takes the entries up.
TEST_F(MainTransfers, ADropDuringARunOnlyQueuesAndThatRunDownloadsIt) {
    ftptest::PyftpdlibServer server("alice", "secret");
    const std::string remote = server.account().local_folder;
    ftptest::WriteFileBytes(remote + "r.txt", ftptest::LineEndPayload(5, 700));
    ftptest::WriteFileBytes(local_ + "/big.bin", ftptest::LineEndPayload(6, 30'000'000));
    Tfb& page = Open(server);
    SelectLocal({"big.bin"});
    bool busyAtDrop = false;
    std::size_t queuedAtDrop = 0;
    // Runs at the first pump of the upload's waits.
    QTimer::singleShot(0, form_.get(), [&] {
        busyAtDrop = page.FBusy;
        DropRemote(page, {"r.txt"}, LocalItem("dst"));
        queuedAtDrop = page.FQueue.size();
    });
    form_->ToolButton35Click();
    EXPECT_TRUE(busyAtDrop);
    EXPECT_EQ(queuedAtDrop, 2u);  // the upload running and the download waiting
    EXPECT_TRUE(page.FQueue.empty());
    EXPECT_TRUE(ftptest::SameFileBytes(remote + "big.bin", local_ + "/big.bin"));
    EXPECT_TRUE(ftptest::SameFileBytes(local_ + "/dst/r.txt", remote + "r.txt"));
}

// Names a server lists may not be names of the drop folder; they are logged, the rest download,
// and nothing lands outside the folder.
TEST_F(MainTransfers, EntriesWhoseNamesAreNotPlainAreNotQueued) {
    ftptest::PyftpdlibServer server("alice", "secret");
    const std::string remote = server.account().local_folder;
    ftptest::WriteFileBytes(remote + "ok.txt", "ok");
    Tfb& page = Open(server);
    // "." and ".." never become display entries; these would.
    const std::vector<std::string> unsafe = {"", "/", "../a/b", std::string("c\0d", 3)};
    for (const std::string& name : unsafe)
        page.AddDisplayEntry(name, "TXT File", "1KB", "2026-01-02 03:04:05", "u", "g", "-rw-",
                             "r--", "r--");
    page.SortBy(0);
    std::vector<std::string> dropped = unsafe;
    dropped.push_back("ok.txt");
    DropRemote(page, dropped, LocalItem("dst"));
    EXPECT_EQ(ReadBytes(local_ + "/dst/ok.txt"), "ok");
    EXPECT_TRUE(page.FQueue.empty());
    int refused = 0;
    for (const LogRow& row : LogOf(page))
        refused += row.icon == 2 && row.text.rfind("Not queued: ", 0) == 0 ? 1 : 0;
    EXPECT_EQ(refused, static_cast<int>(unsafe.size()));
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(local_ + "/dst"))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"ok.txt"});
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_ + "local"),
                            std::filesystem::directory_iterator{}),
              1);  // "dst" only
}

}  // namespace
}  // namespace pagetest
