// A page's transfer queue run end to end against real servers on loopback: downloads and
// uploads arrive byte for byte, the queue rows go waiting, running, removed, history rows are
// written under their head, and the run's failures, its transfer type, its existence check, its
// queue commands during a run and a long queue behave as the page promises.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAction>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMimeData>
#include <QProgressBar>
#include <QStandardItemModel>
#include <QTreeView>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "connection/page_session.h"
#include "connection/protocol_log.h"
#include "connection/queue_run.h"
#include "connection/transfer_queue.h"
#include "platform/ftp/id_ftp.h"
#include "platform/ui/list_view.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/shell_list_view.h"
#include "platform/ui/testing/gtest_failure.h"
#include "platform/ui/testing/scripted_ui.h"
#include "platform/ui/testing/shell_list_view_wait.h"
#include "tests/ftp_servers/file_bytes.h"
#include "tests/ftp_servers/server_fixture.h"
#include "tests/pages/page_rig.h"

namespace pagetest {
namespace {

std::string Bytes(std::size_t count, unsigned seed) {
    std::string bytes(count, '\0');
    for (std::size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<char>((i * 131 + seed * 7 + (i >> 8)) & 0xff);
    return bytes;
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const std::string& path) {
    return mainwindow::testing::ReadBytes(path);
}

rupdown DownloadEntry(const std::string& name, const std::string& folder, std::int64_t size = 0) {
    rupdown entry;
    entry.direction = 1;
    entry.localPath = folder + name;
    entry.remoteFolder = "0";
    entry.size = size;
    entry.name = name;
    entry.remoteModified = "2026-01-02 03:04:00";
    return entry;
}

rupdown UploadEntry(const std::string& path, const std::string& remoteFolder = "0") {
    rupdown entry;
    entry.direction = 0;
    entry.localPath = path;
    entry.remoteFolder = remoteFolder;
    entry.size = static_cast<std::int64_t>(std::filesystem::file_size(path));
    entry.name = std::filesystem::path(path).filename().string();
    return entry;
}

// What the head row showed when a data transfer began.
struct Seen {
    std::string name;
    int image;
    std::string status;
    bool operator==(const Seen&) const = default;
};

class PageQueue : public PageRig {
  protected:
    // A stored site on `port` (alice/secret), the options row in mode `mode`, its page open.
    Tfb& OpenServer(int port, const std::string& mode = "auto") {
        siteId_ =
            AddServerSite({.name = "local", .port = port, .user = "alice", .password = "secret"});
        SetOptions(30, {});
        {
            OpenTable table(*dm->Toption);
            table->Edit();
            table->FieldByName("transfermode").SetAsString(mode);
            table->Post();
        }
        Tfb& frame = OpenSite("local");
        EXPECT_TRUE(frame.Connected());
        return frame;
    }

    std::string NewLocalFolder(const std::string& name) {
        const std::string path = folder_ + name + "/";
        std::filesystem::create_directories(path);
        return path;
    }

    // Records the head row at every data transfer's begin (run inside the transfer's call).
    void WatchHead(Tfb& frame) {
        auto begin = frame.IdFTP1.OnWorkBegin;
        frame.IdFTP1.OnWorkBegin = [this, &frame, begin](ftp::TWorkMode mode, std::int64_t n) {
            if (begin)
                begin(mode, n);
            if (frame.FQueue.empty() || mode != ftp::TWorkMode::wmRead || frame.FFileSize < 0)
                return;
            seen_.push_back(
                {frame.FQueue.front().name, frame.Queue().Image(0), frame.Queue().Status(0)});
        };
    }

    std::int32_t siteId_ = 0;
    std::vector<Seen> seen_;
};

// Two files and an empty one arrive byte for byte in a new local folder; each row runs at the
// head and goes; one head row for the day and direction, one detail per file under its key.
TEST_F(PageQueue, DownloadsArriveWithRowsAndHistory) {
    ftptest::PyftpdlibServer server("alice", "secret");
    const std::string served = server.account().local_folder;
    const std::string first = Bytes(300000, 1);
    const std::string second = Bytes(70001, 2);
    WriteFile(served + "one.bin", first);
    WriteFile(served + "two.dat", second);
    WriteFile(served + "empty.txt", "");
    Tfb& frame = OpenServer(server.account().port);
    const std::string target = NewLocalFolder("fresh/target");
    frame.AddQueueEntry(DownloadEntry("one.bin", target, 300000));
    frame.AddQueueEntry(DownloadEntry("two.dat", target));  // size asked with SIZE
    frame.AddQueueEntry(DownloadEntry("empty.txt", target, 0));
    ASSERT_EQ(frame.QueueItems->rowCount(), 3);
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(frame.Queue().Image(row), -1);
    EXPECT_EQ(frame.QueueItems->item(0, 2)->text(), QStringLiteral("300000"));
    EXPECT_EQ(frame.QueueItems->item(0, 4)->text().toStdString(), target);
    EXPECT_TRUE(frame.QueueHasEntry("two.dat", target + "two.dat", "0"));
    EXPECT_FALSE(frame.QueueHasEntry("two.dat", target + "two.dat", "/"));
    WatchHead(frame);

    frame.StartQueueRun(false);

    EXPECT_EQ(ReadFile(target + "one.bin"), first);
    EXPECT_EQ(ReadFile(target + "two.dat"), second);
    EXPECT_TRUE(std::filesystem::is_regular_file(target + "empty.txt"));
    EXPECT_EQ(std::filesystem::file_size(target + "empty.txt"), 0u);
    const std::string status = "Downloading...(auto)";
    EXPECT_EQ(seen_,
              (std::vector<Seen>{
                  {"one.bin", 0, status}, {"two.dat", 0, status}, {"empty.txt", 0, status}}));
    EXPECT_EQ(frame.QueueItems->rowCount(), 0);
    EXPECT_TRUE(frame.FQueue.empty());
    EXPECT_FALSE(frame.FBusy);
    EXPECT_FALSE(frame.Panel3->isVisibleTo(&frame));
    EXPECT_EQ(frame.Label3->text(), QStringLiteral("0KB/S"));
    EXPECT_EQ(frame.Panel5->text(), QStringLiteral("70001/70001"));
    EXPECT_EQ(CountRows(frame, "SIZE two.dat"), 1);
    EXPECT_EQ(CountRows(frame, "SIZE one.bin"), 0);

    const std::vector<std::string> heads = Column(*dm->Thm, "key");
    ASSERT_EQ(heads.size(), 1u);
    EXPECT_EQ(Column(*dm->Thm, "id"), std::vector<std::string>{std::to_string(siteId_)});
    EXPECT_EQ(Column(*dm->Thm, "type"), std::vector<std::string>{"Download"});
    EXPECT_EQ(Column(*dm->Thd, "id"), std::vector<std::string>(3, heads[0]));
    EXPECT_EQ(Column(*dm->Thd, "lofile"),
              (std::vector<std::string>{"one.bin", "two.dat", "empty.txt"}));
    EXPECT_EQ(Column(*dm->Thd, "ftppath"), std::vector<std::string>(3, "/"));
    EXPECT_EQ(Column(*dm->Thd, "lopath")[1], target + "two.dat");
    for (const std::string& speed : Column(*dm->Thd, "speed"))
        EXPECT_TRUE(speed.ends_with("KB/S")) << speed;
}

// Local files dropped on the remote list through the list's drop (as the local view's drag
// arrives there) go up: on the background into the page's folder, on a folder row into that
// folder; the same file dropped twice on one spot is queued once.
TEST_F(PageQueue, DroppedLocalFilesUploadIntoTheDropFolder) {
    ftptest::PyftpdlibServer server("alice", "secret");
    const std::string served = server.account().local_folder;
    std::filesystem::create_directory(served + "sub");
    Tfb& frame = OpenServer(server.account().port);
    const std::string local = NewLocalFolder("outgoing");
    const std::string alpha = Bytes(100000, 3);
    WriteFile(local + "alpha.bin", alpha);
    WriteFile(local + "beta.txt", "beta\n");
    ui::ShellListView view;
    view.resize(400, 300);
    view.SetRoot(local.substr(0, local.size() - 1));
    ASSERT_TRUE(ui::testing::WaitUntilLoaded(view));
    auto itemOf = [&](const std::string& name) {
        for (int item = 0; item < view.ItemCount(); ++item) {
            if (view.ItemPath(item) == local + name)
                return item;
        }
        return -1;
    };
    ASSERT_EQ(frame.FDisplayList.size(), 1u);  // "sub"

    QAbstractItemView* remote = frame.ListView2->CurrentView();
    const QPoint background(5, remote->viewport()->height() - 3);
    const QPoint onSub = remote->visualRect(frame.ListView2->RowIndex(0)).center();
    ASSERT_EQ(frame.ListView2->RowAt(background), -1);

    // Dropped while a run is in progress: the drops only queue.
    frame.FBusy = true;
    view.SelectRows({itemOf("alpha.bin")});
    std::unique_ptr<QMimeData> data = view.DragData();
    ASSERT_TRUE(data);
    EXPECT_TRUE(frame.ListView2->Drop(&view, *data, background));
    EXPECT_TRUE(frame.ListView2->Drop(&view, *data, background));
    ASSERT_EQ(frame.FQueue.size(), 1u);
    EXPECT_EQ(frame.FQueue[0].remoteFolder, "0");
    EXPECT_EQ(frame.FQueue[0].size, 100000);
    // Rows of another list are refused.
    QMimeData foreign;
    foreign.setText(QStringLiteral("alpha.bin"));
    EXPECT_FALSE(frame.ListView2->Drop(&view, foreign, background));

    frame.FBusy = false;
    view.SelectRows({itemOf("beta.txt")});
    data = view.DragData();
    EXPECT_TRUE(frame.ListView2->Drop(&view, *data, onSub));

    EXPECT_EQ(ReadFile(served + "alpha.bin"), alpha);
    EXPECT_EQ(ReadFile(served + "sub/beta.txt"), "beta\n");
    EXPECT_TRUE(frame.FQueue.empty());
    EXPECT_EQ(Column(*dm->Thd, "ftppath"), (std::vector<std::string>{"/", "/sub"}));
    EXPECT_EQ(Column(*dm->Thm, "type"), std::vector<std::string>{"Upload"});
}

// A failure in the middle of the queue ends the run: the failed row stays at the head with
// image 1 and its status, later rows wait, the log has the last reply and "the operation
// cancel.", and only the entry before it has a history row. The next run starts with it.
TEST_F(PageQueue, AFailureLeavesTheFailedRowAtTheHead) {
    ftptest::PyftpdlibServer server("alice", "secret");
    const std::string served = server.account().local_folder;
    WriteFile(served + "good.txt", "good");
    WriteFile(served + "later.txt", "later");
    Tfb& frame = OpenServer(server.account().port);
    const std::string target = NewLocalFolder("failed");
    frame.AddQueueEntry(DownloadEntry("good.txt", target, 4));
    frame.AddQueueEntry(DownloadEntry("missing.txt", target, 7));
    frame.AddQueueEntry(DownloadEntry("later.txt", target, 5));

    frame.StartQueueRun(false);

    ASSERT_EQ(frame.FQueue.size(), 2u);
    EXPECT_EQ(frame.FQueue[0].name, "missing.txt");
    EXPECT_EQ(frame.Queue().Image(0), 1);
    EXPECT_EQ(frame.Queue().Status(0), "Downloading...(auto)");
    EXPECT_EQ(frame.Queue().Image(1), -1);
    EXPECT_FALSE(frame.FBusy);
    EXPECT_FALSE(std::filesystem::exists(target + "later.txt"));
    const std::vector<LogRow> log = LogOf(frame);
    const auto failure = std::find_if(log.begin(), log.end(), [](const LogRow& row) {
        return row.icon == 2 && row.text.ends_with(", the operation cancel.");
    });
    ASSERT_NE(failure, log.end());
    EXPECT_TRUE(failure->text.starts_with("550:")) << failure->text;
    EXPECT_EQ(Column(*dm->Thd, "lofile"), std::vector<std::string>{"good.txt"});

    // The error path ran the Abort action; the page is connected again once the user asks.
    WriteFile(served + "missing.txt", "present");
    if (!frame.Connected())
        frame.ConnectSite(false);
    ASSERT_TRUE(frame.Connected());
    WatchHead(frame);
    frame.StartQueueRun(false);
    ASSERT_FALSE(seen_.empty());
    EXPECT_EQ(seen_.front().name, "missing.txt");
    EXPECT_TRUE(frame.FQueue.empty());
    EXPECT_EQ(ReadFile(target + "missing.txt"), "present");
    EXPECT_EQ(ReadFile(target + "later.txt"), "later");
}

// With the mode "auto", a listed extension in use goes as ASCII (TYPE A), one listed but not
// in use and a name without extension as binary (TYPE I); "ascii" and "binary" hold for all.
TEST_F(PageQueue, AutoModeChoosesTheTypeByTheExtensionTable) {
    ftptest::PyftpdlibServer server("alice", "secret");
    const std::string served = server.account().local_folder;
    for (const char* name : {"readme.TXT", "report.doc", "plain"})
        WriteFile(served + name, "x\n");
    Tfb& frame = OpenServer(server.account().port);
    {
        OpenTable table(*dm->Tascext);
        for (const auto& [ext, inUse] : {std::pair{"TXT", true}, std::pair{"DOC", false}}) {
            table->Append();
            table->FieldByName("ext").SetAsString(ext);
            table->FieldByName("tf").SetAsBoolean(inUse);
            table->Post();
        }
    }
    struct Case {
        const char* name;
        const char* type;
    };
    const Case cases[] = {{"readme.TXT", "TYPE A"}, {"report.doc", "TYPE I"}, {"plain", "TYPE I"}};
    const std::string target = NewLocalFolder("types");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Each case starts from the other type, so the one it needs is sent.
        {
            auto exchange = frame.Session().Guard().TryBegin();
            frame.IdFTP1.SetTransferType(c.type == std::string("TYPE I")
                                             ? ftp::TIdFTPTransferType::ftASCII
                                             : ftp::TIdFTPTransferType::ftBinary);
        }
        frame.Log().Clear();
        frame.AddQueueEntry(DownloadEntry(c.name, target, 2));
        frame.StartQueueRun(false);
        EXPECT_TRUE(frame.FQueue.empty());
        EXPECT_EQ(CountRows(frame, c.type), 1);
    }
    EXPECT_EQ(TQueueRun::IsAsciiTransfer("ascii", ".bin"), std::optional<bool>(true));
    EXPECT_EQ(TQueueRun::IsAsciiTransfer("binary", ".TXT"), std::optional<bool>(false));
    EXPECT_EQ(TQueueRun::IsAsciiTransfer("other", ".TXT"), std::nullopt);
    EXPECT_EQ(TQueueRun::ExtensionOf("a.tar.gz"), ".gz");
    EXPECT_EQ(TQueueRun::ExtensionOf("dir.d/plain"), "");
}

// The queue menu during a run: the running row allows Stop only, Delete and Clear leave it and
// the run removes that entry (not the new head) when it is done; Transfer on an idle queue
// starts with the head whichever row is selected.
TEST_F(PageQueue, QueueCommandsSpareTheRunningRow) {
    ftptest::PyftpdlibServer server("alice", "secret");
    const std::string served = server.account().local_folder;
    Tfb& frame = OpenServer(server.account().port);
    const std::string local = NewLocalFolder("up");
    for (const char* name : {"a.bin", "b.bin", "c.bin", "d.bin"})
        WriteFile(local + name, Bytes(50000, 9));
    for (const char* name : {"a.bin", "b.bin", "c.bin"})
        frame.AddQueueEntry(UploadEntry(local + name));
    auto select = [&](int row) {
        frame.ListView1->selectionModel()->select(
            frame.QueueItems->index(row, 0),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    };
    struct Menu {
        bool transfer, stop, remove, clear;
        bool operator==(const Menu&) const = default;
    };
    auto menu = [&] {
        frame.PopupdownPopup();
        return Menu{frame.ransfer1->isEnabled(), frame.Stop1->isEnabled(),
                    frame.Delete2->isEnabled(), frame.Clear2->isEnabled()};
    };
    frame.ListView1->selectionModel()->clearSelection();
    EXPECT_EQ(menu(), (Menu{false, false, false, false}));
    select(1);
    EXPECT_EQ(menu(), (Menu{true, false, true, true}));

    bool acted = false;
    Menu during{};
    auto begin = frame.IdFTP1.OnWorkBegin;
    frame.IdFTP1.OnWorkBegin = [&](ftp::TWorkMode mode, std::int64_t n) {
        begin(mode, n);
        if (acted || mode != ftp::TWorkMode::wmWrite)
            return;
        acted = true;
        frame.AddQueueEntry(UploadEntry(local + "d.bin"));  // taken up by this run
        select(0);
        during = menu();
        frame.Delete2Click();  // refused for the running row
        select(1);
        frame.Delete2Click();  // b.bin goes
        EXPECT_EQ(frame.FQueue.size(), 3u);
        frame.Clear2Click();  // c.bin and d.bin go, the running row stays
        ASSERT_EQ(frame.FQueue.size(), 1u);
        frame.AddQueueEntry(UploadEntry(local + "d.bin"));
    };
    select(2);
    frame.ransfer1Click();

    EXPECT_TRUE(acted);
    EXPECT_EQ(during, (Menu{false, true, false, false}));
    EXPECT_TRUE(frame.FQueue.empty());
    EXPECT_TRUE(std::filesystem::exists(served + "a.bin"));
    EXPECT_FALSE(std::filesystem::exists(served + "b.bin"));
    EXPECT_FALSE(std::filesystem::exists(served + "c.bin"));
    EXPECT_TRUE(std::filesystem::exists(served + "d.bin"));
    EXPECT_EQ(Column(*dm->Thd, "ftpfile"), (std::vector<std::string>{"a.bin", "d.bin"}));
}

// A download entry asked to check that its file exists: a file gone from the server gives the
// message, its entry goes without history, and the next entry runs.
TEST_F(PageQueue, ACheckedFileThatVanishedIsDroppedWithItsMessage) {
    ftptest::PyftpdlibServer server("alice", "secret");
    WriteFile(server.account().local_folder + "kept.txt", "kept");
    Tfb& frame = OpenServer(server.account().port);
    const std::string target = NewLocalFolder("checked");
    rupdown gone = DownloadEntry("gone.txt", target, 3);
    gone.checkExists = true;
    rupdown kept = DownloadEntry("kept.txt", target, 4);
    kept.checkExists = true;
    frame.AddQueueEntry(gone);
    frame.AddQueueEntry(kept);
    ui::ScriptedUi boxes(ui::GtestFailure());
    boxes.AnswerMessage(ui::mrOk);

    frame.StartQueueRun(false);

    ASSERT_EQ(boxes.Calls().size(), 1u);
    EXPECT_EQ(boxes.Calls()[0].text, "The file gone.txt was not exists.");
    EXPECT_EQ(boxes.Calls()[0].kind, ui::MessageKind::kError);
    EXPECT_TRUE(frame.FQueue.empty());
    EXPECT_EQ(ReadFile(target + "kept.txt"), "kept");
    EXPECT_FALSE(std::filesystem::exists(target + "gone.txt"));
    EXPECT_EQ(Column(*dm->Thd, "lofile"), std::vector<std::string>{"kept.txt"});
}

// 2,000 entries run in one loop: the stack is as deep at the last transfer as at the first.
TEST_F(PageQueue, ALongQueueRunsInConstantStackDepth) {
    ftptest::PyftpdlibServer server("alice", "secret");
    WriteFile(server.account().local_folder + "tiny.txt", "t");
    Tfb& frame = OpenServer(server.account().port);
    const std::string target = NewLocalFolder("many");
    constexpr int kEntries = 2000;
    for (int i = 0; i < kEntries; ++i) {
        rupdown entry = DownloadEntry("tiny.txt", target, 1);
        entry.localPath = target + "tiny" + std::to_string(i) + ".txt";
        frame.AddQueueEntry(std::move(entry));
    }
    std::vector<std::uintptr_t> depths;
    auto begin = frame.IdFTP1.OnWorkBegin;
    frame.IdFTP1.OnWorkBegin = [&](ftp::TWorkMode mode, std::int64_t n) {
        begin(mode, n);
        const char marker = 0;
        depths.push_back(reinterpret_cast<std::uintptr_t>(&marker));
    };

    frame.StartQueueRun(false);

    EXPECT_TRUE(frame.FQueue.empty());
    ASSERT_EQ(depths.size(), static_cast<std::size_t>(kEntries));
    EXPECT_EQ(depths.front(), depths.back());
    EXPECT_EQ(*std::min_element(depths.begin(), depths.end()),
              *std::max_element(depths.begin(), depths.end()));
    EXPECT_EQ(ReadFile(target + "tiny1999.txt"), "t");
}

}  // namespace
}  // namespace pagetest
