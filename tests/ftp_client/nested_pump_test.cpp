// A timer handler that runs inside a blocking call's message pump and closes (or closes and
// reopens) the connection: the waiting call fails without touching the socket again.
#include <gtest/gtest.h>

#include "platform/ftp/id_anti_freeze.h"
#include "platform/ftp/id_exceptions.h"
#include "tests/ftp_client/client_rig.h"
#include "tests/ftp_servers/server_fixture.h"

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

}  // namespace
}  // namespace ftptest
