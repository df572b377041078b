// Name clashes, resume and folder trees through a page's queue run with the main window: every
// answer of the duplicate-file dialog worked inside its real modal loop, the standing answers
// and their reset at the next run, resumed downloads, and a server that restarts wrongly.
#include <gtest/gtest.h>

#include <QAbstractButton>

#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "connection/page_session.h"
#include "connection/transfer_queue.h"
#include "platform/ftp/id_log_event.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/testing/gtest_failure.h"
#include "platform/ui/testing/modal_driver.h"
#include "platform/ui/testing/scripted_ui.h"
#include "tests/ftp_servers/file_bytes.h"
#include "tests/ftp_servers/server_fixture.h"
#include "tests/pages/page_rig.h"
#include "tests/pages/transfer_page_rig.h"

namespace pagetest {
namespace {

using ftptest::ReadFileBytes;
using ftptest::WriteFileBytes;
using ui::ClickButton;

rupdown Entry(int direction, const std::string& name, const std::string& localPath,
              std::int64_t size, bool folder = false) {
    rupdown entry;
    entry.direction = direction;
    entry.lopath = localPath;
    entry.ftppath = "0";
    entry.size = size;
    entry.name = name;
    entry.isfolder = folder;
    entry.rdate = "2026-01-02 03:04:00";
    return entry;
}

class DuplicateRun : public PageRig {
  protected:
    // The page of a site `name` on `port` (alice/secret), the options in binary mode.
    Tfb& OpenServer(int port, const std::string& name = "local") {
        AddServerSite({.name = name, .port = port, .user = "alice", .password = "secret"});
        if (!optionsSet_) {
            SetOptions(30, {});
            OpenTable table(*dm->Toption);
            table->Edit();
            table->FieldByName("transfermode").SetAsString("binary");
            table->Post();
            optionsSet_ = true;
        }
        Tfb& frame = OpenSite(name);
        EXPECT_TRUE(frame.Connected());
        // Every command line sent from here on (the log keeps only its last rows).
        ftp::TIdLogEvent& log = frame.Session().IdLogEvent1;
        log.OnSent = [this, shown = log.OnSent](const std::string& text) {
            sent_ += text;
            if (shown)
                shown(text);
        };
        return frame;
    }

    // How many sent command lines are `line` exactly, or begin with it when `prefix`.
    int Sent(const std::string& line, bool prefix = false) const {
        int count = 0;
        std::string::size_type start = 0;
        while (start < sent_.size()) {
            const std::string::size_type end = sent_.find("\r\n", start);
            const std::string command = sent_.substr(start, end - start);
            count += (prefix ? command.rfind(line, 0) == 0 : command == line) ? 1 : 0;
            if (end == std::string::npos)
                break;
            start = end + 2;
        }
        return count;
    }

    static bool LoggedError(Tfb& frame) {
        for (const LogRow& row : LogOf(frame)) {
            if (row.icon == 2)
                return true;
        }
        return false;
    }

    // Runs the page's queue with `answers` driving the questions it shows, in order.
    void RunWith(Tfb& frame, const std::vector<std::function<void(QDialog&)>>& answers) {
        const int before = driver_.DialogsDriven();
        for (const auto& answer : answers)
            driver_.Next(answer);
        frame.StartQueueRun(false);
        EXPECT_EQ(driver_.DialogsDriven() - before, static_cast<int>(answers.size()));
        EXPECT_TRUE(frame.FQueue.empty());
    }

    static std::function<void(QDialog&)> Click(const char* button) {
        return [button](QDialog& dialog) { ClickButton(dialog, button); };
    }

