// The anti-idle timer of a connected page against our scripted server, which records every
// command it receives.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace pagetest
