// A timer handler that runs inside a blocking call's message pump and closes (or closes and
// reopens) the connection: the waiting call fails without touching the socket again.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>

#include "platform/ftp/id_anti_freeze.h"
#include "platform/ftp/id_exceptions.h"
#include "tests/ftp_client/client_rig.h"
#include "tests/ftp_servers/file_bytes.h"
#include "tests/ftp_servers/server_fixture.h"
#include "tests/ftp_servers/temp_folder.h"

namespace ftptest {
namespace {

// The first connection answers PWD only after a second, the second one at once.
const char* const kScript = R"({"sessions": [
  {"rules": [
    {"expect": "USER .*", "reply": "331 Password required"},
    {"expect": "PASS .*", "reply": "230 Logged in"},
    {"expect": "SYST", "reply": "215 UNIX Type: L8"},
    {"expect": "PWD", "reply": [{"delay": 1.0}, "257 \"/first\""]}]},
  {"rules": [
    {"expect": "USER .*", "reply": "331 Password required"},
    {"expect": "PASS .*", "reply": "230 Logged in"},
    {"expect": "SYST", "reply": "215 UNIX Type: L8"},
    {"expect": "PWD", "reply": "257 \"/second\""}]}
]})";

struct PumpCase {
    const char* name;
    bool reconnect;  // the handler opens a new connection after closing the old one
    std::vector<std::string> recorded;
};

TEST(NestedPumpTest, HandlerClosingTheConnectionFailsTheWaitingCall) {
    const PumpCase cases[] = {
        {"close", false, {"USER alice", "PASS secret", "SYST", "PWD"}},
        {"close and reconnect",
         true,
         {"USER alice", "PASS secret", "SYST", "PWD", "USER alice", "PASS secret", "SYST", "PWD"}},
    };
    for (const PumpCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedServer server(ScriptedServer::Mode::kFtp, kScript);
        ClientRig rig(FtpAccount{"127.0.0.1", server.port(), "alice", "secret", "/", ""});
        rig.Login();
        rig.events.clear();

        bool armed = true;
        int pumps_inside = 0;
        ftp::TIdAntiFreeze anti_freeze;
        anti_freeze.OnIdle = [&] {
            ++pumps_inside;
            if (!armed) {
                return;
            }
            armed = false;  // a one-shot timer
            rig.ftp.Disconnect();
            if (c.reconnect) {
                rig.Login();
            }
        };
        EXPECT_THROW(rig.ftp.RetrieveCurrentDir(), ftp::EIdClosedSocket);
        EXPECT_FALSE(armed);
        EXPECT_GE(pumps_inside, 1);
        if (c.reconnect) {
            EXPECT_TRUE(rig.ftp.Connected());
            EXPECT_EQ(rig.ftp.RetrieveCurrentDir(), "/second");
        } else {
            EXPECT_FALSE(rig.ftp.Connected());
            EXPECT_EQ(rig.events, DisconnectEvents());
        }
        EXPECT_EQ(server.Recorded(), c.recorded);
    }
}

// The closing reply of a download comes late; meanwhile a handler sends ABOR (the Abort button
// pressed as the transfer ends). The download still gets its own 226, and the answer to ABOR
// is not taken for the reply of the next command.
const char* const kLateClosingReply = R"({"rules": [
    {"expect": "USER .*", "reply": "331 Password required"},
    {"expect": "PASS .*", "reply": "230 Logged in"},
    {"expect": "SYST", "reply": "215 UNIX Type: L8"},
    {"expect": "RETR f.txt", "reply": ["150 Opening data connection", {"data_send": "hello"},
                                       {"data_close": true}, {"delay": 1.0},
                                       "226 Transfer complete"]},
    {"expect": "ABOR", "reply": "225 No transfer to abort"},
    {"expect": "PWD", "reply": "257 \"/here\""}]})";

TEST(NestedPumpTest, AbortWhileTheClosingReplyIsAwaitedKeepsTheRepliesInStep) {
    ScriptedServer server(ScriptedServer::Mode::kFtp, kLateClosingReply);
    ClientRig rig(FtpAccount{"127.0.0.1", server.port(), "alice", "secret", "/", ""});
    rig.Login();
    rig.ftp.ReadTimeout = 3000;  // a reply that never comes fails the test soon
    TempFolder local("nested-abort");

    using Clock = std::chrono::steady_clock;
    std::optional<Clock::time_point> dataDone;
    rig.ftp.OnWork = [&](ftp::TWorkMode, std::int64_t so_far) {
        if (so_far == 5)
            dataDone = Clock::now();
    };
    bool aborted = false;
    ftp::TIdAntiFreeze anti_freeze;
    anti_freeze.OnIdle = [&] {
        // Well after the data connection has ended, the download waits for its closing reply.
        if (aborted || !dataDone || Clock::now() - *dataDone < std::chrono::milliseconds(300))
            return;
        aborted = true;
        rig.ftp.Abort();
    };
    rig.ftp.Get("f.txt", local.File("f.txt"), false, false);
    EXPECT_TRUE(aborted);
    EXPECT_EQ(rig.ftp.LastCmdResult().NumericCode, 226);
    EXPECT_EQ(ReadFileBytes(local.File("f.txt")), "hello");
    EXPECT_EQ(rig.ftp.RetrieveCurrentDir(), "/here");
    EXPECT_EQ(server.Recorded(), (std::vector<std::string>{"USER alice", "PASS secret", "SYST",
                                                           "PASV", "RETR f.txt", "ABOR", "PWD"}));
}

}  // namespace
}  // namespace ftptest