    std::size_t HistoryRows() { return Column(*dm->Thd, "lofile").size(); }
    // Queues a download of name (10 bytes) onto a local file of its first 5, answers Resume
    // and runs the queue; the resume is expected to fail and leave the file as it was.
    void ResumeFiveOfTen(Tfb& frame, const std::string& name) {
        const std::string target = folder_ + name;
        WriteFileBytes(target, "01234");
        frame.AddQueueEntry(Entry(1, name, target, 10));
        driver_.Next(Click("Button9"));
        if (!frame.Connected())
            frame.ConnectSite(false);
        frame.StartQueueRun(false);
        EXPECT_EQ(ReadFileBytes(target), "01234");
    }
    // What a failed resume leaves besides the file: no history, the entry still queued with
    // its failed picture, no resume offset; then the queue is cleared for the next case.
    void ExpectResumeUndone(Tfb& frame) {
        EXPECT_EQ(HistoryRows(), 0u);
        ASSERT_EQ(frame.FQueue.size(), 1u);
        EXPECT_EQ(frame.Queue().Image(0), 1);
        EXPECT_EQ(frame.FResumeOffset, 0);
        frame.Clear2Click();
    }

    ui::ModalDriver driver_{ui::GtestFailure()};
    std::string sent_;
    bool optionsSet_ = false;
    // A folder download leaves the process in the folder it made.
    std::filesystem::path startFolder_ = std::filesystem::current_path();

