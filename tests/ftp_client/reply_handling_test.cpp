// Replies as odd servers send them: multi-line replies split across reads, transfers whose
// closing reply is a failure followed by a second reply, replies nobody asked for.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

#include "platform/ftp/id_exceptions.h"
#include "tests/ftp_client/client_rig.h"
#include "tests/ftp_servers/file_bytes.h"
#include "tests/ftp_servers/scripted_login.h"
#include "tests/ftp_servers/server_fixture.h"
#include "tests/ftp_servers/temp_folder.h"

namespace ftptest {
namespace {

std::string Script(const std::string& greeting, const std::string& more_rules) {
    return "{\"greeting\": " + greeting + ", \"rules\": [" + kLoginRules +
           (more_rules.empty() ? "" : ", " + more_rules) + "]}";
}

FtpAccount At(const ScriptedServer& server) {
    return FtpAccount{"127.0.0.1", server.port(), "alice", "secret", "/", ""};
}

struct SplitCase {
    const char* name;
    const char* greeting;           // JSON reply of the greeting
    const char* pwd_reply;          // JSON reply to PWD
    const char* folder;             // what PWD must give
    std::vector<std::string> text;  // the PWD reply's text lines
};

TEST(ReplyHandlingTest, MultiLineRepliesSplitAcrossReads) {
    const SplitCase cases[] = {
        {"lines split mid-line and mid-code",
         R"([{"send": "220-Wel"}, {"delay": 0.15}, {"send": "come\r\n22"}, {"delay": 0.15},
             {"send": "0-second\r\n220 ready\r\n"}])",
         R"([{"send": "2"}, {"delay": 0.15}, {"send": "57 \"/one\" is current\r"},
             {"delay": 0.15}, {"send": "\n"}])",
         "/one",
         {"\"/one\" is current"}},
        {"multi-line reply with inner lines of another form",
         R"("220 ready")",
         R"([{"send": "257-\"/two\" first\r\n"}, {"delay": 0.15},
             {"send": " an inner line\r\n257-another\r"}, {"delay": 0.15},
             {"send": "\n257 end\r\n"}])",
         "/two",
         {"\"/two\" first", " an inner line", "another", "end"}},
        {"a line like the last inside the reply",
         R"([{"send": "220-hello\r\n"}, {"delay": 0.15}, {"send": "220 ready\r\n"}])",
         R"([{"send": "257-\"/three\"\r\n 257 not the end\r\n257"}, {"delay": 0.15},
             {"send": " end\r\n"}])",
         "/three",
         {"\"/three\"", " 257 not the end", "end"}},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedServer server(
            ScriptedServer::Mode::kFtp,
            Script(c.greeting, std::string(R"({"expect": "PWD", "reply": )") + c.pwd_reply + "}"));
        ClientRig rig(At(server));
        rig.Login();
        EXPECT_EQ(rig.ftp.LastCmdResult().NumericCode, 215);
        EXPECT_EQ(rig.ftp.RetrieveCurrentDir(), c.folder);
        EXPECT_EQ(rig.ftp.LastCmdResult().NumericCode, 257);
        EXPECT_EQ(rig.ftp.LastCmdResult().Text, c.text);
        // Nothing of the split reply is left over to answer the next command.
        EXPECT_EQ(rig.ftp.Size("x"), -1);
        EXPECT_EQ(server.Recorded().back(), "SIZE x");
    }
}

const char* const kListingLine = "-rw-r--r--   1 ftp ftp 5 Jan 01 2020 a.txt\r\n";

struct FailedTransferCase {
    const char* name;
    const char* command;  // the command the reply answers
    const char* closing;  // the two replies after the data
    int code;             // the failure's code
};

TEST(ReplyHandlingTest, AFailureBeforeTheClosingReplyFailsTheTransfer) {
    const FailedTransferCase cases[] = {
        {"RETR 426 then 226", "RETR f.bin", R"("426 Connection closed; transfer aborted.",
            "226 Closing data connection.")",
         426},
        {"RETR 450 then 225", "RETR f.bin", R"("450 Transfer aborted.", "225 Data open.")", 450},
        {"LIST 426 then 226", "LIST", R"("426 Broken.", "226 Closing data connection.")", 426},
        {"LIST 426 split then 226", "LIST",
         R"({"send": "426 Bro"}, {"delay": 0.15}, {"send": "ken.\r\n"}, {"delay": 0.15},
            "226 Closing data connection.")",
         426},
    };
    for (const FailedTransferCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string transfer = std::string(R"({"expect": ")") + c.command +
                                     R"(", "reply": ["150 Opening",
            {"data_send": "-rw-r--r--   1 ftp ftp 5 Jan 01 2020 a.txt\r\n"},
            {"data_close": true}, )" +
                                     c.closing + "]}";
        for (const bool passive : {true, false}) {
            SCOPED_TRACE(passive ? "passive" : "active");
            ScriptedServer server(
                ScriptedServer::Mode::kFtp,
                Script("\"220 ready\"",
                       transfer + R"(, {"expect": "PWD", "reply": "257 \"/after\""})"));
            TempFolder local("reply");
            ClientRig rig(At(server));
            rig.ftp.Passive = passive;
            rig.Login();
            try {
                if (std::string(c.command) == "LIST") {
                    std::vector<std::string> lines;
                    rig.ftp.List(lines);
                } else {
                    rig.ftp.Get("f.bin", local.File("f.bin"), false, false);
                }
                FAIL() << "the transfer was taken as done";
            } catch (const ftp::EIdProtocolReplyError& e) {
                EXPECT_EQ(e.ReplyErrorCode(), c.code);
            }
            if (std::string(c.command) != "LIST") {
                // What arrived before the failure stays in the local file.
                EXPECT_EQ(ReadFileBytes(local.File("f.bin")), kListingLine);
            }
            const std::vector<std::string> commands = server.Recorded();
            const std::string data_command = passive ? "PASV" : "PORT 127,0,0,1,";
            EXPECT_TRUE(std::any_of(commands.begin(), commands.end(), [&](const std::string& c) {
                return c.compare(0, data_command.size(), data_command) == 0;
            }));
            // The second reply was read with the failure: the next command gets its own reply.
            EXPECT_TRUE(rig.ftp.Connected());
            EXPECT_EQ(rig.ftp.RetrieveCurrentDir(), "/after");
        }
    }
}

