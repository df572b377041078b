// The anti-idle timer of a connected page against our scripted server, which records every
// command it receives.
#include <gtest/gtest.h>

#include <QTimer>

#include <algorithm>
#include <string>
#include <vector>

#include "connection/page_session.h"
#include "tests/ftp_servers/server_fixture.h"
#include "tests/pages/page_rig.h"

namespace pagetest {
namespace {

using PageAntiIdle = PageRig;

int Count(const std::vector<std::string>& lines, const std::string& line) {
    return static_cast<int>(std::count(lines.begin(), lines.end(), line));
}

TEST_F(PageAntiIdle, AnEnabledCommandReachesTheServerAfterTheInterval) {
    ftptest::ScriptedServer server(
        ftptest::ScriptedServer::Mode::kFtp,
        std::string(R"({"rules": [{"expect": "STAT", "reply": "211 Status"},)") + kServeRootRules +
            "]}");
    SetOptions(2, {{"NOOP", true}, {"STAT", false}});
    AddServerSite({.name = "idle", .port = server.port(), .user = "u", .password = "p"});
    Tfb& frame = OpenSite("idle");
    ASSERT_EQ(TabImage(frame), 1);
    EXPECT_EQ(frame.FIdleCommands, std::vector<std::string>{"NOOP"});
    EXPECT_EQ(frame.FSite.interval, 2);

    ASSERT_TRUE(WaitUntil([&] { return Count(server.Recorded(), "NOOP") >= 1; }));
    EXPECT_EQ(Count(server.Recorded(), "STAT"), 0);
    ASSERT_TRUE(WaitUntil([&] { return HasRow(frame, {"200 NOOP ok", 1}); }));
    EXPECT_TRUE(HasRow(frame, {"NOOP", 0}));
}

// The page's exchange waits 5 s for a LIST reply while the anti-idle timer ticks every second
// with an interval of 1: nothing goes out before the reply; the command follows afterwards.
TEST_F(PageAntiIdle, NoCommandIsWrittenWhileAListingReplyIsAwaited) {
    ftptest::ScriptedServer server(ftptest::ScriptedServer::Mode::kFtp, std::string(R"({
      "steps": [
        {"expect": "LIST", "reply": ["150 Listing", {"data_send": "-rw-r--r-- 1 u g 5 Jan 02 2026 a.txt\r\n"}, "226 Done"]},
        {"expect": "LIST", "reply": ["150 Listing", {"delay": 5}, {"data_send": "-rw-r--r-- 1 u g 5 Jan 02 2026 b.txt\r\n"}, "226 Done"]}
      ],
      "rules": [)") + kServeRootRules + "]}");
    SetOptions(1, {{"NOOP", true}});
    AddServerSite({.name = "slow list", .port = server.port(), .user = "u", .password = "p"});
    Tfb& frame = OpenSite("slow list");
    ASSERT_EQ(TabImage(frame), 1);

    {
        // What every command of the page does: its exchange holds the guard.
        auto exchange = frame.Session().Guard().TryBegin();
        ASSERT_TRUE(exchange);
        frame.ChangeDirAndList("/");
    }
    std::vector<std::string> recorded = server.Recorded();
    const auto lastList = std::find(recorded.rbegin(), recorded.rend(), "LIST");
    ASSERT_NE(lastList, recorded.rend());
    EXPECT_EQ(Count(recorded, "LIST"), 2);
    EXPECT_EQ(std::find(recorded.rbegin(), lastList, "NOOP"), lastList)
        << "an anti-idle command was written while the LIST reply was awaited";
    EXPECT_EQ(frame.FDisplayList.size(), 1u);
    EXPECT_EQ(frame.FDisplayList.at(0).name, "b.txt");

    // The ticks go on once the reply has come.
    ASSERT_TRUE(WaitUntil([&] {
        recorded = server.Recorded();
        return recorded.back() == "NOOP";
    }));
}

TEST_F(PageAntiIdle, ReloadedOptionsReplaceTheCommandsAndStartTheCountOver) {
    ftptest::ScriptedServer server(ftptest::ScriptedServer::Mode::kFtp,
                                   std::string(R"({"rules": [)") + kServeRootRules + "]}");
    SetOptions(600, {{"NOOP", true}});
    AddServerSite({.name = "reload", .port = server.port(), .user = "u", .password = "p"});
    Tfb& frame = OpenSite("reload");
    ASSERT_EQ(frame.FIdleCommands, std::vector<std::string>{"NOOP"});
    {
        OpenTable table(*dm->Tantiidle);
        table->Append();
        table->FieldByName("command").SetAsString("PWD");
        table->FieldByName("tf").SetAsBoolean(true);
        table->Post();
        OpenTable options(*dm->Toption);
        options->Edit();
        options->FieldByName("interval").SetAsInteger(30);
        options->Post();
    }
    frame.FIdleTicks = 12;
    frame.ReloadOptions();
    EXPECT_EQ(frame.FIdleCommands, (std::vector<std::string>{"NOOP", "PWD"}));
    EXPECT_EQ(frame.FSite.interval, 30);
    EXPECT_EQ(frame.FIdleTicks, 0);
}

// "Enabled anti-idle" unticked: ticks send nothing however long the page is idle; ticked and
// reloaded (the options dialog's OK), the next tick sends the command.
TEST_F(PageAntiIdle, TheSwitchOffSendsNothingUntilItIsOnAndReloaded) {
    ftptest::ScriptedServer server(ftptest::ScriptedServer::Mode::kFtp,
                                   std::string(R"({"rules": [)") + kServeRootRules + "]}");
    SetOptions(1, {{"NOOP", true}}, false);
    AddServerSite({.name = "switch", .port = server.port(), .user = "u", .password = "p"});
    Tfb& frame = OpenSite("switch");
    ASSERT_EQ(TabImage(frame), 1);
    frame.Timer2->stop();  // the test ticks itself
    for (int tick = 0; tick < 3; ++tick)
        frame.Timer2Timer();
    EXPECT_EQ(Count(server.Recorded(), "NOOP"), 0);

    {
        OpenTable options(*dm->Toption);
        options->Edit();
        options->FieldByName("eanti").SetAsBoolean(true);
        options->Post();
    }
    frame.ReloadOptions();
    frame.Timer2Timer();
    EXPECT_EQ(Count(server.Recorded(), "NOOP"), 1);
}

// A queue pass that finds another exchange of the page waiting leaves its entries and ends
// with the anti-idle timer running again, as every other pass does.
TEST_F(PageAntiIdle, APassThatCannotTakeTheExchangeSwitchesTheTimerOnAgain) {
    ftptest::ScriptedServer server(ftptest::ScriptedServer::Mode::kFtp,
                                   std::string(R"({"rules": [)") + kServeRootRules + "]}");
    SetOptions(30, {{"NOOP", true}});
    AddServerSite({.name = "busy", .port = server.port(), .user = "u", .password = "p"});
    Tfb& frame = OpenSite("busy");
    ASSERT_EQ(TabImage(frame), 1);
    ASSERT_TRUE(frame.Timer2->isActive());
    rupdown entry;
    entry.direction = 1;
    entry.name = "a.txt";
    entry.lopath = "/nonexistent/a.txt";
    entry.ftppath = "0";
    frame.AddQueueEntry(entry);
    {
        auto exchange = frame.Session().Guard().TryBegin();
        ASSERT_TRUE(exchange);
        frame.FBusy = true;
        frame.RunTransferQueue();
        frame.FBusy = false;
    }
    EXPECT_EQ(frame.FQueue.size(), 1u);
    EXPECT_TRUE(frame.Timer2->isActive());
}

}  // namespace
}  // namespace pagetest