    void TearDown() override {
        std::filesystem::current_path(startFolder_);
        PageRig::TearDown();
    }
};

// Each answer of a file download's question, and the folder answers: overwrite, skip, cancel,
// resume, rename (refused for a taken name first), append for a folder (nothing happens) and
// rename of a folder (the tree lands in the new folder). History only for transfers.
TEST_F(DuplicateRun, EachAnswerThroughTheRun) {
    ftptest::PyftpdlibServer server("alice", "secret");
    const std::string served = server.account().local_folder;
    const std::string remote = ftptest::RandomBytes(20000, 7);
    WriteFileBytes(served + "x.bin", remote);
    std::filesystem::create_directories(served + "tree/inner");
    WriteFileBytes(served + "tree/inner/y.txt", "inner file");
    Tfb& frame = OpenServer(server.account().port);
    const std::string local = folder_ + "down/";
    std::filesystem::create_directories(local + "tree");
    ui::ScriptedUi ui(ui::GtestFailure());

    struct Case {
        const char* name;
        std::function<void(QDialog&)> answer;
        std::string expected;  // x.bin afterwards
        std::size_t history;   // rows added
    };
    const std::string prefix = remote.substr(0, 7000);
    ui.AnswerInput("x.bin").AnswerMessage(ui::mrOk).AnswerInput("renamed.bin");
    const Case cases[] = {
        {"skip", Click("Button6"), prefix, 0},
        {"cancel", Click("Button2"), prefix, 0},
        {"resume", Click("Button9"), remote, 1},
        {"overwrite", Click("Button3"), remote, 1},
        {"rename",
         [](QDialog& dialog) {
             ClickButton(dialog, "Button8");  // x.bin exists beside the local file
             ClickButton(dialog, "Button8");
         },
         prefix, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFileBytes(local + "x.bin", prefix);
        const std::size_t history = HistoryRows();
        frame.AddQueueEntry(Entry(1, "x.bin", local + "x.bin", 20000));
        RunWith(frame, {c.answer});
        EXPECT_EQ(Fingerprint(ReadFileBytes(local + "x.bin")), Fingerprint(c.expected));
        EXPECT_EQ(HistoryRows(), history + c.history);
        EXPECT_FALSE(LoggedError(frame));
    }
    EXPECT_EQ(Fingerprint(ReadFileBytes(local + "renamed.bin")), Fingerprint(remote));

    // Folders: Append (only through the choice group) skips, Rename lands in the new folder.
    frame.AddQueueEntry(Entry(1, "tree", local + "tree", 0, true));
    RunWith(frame, {[](QDialog& dialog) {
                ClickButton(dialog, "RadioButton2");
                ClickButton(dialog, "Button4");
            }});
    EXPECT_TRUE(NamesIn(local + "tree").empty());
    ui.AnswerInput("tree copy");
    frame.AddQueueEntry(Entry(1, "tree", local + "tree", 0, true));
    RunWith(frame, {Click("Button8")});
    EXPECT_TRUE(NamesIn(local + "tree").empty());
    EXPECT_EQ(TreeOf(local + "tree copy"), TreeOf(served + "tree"));
}

// "Skip all" and "Overwrite all" hold for the rest of their run, files and folders alike, and
// the next run asks again.
TEST_F(DuplicateRun, StandingAnswersLastOneRun) {
    ftptest::PyftpdlibServer server("alice", "secret");
    const std::string served = server.account().local_folder;
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        WriteFileBytes(served + name, std::string("remote ") + name);
    Tfb& frame = OpenServer(server.account().port);
    const std::string local = folder_ + "down/";
    std::filesystem::create_directories(local);
    const auto queueAll = [&] {
        for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
            WriteFileBytes(local + name, "local");
            frame.AddQueueEntry(Entry(1, name, local + name, 0));
        }
    };
    queueAll();
    RunWith(frame, {Click("Button7")});
    EXPECT_EQ(ReadFileBytes(local + "c.txt"), "local");
    EXPECT_TRUE(frame.FAskDuplicate);
    queueAll();
    RunWith(frame, {Click("Button5")});
    EXPECT_EQ(ReadFileBytes(local + "c.txt"), "remote c.txt");
    EXPECT_EQ(HistoryRows(), 3u);
    queueAll();
    RunWith(frame, {Click("Button6"), Click("Button6"), Click("Button6")});
    EXPECT_EQ(HistoryRows(), 3u);
}

// Two pages whose runs ask at once (the second page's run starts while the first one's
// question is open): "Overwrite all" on the second page and "Skip all" on the first each hold
// for the rest of their own page's run only.
TEST_F(DuplicateRun, TwoPagesAskingAtOnceEachGetTheirOwnAnswer) {
    ftptest::PyftpdlibServer server("alice", "secret");
    const std::string served = server.account().local_folder;
    for (const char* name : {"a.txt", "b.txt"})
        WriteFileBytes(served + name, std::string("remote ") + name);
    Tfb& first = OpenServer(server.account().port, "first");
    Tfb& second = OpenServer(server.account().port, "second");
    ASSERT_NE(&first, &second);
    const auto queueBoth = [](Tfb& frame, const std::string& folder) {
        std::filesystem::create_directories(folder);
        for (const char* name : {"a.txt", "b.txt"}) {
            WriteFileBytes(folder + name, "local");
            frame.AddQueueEntry(Entry(1, name, folder + name, 0));
        }
    };
    queueBoth(first, folder_ + "first/");
    queueBoth(second, folder_ + "second/");
    driver_.Next([&](QDialog& dialog) {
        driver_.Next(Click("Button5"));
        second.StartQueueRun(false);
        EXPECT_TRUE(second.FQueue.empty());
        EXPECT_TRUE(first.FAskDuplicate);
        ClickButton(dialog, "Button7");
    });
    first.StartQueueRun(false);
    EXPECT_EQ(driver_.DialogsDriven(), 2);
    for (const char* name : {"a.txt", "b.txt"}) {
        EXPECT_EQ(ReadFileBytes(folder_ + "first/" + name), "local");
        EXPECT_EQ(ReadFileBytes(folder_ + "second/" + name), std::string("remote ") + name);
    }
}

// Downloads cut at 50 seeded random places resume to the server's bytes through the run; the
// restart probe goes out once on the page's connection.
TEST_F(DuplicateRun, CutDownloadsResumeByteIdentical) {
    ftptest::PyftpdlibServer server("alice", "secret");
    const std::string original = ftptest::RandomBytes(1 << 20, 50);
    WriteFileBytes(server.account().local_folder + "big.bin", original);
    Tfb& frame = OpenServer(server.account().port);
    const std::string target = folder_ + "big.bin";
    std::mt19937 random(20261210);
    std::uniform_int_distribution<std::size_t> cut(2, original.size() - 1);
    for (int attempt = 0; attempt < 50; ++attempt) {
        const std::size_t offset = cut(random);
        SCOPED_TRACE(offset);
        WriteFileBytes(target, original.substr(0, offset));
        frame.AddQueueEntry(
            Entry(1, "big.bin", target, static_cast<std::int64_t>(original.size())));
        RunWith(frame, {Click("Button9")});
        ASSERT_EQ(Fingerprint(ReadFileBytes(target)), Fingerprint(original));
        // The page's restart and the one before RETR.
        ASSERT_EQ(Sent("REST " + std::to_string(offset)), 2);
    }
    EXPECT_EQ(Sent("REST 1"), 1);
    EXPECT_EQ(Sent("REST 0"), 1);
    EXPECT_EQ(HistoryRows(), 50u);
}

// An entry queued without its size (a history or task re-run) learns it from SIZE, and its
// shorter local file is offered the resume that completes it byte for byte.
TEST_F(DuplicateRun, AnEntryWithoutItsSizeStillOffersResume) {
    ftptest::PyftpdlibServer server("alice", "secret");
    const std::string original = ftptest::RandomBytes(100000, 51);
    WriteFileBytes(server.account().local_folder + "sized.bin", original);
    Tfb& frame = OpenServer(server.account().port);
    const std::string target = folder_ + "sized.bin";
    WriteFileBytes(target, original.substr(0, 1234));
    frame.AddQueueEntry(Entry(1, "sized.bin", target, 0));
    bool offered = false;
    RunWith(frame, {[&](QDialog& dialog) {
                offered = ui::Child<QAbstractButton>(dialog, "Button9").isEnabled();
                ClickButton(dialog, offered ? "Button9" : "Button6");
            }});
    EXPECT_TRUE(offered);
    EXPECT_EQ(Fingerprint(ReadFileBytes(target)), Fingerprint(original));
    EXPECT_EQ(Sent("REST 1234"), 2);
    EXPECT_EQ(HistoryRows(), 1u);
}

// A server that accepts the restart and then sends the file from its first byte leaves a
// longer file: the entry fails with a log line and no history row, and the local file is cut
// back to what it held before, whether the server names the file's size when it opens the
// transfer or only SIZE gives it afterwards.
TEST_F(DuplicateRun, AResumeThatSendsTheWholeFileFails) {
    ftptest::ScriptedServer server(ftptest::ScriptedServer::Mode::kFtp,
                                   std::string(R"json({"builtin_data": true, "rules": [
        {"expect": "REST .*", "reply": "350 Restarting"},
        {"expect": "RETR w.bin", "reply": ["150 Here", {"data_send": "0123456789"}, "226 Done"]},
        {"expect": "RETR n.bin", "reply": ["150 Opening for n.bin (15 bytes)",
                                           {"data_send": "0123456789"}, "226 Done"]},
        {"expect": "SIZE .*", "reply": "213 10"},
        )json") + kServeRootRules + "]}");
    Tfb& frame = OpenServer(server.port());
    for (const char* name : {"w.bin", "n.bin"}) {
        SCOPED_TRACE(name);
        ResumeFiveOfTen(frame, name);
        EXPECT_TRUE(HasRow(frame, {"Received 15 of 10 bytes of " + std::string(name) + ".", 2}));
        ASSERT_NO_FATAL_FAILURE(ExpectResumeUndone(frame));
    }
}

// A resume that fails part way on a server that took the restart and sent the file from its
// first byte: whatever ends it (a 426, the control connection closed, the data connection
// reset), the local file is cut back to what it held before, so a later Resume does not go on
// from the old bytes followed by the start of the file.
TEST_F(DuplicateRun, AResumeThatFailsPartWayLeavesTheFileAsItWas) {
    ftptest::ScriptedServer server(ftptest::ScriptedServer::Mode::kFtp,
                                   std::string(R"json({"builtin_data": true, "rules": [
        {"expect": "REST .*", "reply": "350 Restarting"},
        {"expect": "RETR refused.bin", "reply": ["150 Here", {"data_send": "0123456789"},
                                                 "426 Connection closed; transfer aborted"]},
        {"expect": "RETR dropped.bin", "reply": ["150 Here", {"data_send": "0123456789"},
                                                 {"close": true}]},
        {"expect": "RETR reset.bin", "reply": ["150 Here", {"data_send": "0123456789"},
                                               {"data_reset": true}, "226 Done"]},
        {"expect": "SIZE .*", "reply": "213 10"},
        )json") + kServeRootRules + "]}");
    Tfb& frame = OpenServer(server.port());
    for (const char* name : {"refused.bin", "dropped.bin", "reset.bin"}) {
        SCOPED_TRACE(name);
        ResumeFiveOfTen(frame, name);
        EXPECT_TRUE(LoggedError(frame));
        ASSERT_NO_FATAL_FAILURE(ExpectResumeUndone(frame));
    }
}