struct BrokenReplyCase {
    const char* name;
    const char* command;  // the command whose reply breaks
    const char* reply;    // JSON reply
    const char* error;    // the error's text
    bool closed;          // the component found the connection closed
};

TEST(ReplyHandlingTest, AServerThatStopsOrDropsMidReplyFailsTheCall) {
    const BrokenReplyCase cases[] = {
        {"stops inside a line", "PWD", R"([{"send": "257 \"/x"}, {"hang": true}])",
         "Read timed out.", false},
        {"stops before the last line", "PWD", R"([{"send": "257-\"/x\"\r\n"}, {"hang": true}])",
         "Read timed out.", false},
        {"drops inside a multi-line reply", "PWD",
         R"([{"send": "257-\"/x\"\r\n"}, {"close": true}])", "Connection Closed Gracefully.", true},
        {"stops sending data", "RETR f.bin",
         R"(["150 Opening", {"data_send": "abc"}, {"hang": true}])", "Read timed out.", false},
        {"drops during a transfer", "RETR f.bin",
         R"(["150 Opening", {"data_send": "abc"}, {"close": true}])",
         "Connection Closed Gracefully.", true},
    };
    for (const BrokenReplyCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedServer server(ScriptedServer::Mode::kFtp,
                              Script("\"220 ready\"", std::string(R"({"expect": ")") + c.command +
                                                          R"(", "reply": )" + c.reply + "}"));
        TempFolder local("broken");
        ClientRig rig(At(server));
        rig.Login();
        rig.ftp.ReadTimeout = 700;
        rig.events.clear();
        try {
            if (std::string(c.command) == "PWD") {
                rig.ftp.RetrieveCurrentDir();
            } else {
                rig.ftp.Get("f.bin", local.File("f.bin"), false, false);
            }
            FAIL() << "the call succeeded";
        } catch (const ftp::EIdException& e) {
            EXPECT_STREQ(e.what(), c.error);
        }
        if (c.closed) {
            EXPECT_FALSE(rig.ftp.Connected());
            EXPECT_EQ(rig.events, DisconnectEvents());
        }
    }
}

struct OutOfTurnCase {
    const char* name;
    const char* greeting;    // JSON reply of the greeting
    const char* noop_reply;  // JSON reply to NOOP
    bool late;               // the extra reply comes after a pause; the test waits for it
    const char* extra;       // the reply out of turn, as the note names it
};

TEST(ReplyHandlingTest, RepliesOutOfTurnArePassedOverBeforeTheNextCommand) {
    const OutOfTurnCase cases[] = {
        {"a second greeting", R"([{"send": "220 ready\r\n220 ready again\r\n"}])",
         R"("200 NOOP ok")", false, "220 ready again"},
        {"a line after a reply, in one write", R"("220 ready")",
         R"([{"send": "200 NOOP ok\r\n211 Talking out of turn\r\n"}])", false,
         "211 Talking out of turn"},
        {"a multi-line reply after a reply", R"("220 ready")",
         R"([{"send": "200 NOOP ok\r\n211-Out\r\n of turn\r\n211 end\r\n"}])", false,
         "211 Out\n of turn\nend"},
        {"a line that comes later", R"("220 ready")",
         R"(["200 NOOP ok", {"delay": 0.2}, "421 Talking late"])", true, "421 Talking late"},
    };
    for (const OutOfTurnCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedServer server(
            ScriptedServer::Mode::kFtp,
            Script(c.greeting, std::string(R"({"expect": "NOOP", "reply": )") + c.noop_reply +
                                   R"(}, {"expect": "PWD", "reply": "257 \"/after\""})"));
        ClientRig rig(At(server));
        std::vector<std::string> notes;
        rig.ftp.OnStatus = [&](ftp::TIdStatus status, const std::string& text) {
            if (status == ftp::TIdStatus::hsStatusText)
                notes.push_back(text);
        };
        rig.Login();
        EXPECT_EQ(rig.ftp.SendCmd("NOOP"), 200);
        if (c.late) {
            // The connected test takes in what has come; wait until the late line is there.
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (rig.received.find("Talking late") == std::string::npos &&
                   std::chrono::steady_clock::now() < deadline) {
                ASSERT_TRUE(rig.ftp.Connected());
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        }
        // Every command reads its own reply.
        EXPECT_EQ(rig.ftp.RetrieveCurrentDir(), "/after");
        EXPECT_EQ(rig.ftp.LastCmdResult().NumericCode, 257);
        EXPECT_EQ(notes, std::vector<std::string>{std::string("Reply out of turn passed over: ") +
                                                  c.extra});
        EXPECT_EQ(server.Recorded(),
                  (std::vector<std::string>{"USER alice", "PASS secret", "SYST", "NOOP", "PWD"}));
    }
}

}  // namespace
}  // namespace ftptest
