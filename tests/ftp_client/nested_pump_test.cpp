// Handlers that run inside a blocking call's message pump: one that closes (or closes and
// reopens) the connection makes the waiting call fail without touching the socket again; one
// that sends another command is refused with nothing sent; an Abort fails the waiting transfer.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/ftp/id_anti_freeze.h"
#include "platform/ftp/id_exceptions.h"
#include "tests/ftp_client/client_rig.h"
#include "tests/ftp_servers/file_bytes.h"
#include "tests/ftp_servers/scripted_login.h"
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

// The connected event closes the new connection and opens another: the outer Connect fails
// and leaves the handler's connection alone, which reads its own greeting and replies.
TEST(NestedPumpTest, ReconnectFromTheConnectedEventFailsTheOuterConnect) {
    ScriptedServer server(ScriptedServer::Mode::kFtp, kScript);
    ClientRig rig(FtpAccount{"127.0.0.1", server.port(), "alice", "secret", "/", ""});
    bool armed = true;
    rig.ftp.OnConnected = [&] {
        if (!armed)
            return;
        armed = false;
        rig.ftp.Disconnect();
        rig.Login();
    };
    EXPECT_THROW(rig.Login(), ftp::EIdClosedSocket);
    EXPECT_FALSE(armed);
    EXPECT_TRUE(rig.ftp.Connected());
    EXPECT_EQ(rig.ftp.RetrieveCurrentDir(), "/second");
    EXPECT_EQ(server.Recorded(),
              (std::vector<std::string>{"USER alice", "PASS secret", "SYST", "PWD"}));
}

// Every command a handler may try while another exchange of the connection runs. Each must be
// refused before anything is sent.
struct NestedCall {
    const char* name;
    std::function<void(ftp::TIdFTP&, const std::string& folder)> call;
};

std::vector<NestedCall> NestedCalls() {
    return {
        {"SendCmd", [](ftp::TIdFTP& f, const std::string&) { f.SendCmd("NOOP"); }},
        {"ChangeDir", [](ftp::TIdFTP& f, const std::string&) { f.ChangeDir("/x"); }},
        {"RetrieveCurrentDir", [](ftp::TIdFTP& f, const std::string&) { f.RetrieveCurrentDir(); }},
        {"MakeDir", [](ftp::TIdFTP& f, const std::string&) { f.MakeDir("d"); }},
        {"RemoveDir", [](ftp::TIdFTP& f, const std::string&) { f.RemoveDir("d"); }},
        {"Delete", [](ftp::TIdFTP& f, const std::string&) { f.Delete("f"); }},
        {"Rename", [](ftp::TIdFTP& f, const std::string&) { f.Rename("a", "b"); }},
        {"Size", [](ftp::TIdFTP& f, const std::string&) { f.Size("f"); }},
        {"SetTransferType",
         [](ftp::TIdFTP& f, const std::string&) {
             f.SetTransferType(ftp::TIdFTPTransferType::ftASCII);
         }},
        {"List",
         [](ftp::TIdFTP& f, const std::string&) {
             std::vector<std::string> lines;
             f.List(lines);
         }},
        {"Get", [](ftp::TIdFTP& f,
                   const std::string& folder) { f.Get("f", folder + "/nested-get", true, false); }},
        {"Put",
         [](ftp::TIdFTP& f, const std::string& folder) { f.Put(folder + "/up", "u", false); }},
    };
}

// Where the nested calls come from: the pump of a reply that comes late, a download's progress
// event, the connected event before the greeting is read.
const char* const kBusyScript = R"({"greeting": [{"delay": 0.5}, "220 ready"], "rules": [
    {"expect": "USER .*", "reply": "331 Password required"},
    {"expect": "PASS .*", "reply": "230 Logged in"},
    {"expect": "SYST", "reply": "215 UNIX Type: L8"},
    {"expect": "PWD", "reply": [{"delay": 1.0}, "257 \"/first\""]},
    {"expect": "RETR f.txt", "reply": ["150 Opening data connection", {"data_send": "hello"},
                                       {"delay": 0.5}, {"data_send": " world"},
                                       {"data_close": true}, "226 Transfer complete"]},
    {"expect": "NOOP", "reply": "200 NOOP ok"}]})";