// A listed size that is not the file's (a link lists its own length, a file may change after
// it was listed) fails no download: the server's size decides, and an Overwrite of the
// downloaded file succeeds too. pyftpdlib names no size when it opens the transfer, so SIZE is
// asked after it.
TEST_F(DuplicateRun, AListedSizeThatIsNotTheFilesFailsNoDownload) {
    ftptest::PyftpdlibServer server("alice", "secret");
    const std::string served = server.account().local_folder;
    const std::string original = ftptest::RandomBytes(3000, 7);
    WriteFileBytes(served + "target.bin", original);
    ASSERT_EQ(::symlink("target.bin", (served + "link.bin").c_str()), 0);
    Tfb& frame = OpenServer(server.account().port);
    const std::string target = folder_ + "link.bin";
    // The size the listing shows for the link: the length of "target.bin".
    frame.AddQueueEntry(Entry(1, "link.bin", target, 10));
    RunWith(frame, {});
    EXPECT_EQ(ReadFileBytes(target), original);
    EXPECT_EQ(Sent("SIZE link.bin"), 1);
    frame.AddQueueEntry(Entry(1, "link.bin", target, 10));
    RunWith(frame, {Click("Button3")});
    EXPECT_EQ(ReadFileBytes(target), original);
    EXPECT_EQ(HistoryRows(), 2u);
    EXPECT_FALSE(LoggedError(frame));
}

