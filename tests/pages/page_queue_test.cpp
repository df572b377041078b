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
#include <QPointer>
#include <QProgressBar>
#include <QStandardItemModel>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "connection/page_dialogs.h"
#include "connection/page_session.h"
#include "connection/protocol_log.h"
#include "connection/queue_run.h"
#include "connection/transfer_queue.h"
#include "platform/ftp/id_ftp.h"
#include "platform/ftp/id_log_event.h"
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
    entry.lopath = folder + name;
    entry.ftppath = "0";
    entry.size = size;
    entry.name = name;
    entry.rdate = "2026-01-02 03:04:00";
    return entry;
}

rupdown UploadEntry(const std::string& path, const std::string& remoteFolder = "0") {
    rupdown entry;
    entry.direction = 0;
    entry.lopath = path;
    entry.ftppath = remoteFolder;
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
    EXPECT_EQ(frame.FQueue[0].ftppath, "0");
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
// Each arrives with the server's line ends in the local convention.
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
        // The server sends its text file with CR LF in ASCII type; the local copy has LF, as
        // the binary ones have.
        EXPECT_EQ(ReadFile(target + c.name), "x\n");
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
    gone.checkexist = true;
    rupdown kept = DownloadEntry("kept.txt", target, 4);
    kept.checkexist = true;
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
        entry.lopath = target + "tiny" + std::to_string(i) + ".txt";
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

// A retrieve the server ends with 426, and one it calls complete though fewer bytes came than
// the size it gives for the file (in its opening reply, or by SIZE after the transfer), fail:
// the row stays failed, no history row, and the log tells why. A file longer or shorter than
// the entry said, of the size the server gives, or of no size the server gives, is complete.
TEST_F(PageQueue, ADownloadIsCheckedAgainstTheServersSize) {
    ftptest::ScriptedServer server(ftptest::ScriptedServer::Mode::kFtp,
                                   std::string(R"json({"builtin_data": true, "rules": [
        {"expect": "RETR cut.bin", "reply": ["150 Sending", {"data_send": "abcde"},
                                             "426 Connection closed; transfer aborted."]},
        {"expect": "RETR (short|sized|nosize).bin", "reply": ["150 Sending",
                                             {"data_send": "abcde"}, "226 Transfer complete"]},
        {"expect": "RETR counted.bin", "reply": ["150 Opening for counted.bin (10 bytes)",
                                             {"data_send": "abcde"}, "226 Transfer complete"]},
        {"expect": "RETR long.bin", "reply": ["150 Opening for long.bin (15 bytes)",
            {"data_send": "abcde", "repeat": 3}, "226 Transfer complete"]},
        {"expect": "SIZE (short|counted).bin", "reply": "213 10"},
        {"expect": "SIZE sized.bin", "reply": "213 5"},
        {"expect": "SIZE .*", "reply": "550 No size here"},)json") +
                                       kServeRootRules + "]}");
    Tfb& frame = OpenServer(server.port(), "binary");
    const std::string target = NewLocalFolder("cut");
    struct Case {
        const char* name;
        const char* line;  // the failure's log line; nullptr: the download is complete
        int sizeCommands;  // SIZE commands after the transfer
        const char* bytes;
    };
    const Case cases[] = {
        {"cut.bin", "426:Connection closed; transfer aborted.\n, the operation cancel.", 0,
         "abcde"},
        {"short.bin", "Received 5 of 10 bytes of short.bin.", 1, "abcde"},
        {"counted.bin", "Received 5 of 10 bytes of counted.bin.", 0, "abcde"},
        {"sized.bin", nullptr, 1, "abcde"},
        {"nosize.bin", nullptr, 1, "abcde"},
        {"long.bin", nullptr, 0, "abcdeabcdeabcde"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (!frame.Connected())
            frame.ConnectSite(false);
        ASSERT_TRUE(frame.Connected());
        frame.Log().Clear();
        const std::size_t history = Column(*dm->Thd, "lofile").size();
        frame.AddQueueEntry(DownloadEntry(c.name, target, 10));
        frame.StartQueueRun(false);
        EXPECT_EQ(Column(*dm->Thd, "lofile").size(), history + (c.line == nullptr ? 1 : 0));
        EXPECT_EQ(CountRows(frame, "SIZE " + std::string(c.name)), c.sizeCommands);
        // What came stays, for a resume.
        EXPECT_EQ(ReadFile(target + c.name), c.bytes);
        if (c.line == nullptr) {
            EXPECT_TRUE(frame.FQueue.empty());
            continue;
        }
        ASSERT_EQ(frame.FQueue.size(), 1u);
        EXPECT_EQ(frame.Queue().Image(0), 1);
        EXPECT_TRUE(HasRow(frame, {c.line, 2}));
        frame.Clear2Click();
    }
}

// The page closed, or the main window closed, from a handler that runs inside the run's
// transfer: the run ends without touching the queue, its rows or the log and writes no
// history; it only resets the run state. (Checked under the sanitizers.)
class PageQueueClosing : public PageQueue, public ::testing::WithParamInterface<bool> {};

TEST_P(PageQueueClosing, InsideATransferTheRunEndsAndTouchesNothing) {
    const bool wholeWindow = GetParam();
    ftptest::PyftpdlibServer server("alice", "secret");
    WriteFile(server.account().local_folder + "big.bin", Bytes(4 << 20, 5));
    Tfb& frame = OpenServer(server.account().port);
    QPointer<Tfb> alive(&frame);
    const std::string target = NewLocalFolder("closing");
    frame.AddQueueEntry(DownloadEntry("big.bin", target, 4 << 20));
    frame.AddQueueEntry(DownloadEntry("big.bin", target + "second-", 4 << 20));
    bool closed = false;
    frame.IdFTP1.OnWork = [&, work = frame.IdFTP1.OnWork](ftp::TWorkMode mode, std::int64_t count) {
        work(mode, count);
        if (closed)
            return;
        closed = true;
        if (wholeWindow)
            form_->close();
        else
            form_->CloseActivePage();
    };

    frame.StartQueueRun(false);

    ASSERT_TRUE(closed);
    ASSERT_TRUE(alive);  // freed only after the run has returned, by deferred deletion
    EXPECT_FALSE(frame.FBusy);
    EXPECT_FALSE(frame.Panel3->isVisibleTo(&frame));
    EXPECT_EQ(frame.Label3->text(), QStringLiteral("0KB/S"));
    if (wholeWindow) {
        // Shut down, not emptied: the run left both entries as they were.
        EXPECT_EQ(frame.FQueue.size(), 2u);
        EXPECT_EQ(frame.QueueItems->rowCount(), 2);
    } else {
        EXPECT_TRUE(frame.FQueue.empty());
        EXPECT_EQ(frame.QueueItems->rowCount(), 0);
        EXPECT_EQ(frame.Log().RowCount(), 0);
    }
    EXPECT_FALSE(std::filesystem::exists(target + "second-big.bin"));
    EXPECT_TRUE(Column(*dm->Thd, "key").empty());
    mainwindow::testing::FlushDeferredDeletes();
    EXPECT_EQ(alive.isNull(), wholeWindow);
}

INSTANTIATE_TEST_SUITE_P(PageOrWindow, PageQueueClosing, ::testing::Bool());

// An entry from any starter whose name is no plain file name is refused by the run with a log
// line before anything is sent or written; the next entry runs.
TEST_F(PageQueue, TheRunRefusesAnEntryWhoseNameIsNoPlainName) {
    ftptest::PyftpdlibServer server("alice", "secret");
    WriteFile(server.account().local_folder + "plain.txt", "plain");
    Tfb& frame = OpenServer(server.account().port);
    const std::string target = NewLocalFolder("deep/target");
    rupdown evil = DownloadEntry("../plain.txt", target, 5);
    evil.lopath = target + "../plain.txt";
    frame.AddQueueEntry(evil);
    frame.AddQueueEntry(DownloadEntry("plain.txt", target, 5));
    frame.StartQueueRun(false);
    EXPECT_TRUE(frame.FQueue.empty());
    EXPECT_TRUE(HasRow(
        frame, {"The name \"../plain.txt\" is not a plain file name; it was not downloaded.", 2}));
    EXPECT_FALSE(std::filesystem::exists(folder_ + "deep/plain.txt"));
    EXPECT_EQ(CountRows(frame, "RETR ../plain.txt"), 0);
    EXPECT_EQ(ReadFile(target + "plain.txt"), "plain");
    EXPECT_EQ(Column(*dm->Thd, "lofile"), std::vector<std::string>{"plain.txt"});
}

// Entries naming a folder move the server away from the page's folder; an entry in "0" that
// follows, in the same run or a later one, runs in the folder the list shows again.
TEST_F(PageQueue, EntriesInThePagesFolderFollowOnesInOtherFolders) {
    ftptest::PyftpdlibServer server("alice", "secret");
    const std::string served = server.account().local_folder;
    std::filesystem::create_directory(served + "sub");
    WriteFile(served + "same.txt", "root");
    WriteFile(served + "sub/same.txt", "sub");
    Tfb& frame = OpenServer(server.account().port);
    const std::string local = NewLocalFolder("moves");
    WriteFile(local + "first.txt", "first");
    WriteFile(local + "second.txt", "second");

    // In one run: an upload into "sub", then one into the page's folder.
    frame.AddQueueEntry(UploadEntry(local + "first.txt", "sub"));
    frame.AddQueueEntry(UploadEntry(local + "second.txt", "0"));
    frame.StartQueueRun(false);
    EXPECT_EQ(ReadFile(served + "sub/first.txt"), "first");
    EXPECT_EQ(ReadFile(served + "second.txt"), "second");

    // A download from "/sub" (as a history re-run makes it), then later one from "0".
    rupdown fromSub = DownloadEntry("same.txt", local, 3);
    fromSub.ftppath = "/sub";
    fromSub.lopath = local + "from-sub.txt";
    frame.AddQueueEntry(fromSub);
    frame.StartQueueRun(false);
    rupdown fromPage = DownloadEntry("same.txt", local, 4);
    fromPage.lopath = local + "from-page.txt";
    frame.AddQueueEntry(fromPage);
    frame.StartQueueRun(false);
    EXPECT_EQ(ReadFile(local + "from-sub.txt"), "sub");
    EXPECT_EQ(ReadFile(local + "from-page.txt"), "root");
    EXPECT_TRUE(frame.FQueue.empty());
    EXPECT_EQ(Column(*dm->Thd, "ftppath"), (std::vector<std::string>{"sub", "/", "/sub", "/"}));
}

// The entry is protected from the moment the run takes it, before its row shows it running:
// Delete and Clear in the wait of its existence check leave it, and the run removes it.
TEST_F(PageQueue, TheTakenEntryIsProtectedBeforeItShowsAsRunning) {
    ftptest::PyftpdlibServer server("alice", "secret");
    WriteFile(server.account().local_folder + "taken.txt", "taken");
    Tfb& frame = OpenServer(server.account().port);
    const std::string target = NewLocalFolder("taken");
    rupdown taken = DownloadEntry("taken.txt", target, 5);
    taken.checkexist = true;
    frame.AddQueueEntry(taken);
    frame.AddQueueEntry(DownloadEntry("other.txt", target, 5));
    int imageWhenActed = -2;
    auto begin = frame.IdFTP1.OnWorkBegin;
    frame.IdFTP1.OnWorkBegin = [&](ftp::TWorkMode mode, std::int64_t n) {
        begin(mode, n);
        if (imageWhenActed != -2)
            return;
        imageWhenActed = frame.Queue().Image(0);  // the check's listing: not running yet
        frame.ListView1->selectionModel()->select(
            frame.QueueItems->index(0, 0),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        frame.Delete2Click();
        frame.Clear2Click();
    };
    frame.StartQueueRun(false);
    EXPECT_EQ(imageWhenActed, -1);
    EXPECT_TRUE(frame.FQueue.empty());
    EXPECT_EQ(ReadFile(target + "taken.txt"), "taken");
    EXPECT_EQ(Column(*dm->Thd, "lofile"), std::vector<std::string>{"taken.txt"});
}

// A dialog stand-in that answers every duplicate question with one modal result (and a new
// name for a rename); the other dialogs are not used here.
class AnswerEveryClash : public TPageDialogs {
  public:
    AnswerEveryClash(int result, std::string newName)
        : result_(result), newName_(std::move(newName)) {}
    int AskDuplicate(Tfb& page) override {
        ++asked;
        page.FRenameTo = newName_;
        return result_;
    }
    int ShowDownloadTarget(Tfb&) override { return ui::mrCancel; }
    int ShowFind(Tfb&) override { return ui::mrCancel; }
    int ShowFilter(Tfb&) override { return ui::mrCancel; }
    int ShowPermissions(Tfb&) override { return ui::mrCancel; }
    int ShowBookmarkManager(Tfb&) override { return ui::mrCancel; }
    int ShowAddTask(Tfb&) override { return ui::mrCancel; }
    int asked = 0;

  private:
    int result_;
    std::string newName_;
};

// A clash in either direction, by the answer: rename transfers under the new name, overwrite
// replaces, skip and cancel leave both sides and write no history.
TEST_F(PageQueue, ClashesGoByTheAnswer) {
    ftptest::PyftpdlibServer server("alice", "secret");
    const std::string served = server.account().local_folder;
    Tfb& frame = OpenServer(server.account().port);
    const std::string local = NewLocalFolder("clash");
    struct Case {
        int answer;
        const char* remote;  // both folders afterwards, as name=content in name order
        const char* local;
        const char* history;  // lofile/ftpfile of the history rows, "" for none
    };
    const Case cases[] = {
        {ui::mrOk, "down.txt=new-down new.txt=new-up up.txt=old-up",
         "down.txt=old-down new.txt=new-down up.txt=new-up", "up.txt/new.txt new.txt/down.txt"},
        {ui::mrYes, "down.txt=new-down up.txt=new-up", "down.txt=new-down up.txt=new-up",
         "up.txt/up.txt down.txt/down.txt"},
        {ui::mrNo, "down.txt=new-down up.txt=old-up", "down.txt=old-down up.txt=new-up", ""},
        {ui::mrCancel, "down.txt=new-down up.txt=old-up", "down.txt=old-down up.txt=new-up", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        for (const auto& item : std::filesystem::directory_iterator(served))
            std::filesystem::remove(item.path());
        for (const auto& item : std::filesystem::directory_iterator(local))
            std::filesystem::remove(item.path());
        {
            OpenTable details(*dm->Thd);
            details->EmptyTable();
        }
        WriteFile(served + "up.txt", "old-up");
        WriteFile(served + "down.txt", "new-down");
        WriteFile(local + "up.txt", "new-up");
        WriteFile(local + "down.txt", "old-down");
        AnswerEveryClash dialogs(c.answer, "new.txt");
        frame.SetDialogs(&dialogs);
        frame.AddQueueEntry(UploadEntry(local + "up.txt"));
        frame.AddQueueEntry(DownloadEntry("down.txt", local, 8));
        frame.StartQueueRun(false);
        frame.SetDialogs(nullptr);
        EXPECT_EQ(dialogs.asked, 2);
        EXPECT_TRUE(frame.FQueue.empty());
        auto contents = [](const std::string& folder) {
            std::vector<std::string> items;
            for (const auto& item : std::filesystem::directory_iterator(folder))
                items.push_back(item.path().filename().string() + "=" +
                                ReadFile(item.path().string()));
            std::sort(items.begin(), items.end());
            std::string joined;
            for (const std::string& item : items)
                joined += (joined.empty() ? "" : " ") + item;
            return joined;
        };
        EXPECT_EQ(contents(served), c.remote);
        EXPECT_EQ(contents(local), c.local);
        std::string history;
        const std::vector<std::string> lofiles = Column(*dm->Thd, "lofile");
        const std::vector<std::string> ftpfiles = Column(*dm->Thd, "ftpfile");
        for (std::size_t row = 0; row < lofiles.size(); ++row)
            history += (row == 0 ? "" : " ") + lofiles[row] + "/" + ftpfiles[row];
        EXPECT_EQ(history, c.history);
    }
}

// A dropped connection learnt of while an entry completes ends the run at the next pass: the
// new head shows "No connection" and failed. Each run starts asking the question again.
TEST_F(PageQueue, ADropLearntOfDuringAnEntryStopsAtTheNextPass) {
    ftptest::PyftpdlibServer server("alice", "secret");
    WriteFile(server.account().local_folder + "a.txt", "a");
    Tfb& frame = OpenServer(server.account().port);
    const std::string target = NewLocalFolder("dropped");
    frame.AddQueueEntry(DownloadEntry("a.txt", target, 1));
    rupdown next = DownloadEntry("a.txt", target, 1);
    next.lopath = target + "b.txt";
    frame.AddQueueEntry(next);
    frame.FAskDuplicate = false;
    frame.FDuplicateAnswer = 7;
    auto work = frame.IdFTP1.OnWork;
    frame.IdFTP1.OnWork = [&](ftp::TWorkMode mode, std::int64_t count) {
        work(mode, count);
        frame.FBusy = false;  // as the component's disconnect status would
    };
    frame.StartQueueRun(false);
    EXPECT_EQ(ReadFile(target + "a.txt"), "a");
    ASSERT_EQ(frame.FQueue.size(), 1u);
    EXPECT_EQ(frame.Queue().Status(0), "No connection");
    EXPECT_EQ(frame.Queue().Image(0), 1);
    EXPECT_TRUE(frame.FAskDuplicate);
    EXPECT_EQ(frame.FDuplicateAnswer, -1);
}

// A local file that cannot be made fails the entry; the log names that error before the line
// of the last reply, which says nothing of it.
TEST_F(PageQueue, ALocalFileErrorIsLoggedBeforeTheLastReply) {
    ftptest::PyftpdlibServer server("alice", "secret");
    WriteFile(server.account().local_folder + "a.txt", "a");
    Tfb& frame = OpenServer(server.account().port);
    frame.AddQueueEntry(DownloadEntry("a.txt", folder_ + "no/such/folder/", 1));
    frame.StartQueueRun(false);
    ASSERT_EQ(frame.FQueue.size(), 1u);
    EXPECT_EQ(frame.Queue().Image(0), 1);
    const std::vector<LogRow> log = LogOf(frame);
    const auto local = std::find_if(log.begin(), log.end(), [](const LogRow& row) {
        return row.icon == 2 && row.text.starts_with("Cannot open file");
    });
    ASSERT_NE(local, log.end());
    ASSERT_NE(local + 1, log.end());
    EXPECT_EQ((local + 1)->icon, 2);
    EXPECT_TRUE((local + 1)->text.ends_with(", the operation cancel.")) << (local + 1)->text;
}

// Transfer with a head that names a folder enters it first and forgets that folder's cached
// listing; while a run is in progress it does nothing.
TEST_F(PageQueue, TransferEntersTheHeadsFolderFirst) {
    ftptest::PyftpdlibServer server("alice", "secret");
    const std::string served = server.account().local_folder;
    std::filesystem::create_directory(served + "sub");
    Tfb& frame = OpenServer(server.account().port);
    frame.AddCacheEntry("/sub", "stale.txt", "", "1", "2026-01-02 03:04:00", "u", "g", "rw-", "r--",
                        "r--");
    const std::string local = NewLocalFolder("transfer");
    WriteFile(local + "in-sub.txt", "in sub");
    frame.AddQueueEntry(UploadEntry(local + "in-sub.txt", "/sub"));
    frame.FBusy = true;
    frame.ransfer1Click();
    EXPECT_EQ(frame.FQueue.size(), 1u);
    EXPECT_EQ(CountRows(frame, "CWD /sub"), 0);
    frame.FBusy = false;
    frame.ransfer1Click();
    EXPECT_TRUE(frame.FQueue.empty());
    EXPECT_EQ(ReadFile(served + "sub/in-sub.txt"), "in sub");
    for (const rdatalist& cached : frame.FDirCache)
        EXPECT_NE(cached.name, "stale.txt");
}

// The user's Abort through SOCKS 5 while a download ends (the server has sent every byte, and
// its multi-line 226 comes in two parts): the entry fails with the abort, whatever the server
// had answered by then; no failure line reports the server's success text, and no history row
// is written.
TEST_F(PageQueue, AnAbortThroughSocks5FailsTheEntryWithTheAbortError) {
    const char* const closingHead = "226-File successfully transferred\r\n";
    ftptest::ScriptedServer server(ftptest::ScriptedServer::Mode::kFtp,
                                   std::string(R"json({"builtin_data": true, "rules": [
        {"expect": "RETR f.bin", "reply": ["150 Sending", {"data_send": "abcde"},
            {"data_close": true}, {"delay": 0.3}, {"send": "226-File successfully transferred\r\n"},
            {"delay": 0.3},
            {"send": "226 0.000 seconds (measured here), 9.54 Mbytes per second\r\n"}]},
        {"expect": "ABOR", "reply": "226 Since you see this ABOR must've succeeded"},)json") +
                                       kServeRootRules + "]}");
    ftptest::MicrosocksServer socks("sockuser", "sockpass");
    AddSocks("proxy5", "Socks5", socks.port(), "sockuser", "sockpass");
    AddServerSite({.name = "socks",
                   .port = server.port(),
                   .user = "alice",
                   .password = "secret",
                   .socks = "proxy5"});
    SetOptions(30, {});
    Tfb& frame = OpenSite("socks");
    const std::string target = NewLocalFolder("abort");
    // When the user clicks: once the data came, once the closing reply began.
    for (const std::string& trigger : {std::string("150 Sending\r\n"), std::string(closingHead)}) {
        SCOPED_TRACE(trigger);
        if (!frame.Connected())
            frame.ConnectSite(false);
        ASSERT_TRUE(frame.Connected());
        frame.Log().Clear();
        ftp::TIdLogEvent& log = frame.Session().IdLogEvent1;
        bool clicked = false;
        const auto shown = log.OnReceived;
        log.OnReceived = [&](const std::string& text) {
            if (shown)
                shown(text);
            if (!clicked && text.find(trigger) != std::string::npos) {
                clicked = true;
                QTimer::singleShot(0, &frame, [&frame] { frame.ToolButton3Click(); });
            }
        };
        std::filesystem::remove(target + "f.bin");
        frame.AddQueueEntry(DownloadEntry("f.bin", target, 5));
        frame.StartQueueRun(false);
        log.OnReceived = shown;
        EXPECT_TRUE(clicked);
        ASSERT_EQ(frame.FQueue.size(), 1u);
        EXPECT_EQ(frame.Queue().Image(0), 1);
        EXPECT_TRUE(HasRow(frame, {"Disconnected.", 2}));
        for (const LogRow& row : LogOf(frame)) {
            if (row.icon == 2) {
                EXPECT_FALSE(row.text.starts_with("226")) << row.text;
            }
        }
        EXPECT_TRUE(Column(*dm->Thd, "key").empty());
        frame.Clear2Click();
    }
}

}  // namespace
}  // namespace pagetest