enum class Busy { kReplyAwaited, kDownloadRunning, kLoginRunning };

TEST(NestedPumpTest, ACommandWhileAnotherExchangeRunsIsRefusedWithNothingSent) {
    const struct {
        const char* name;
        Busy busy;
        std::vector<std::string> recorded;
    } cases[] = {
        {"reply awaited",
         Busy::kReplyAwaited,
         {"USER alice", "PASS secret", "SYST", "PWD", "NOOP"}},
        {"download running",
         Busy::kDownloadRunning,
         {"USER alice", "PASS secret", "SYST", "PASV", "RETR f.txt", "NOOP"}},
        {"login running", Busy::kLoginRunning, {"USER alice", "PASS secret", "SYST", "NOOP"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedServer server(ScriptedServer::Mode::kFtp, kBusyScript);
        TempFolder local("nested-refused");
        WriteFileBytes(local.File("up"), "up");
        ClientRig rig(FtpAccount{"127.0.0.1", server.port(), "alice", "secret", "/", ""});

        int handlerRuns = 0;
        std::vector<std::string> refused;
        bool connectedInside = false;
        auto tryEverything = [&] {
            if (handlerRuns++ > 0)
                return;
            for (const NestedCall& nested : NestedCalls()) {
                try {
                    nested.call(rig.ftp, local.path());
                } catch (const ftp::EIdCommandInProgress&) {
                    refused.push_back(nested.name);
                }
            }
            // The connected test stays allowed, and says the connection is fine.
            connectedInside = rig.ftp.Connected();
        };
        ftp::TIdAntiFreeze anti_freeze;
        std::string folder;
        std::string fetched;
        switch (c.busy) {
            case Busy::kReplyAwaited:
                rig.Login();
                anti_freeze.OnIdle = tryEverything;
                folder = rig.ftp.RetrieveCurrentDir();
                EXPECT_EQ(folder, "/first");
                break;
            case Busy::kDownloadRunning:
                rig.Login();
                rig.ftp.OnWork = [&](ftp::TWorkMode, std::int64_t) { tryEverything(); };
                rig.ftp.Get("f.txt", local.File("f.txt"), false, false);
                EXPECT_EQ(ReadFileBytes(local.File("f.txt")), "hello world");
                break;
            case Busy::kLoginRunning:
                rig.ftp.OnConnected = tryEverything;
                rig.Login();
                break;
        }
        anti_freeze.OnIdle = nullptr;
        rig.ftp.OnWork = nullptr;
        EXPECT_GE(handlerRuns, 1);
        std::vector<std::string> all;
        for (const NestedCall& nested : NestedCalls())
            all.push_back(nested.name);
        EXPECT_EQ(refused, all);
        EXPECT_TRUE(connectedInside);
        EXPECT_EQ(rig.ftp.TransferType(), ftp::TIdFTPTransferType::ftBinary);
        // The outer call got its own reply and the connection is in step.
        EXPECT_EQ(rig.ftp.SendCmd("NOOP"), 200);
        EXPECT_EQ(server.Recorded(), c.recorded);
    }
}

// A download that a handler aborts ends with the abort error, whatever the server answers: here
// the server finished the transfer before the ABOR reached it and answers it with success. The
// replies stay in step, and a download aborted before its RETR never sends it.
struct AbortCase {
    const char* name;
    const char* transferReplies;   // JSON rules for PASV (answered by the script) and RETR
    const char* abortWhenSent;     // the handler aborts at its first run after this was sent
    std::int64_t abortAfterBytes;  // ... and once this many bytes of the file arrived
    bool fromProgress;             // aborts from the progress event instead of the pump
    std::vector<std::string> recorded;
    const char* fileBytes;  // what the local file holds afterwards
};

TEST(NestedPumpTest, AnAbortedDownloadEndsWithTheAbortErrorWhateverTheServerAnswers) {
    const AbortCase cases[] = {
        {"while the closing reply is late",
         R"({"expect": "PASV", "reply": [{"pasv": true}]},
            {"expect": "RETR f.txt", "reply": ["150 Opening data connection",
              {"data_send": "hello"}, {"data_close": true}, {"delay": 1.0},
              "226 Transfer complete"]})",
         "RETR f.txt\r\n",
         5,
         false,
         {"USER alice", "PASS secret", "SYST", "PASV", "RETR f.txt", "ABOR", "PWD"},
         "hello"},
        {"while data still arrives",
         R"({"expect": "PASV", "reply": [{"pasv": true}]},
            {"expect": "RETR f.txt", "reply": ["150 Opening data connection",
              {"data_send": "hello", "repeat": 20000}, {"data_close": true},
              "226 Transfer complete"]})",
         "RETR f.txt\r\n",
         0,
         true,
         {"USER alice", "PASS secret", "SYST", "PASV", "RETR f.txt", "ABOR", "PWD"},
         nullptr},
        {"while the passive reply is late",
         R"({"expect": "PASV", "reply": [{"delay": 1.0}, {"pasv": true}]},
            {"expect": "RETR f.txt", "reply": ["150 Opening data connection",
              {"data_send": "hello"}, {"data_close": true}, "226 Transfer complete"]})",
         "PASV\r\n",
         0,
         false,
         {"USER alice", "PASS secret", "SYST", "PASV", "ABOR", "PWD"},
         ""},
    };
    for (const AbortCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string script = std::string(R"({"builtin_data": false, "rules": [)") +
                                   kLoginRules + ", " + c.transferReplies + R"(,
            {"expect": "ABOR", "reply": "226 ABOR command successful"},
            {"expect": "PWD", "reply": "257 \"/here\""}]})";
        ScriptedServer server(ScriptedServer::Mode::kFtp, script);
        ClientRig rig(FtpAccount{"127.0.0.1", server.port(), "alice", "secret", "/", ""});
        rig.Login();
        TempFolder local("nested-abort");
        bool aborted = false;
        std::int64_t arrived = 0;
        const std::string trigger = c.abortWhenSent;
        auto abortOnce = [&] {
            if (arrived < c.abortAfterBytes)
                return;
            const bool sent =
                rig.sent.size() >= trigger.size() &&
                rig.sent.compare(rig.sent.size() - trigger.size(), trigger.size(), trigger) == 0;
            if (aborted || !sent)
                return;
            aborted = true;
            rig.ftp.Abort();
        };
        ftp::TIdAntiFreeze anti_freeze;
        rig.ftp.OnWork = [&](ftp::TWorkMode, std::int64_t so_far) {
            arrived = so_far;
            if (c.fromProgress)
                abortOnce();
        };
        if (!c.fromProgress)
            anti_freeze.OnIdle = abortOnce;
        try {
            rig.ftp.Get("f.txt", local.File("f.txt"), false, false);
            ADD_FAILURE() << "the aborted download was taken as done";
        } catch (const ftp::EIdClosedSocket& e) {
            EXPECT_STREQ(e.what(), "Disconnected.");
        }
        EXPECT_TRUE(aborted);
        if (c.fileBytes) {
            EXPECT_EQ(ReadFileBytes(local.File("f.txt")), c.fileBytes);
        }
        // Neither the transfer's closing reply nor the answer to ABOR answers the next command.
        EXPECT_EQ(rig.ftp.RetrieveCurrentDir(), "/here");
        EXPECT_EQ(server.Recorded(), c.recorded);
    }
}

}  // namespace
}  // namespace ftptest