// Folder trees through the run: up into a new remote folder, up again onto the existing one
// (answered Overwrite: reused, no MKD), down into a new local folder; all byte-identical.
TEST_F(DuplicateRun, TreesRoundTripThroughTheRun) {
    ftptest::PyftpdlibServer server("alice", "secret");
    const std::string served = server.account().local_folder;
    Tfb& frame = OpenServer(server.account().port);
    const std::string source = folder_ + "my tree";
    std::filesystem::create_directories(source);
    MakeSampleTree(source);
    frame.AddQueueEntry(Entry(0, "my tree", source, 0, true));
    RunWith(frame, {});
    EXPECT_EQ(TreeOf(served + "my tree"), TreeOf(source));
    const int made = Sent("MKD ", true);
    WriteFileBytes(source + "/level 1/b.bin", "changed");
    frame.AddQueueEntry(Entry(0, "my tree", source, 0, true));
    RunWith(frame, {Click("Button3")});
    EXPECT_EQ(Sent("MKD ", true), made);
    EXPECT_EQ(ReadFileBytes(served + "my tree/level 1/b.bin"), "changed");
    frame.AddQueueEntry(Entry(1, "my tree", folder_ + "copy", 0, true));
    RunWith(frame, {});
    EXPECT_EQ(TreeOf(folder_ + "copy"), TreeOf(source));
    EXPECT_EQ(HistoryRows(), 3u);
}

}  // namespace
}  // namespace pagetest
