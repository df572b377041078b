// An aborted download fails with the abort error whatever the server answers, in whatever
// order, shape and timing: the closing reply of RETR and the answers to ABOR come as single-
// and multi-line 226, 225 and 426 replies, each way round, split across reads, with 1xx replies
// among them (a 1xx is only ever preliminary there), at once or only once the client has gone
// on to its next command, while the abort cuts in before the opening reply, during the data,
// while the closing reply is awaited and in the middle of it; directly and through SOCKS 5.
// Every later command then reads its own reply.
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/ftp/id_anti_freeze.h"
#include "platform/ftp/id_exceptions.h"
#include "tests/ftp_client/client_rig.h"
#include "tests/ftp_servers/scripted_login.h"
#include "tests/ftp_servers/server_fixture.h"
#include "tests/ftp_servers/temp_folder.h"

namespace ftptest {
namespace {

// What the server sends after the data of RETR (`closing`, its first part `closingHead` sent
// apart from the rest a moment later) and in answer to ABOR (`abortAnswer`; with `answerLate`
// only a moment after ABOR came, when the client already sent its next command), as raw text;
// `opening` is the opening reply of RETR.
struct Replies {
    const char* name;
    std::string closingHead;
    std::string closingRest;
    std::string abortAnswer;
    bool answerLate = false;
    std::string opening = "150 Opening data connection\r\n";
};

// The opening reply of a server that follows an abort with 1xx replies.
const char* const kMultiLineOpening =
    "150-Accepted data connection\r\n150 5120.0 kbytes to download\r\n";

// Each first part is a reply not yet complete: the abort "inside the closing reply" comes
// before the client could take the transfer for done.
const Replies kReplies[] = {
    {"single 226, then 225", "22", "6 Transfer complete\r\n", "225 ABOR command successful\r\n"},
    {"multi-line 226, then 226", "226-File successfully transferred\r\n",
     "226 0.000 seconds (measured here), 9.54 Mbytes per second\r\n",
     "226 Since you see this ABOR must've succeeded\r\n"},
    {"multi-line 226, then 426 and 226", "226-File successfully transferred\r\n226 0.0",
     "00 seconds (measured here), 9.54 Mbytes per second\r\n",
     "426 Transfer aborted\r\n226-Abort\r\n226 successful\r\n"},
    {"426, then multi-line 226", "426 Connection closed; ",
     "transfer aborted.\r\n226-ABOR command successful\r\n226 end\r\n", ""},
    {"225 for ABOR before the multi-line 226", "225 ABOR comm",
     "and successful\r\n226-File successfully transferred\r\n226 0.000 seconds (measured "
     "here)\r\n",
     ""},
    {"single 225, then multi-line 226", "225 Transfer", " done\r\n",
     "226-ABOR\r\n226 command successful\r\n"},
    // What a server sent when ABOR reached it while it was closing the transfer: the closing
    // reply came with the opening reply's code, the answer to ABOR after the next command.
    {"150 for the closing reply, then a late 226", "150 0.004 seconds (measured here), ",
     "1140.82 Mbytes per second\r\n", "226 Since you see this ABOR must've succeeded\r\n", true,
     kMultiLineOpening},
    {"multi-line 226, then a late 150 and 226", "226-File successfully transferred\r\n",
     "226 0.004 seconds (measured here), 1140.82 Mbytes per second\r\n",
     "150 0.004 seconds (measured here), 1140.82 Mbytes per second\r\n"
     "226 Since you see this ABOR must've succeeded\r\n",
     true, kMultiLineOpening},
    {"426, then a late multi-line 150 and 225", "426 Connection closed; ", "transfer aborted.\r\n",
     "150-Closing\r\n150 data connection\r\n225 ABOR command successful\r\n", true},
    {"226, then 426, 125 and 226", "22", "6 Transfer complete\r\n",
     "426 Transfer aborted\r\n125 Closing data connection\r\n226 Abort successful\r\n"},
    {"150 split across reads, then 226, then a late 226", "150 File status okay; 0.004 sec",
     "onds\r\n226 Transfer complete\r\n", "226 ABOR command successful\r\n", true},
};

enum class When { kBeforeOpening, kDuringData, kAwaitingClosing, kInsideClosing };

const When kTimings[] = {When::kBeforeOpening, When::kDuringData, When::kAwaitingClosing,
                         When::kInsideClosing};

const char* NameOf(When when) {
    switch (when) {
        case When::kBeforeOpening:
            return "before the opening reply";
        case When::kDuringData:
            return "during the data";
        case When::kAwaitingClosing:
            return "while the closing reply is awaited";
        case When::kInsideClosing:
            return "inside the closing reply";
    }
    return "";
}

// A JSON string of raw text.
std::string Json(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '"' || c == '\\')
            out += std::string("\\") + c;
        else
            out += c;
    }
    return out + "\"";
}

std::string Script(const Replies& replies, When when) {
    const std::string delay = R"({"delay": 0.5})";
    std::string retr = "[";
    if (when == When::kBeforeOpening)
        retr += delay + ", ";
    retr += R"({"send": )" + Json(replies.opening) + "}, ";
    retr += when == When::kDuringData ? R"({"data_send": "hello", "repeat": 20000}, )"
                                      : R"({"data_send": "hello"}, )";
    retr += R"({"data_close": true}, )";
    if (when == When::kAwaitingClosing)
        retr += delay + ", ";
    retr += R"({"send": )" + Json(replies.closingHead) + "}, ";
    if (when == When::kInsideClosing)
        retr += delay + ", ";
    retr += R"({"send": )" + Json(replies.closingRest) + "}]";
    const std::string abor = std::string("[") + (replies.answerLate ? R"({"delay": 0.3}, )" : "") +
                             R"({"send": )" + Json(replies.abortAnswer) + "}]";
    return std::string(R"({"builtin_data": true, "rules": [)") + kLoginRules +
           R"(, {"expect": "RETR f.txt", "reply": )" + retr + R"(}, {"expect": "ABOR", "reply": )" +
           abor + R"(}, {"expect": "PWD", "reply": "257 \"/here\""},)" +
           R"( {"expect": "NOOP", "reply": "200 Still here"}]})";
}

enum class Route { kDirect, kSocks5 };

void PrintTo(Route route, std::ostream* out) {
    *out << (route == Route::kDirect ? "Direct" : "ThroughSocks5");
}

class AbortRepliesTest : public ::testing::TestWithParam<Route> {};

TEST_P(AbortRepliesTest, AnAbortedDownloadFailsWithTheAbortError) {
    std::unique_ptr<MicrosocksServer> socks;
    if (GetParam() == Route::kSocks5)
        socks = std::make_unique<MicrosocksServer>("sockuser", "sock-pass");
    for (const Replies& replies : kReplies) {
        for (const When when : kTimings) {
            SCOPED_TRACE(std::string(replies.name) + ", " + NameOf(when));
            ScriptedServer server(ScriptedServer::Mode::kFtp, Script(replies, when));
            ClientRig rig(FtpAccount{"127.0.0.1", server.port(), "alice", "secret", "/", ""});
            if (socks)
                rig.UseSocks(ftp::TSocksVersion::svSocks5, socks->port(), "sockuser", "sock-pass");
            rig.Login();
            TempFolder local("abort-replies");
            bool aborted = false;
            std::int64_t arrived = 0;
            auto endsWith = [](const std::string& text, const std::string& tail) {
                return text.size() >= tail.size() &&
                       text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
            };
            auto due = [&] {
                switch (when) {
                    case When::kBeforeOpening:
                        return endsWith(rig.sent, "RETR f.txt\r\n");
                    case When::kDuringData:
                        return arrived > 0;
                    case When::kAwaitingClosing:
                        return arrived == 5;
                    case When::kInsideClosing:
                        return endsWith(rig.received, replies.closingHead);
                }
                return false;
            };
            auto abortOnce = [&] {
                if (aborted || !due())
                    return;
                aborted = true;
                rig.ftp.Abort();
            };
            ftp::TIdAntiFreeze antiFreeze;
            antiFreeze.OnIdle = abortOnce;
            rig.ftp.OnWork = [&](ftp::TWorkMode, std::int64_t soFar) {
                arrived = soFar;
                if (when == When::kDuringData)
                    abortOnce();
            };
            try {
                rig.ftp.Get("f.txt", local.File("f.txt"), false, false);
                ADD_FAILURE() << "the aborted download was taken as done";
            } catch (const ftp::EIdClosedSocket& e) {
                EXPECT_STREQ(e.what(), "Disconnected.");
            } catch (const std::exception& e) {
                ADD_FAILURE() << "failed with \"" << e.what() << "\" instead of the abort error";
            }
            EXPECT_TRUE(aborted);
            antiFreeze.OnIdle = nullptr;
            rig.ftp.OnWork = nullptr;
            // Neither the closing reply nor the answers to ABOR answer a later command: each
            // gets its own reply, whose code and text tell them apart.
            try {
                EXPECT_EQ(rig.ftp.RetrieveCurrentDir(), "/here");
                EXPECT_EQ(rig.ftp.SendCmd("NOOP"), 200);
                EXPECT_EQ(rig.ftp.LastCmdResult().Text, std::vector<std::string>{"Still here"});
                EXPECT_EQ(rig.ftp.RetrieveCurrentDir(), "/here");
            } catch (const std::exception& e) {
                ADD_FAILURE() << "a command after the abort failed with \"" << e.what() << "\"";
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Routes, AbortRepliesTest,
                         ::testing::Values(Route::kDirect, Route::kSocks5),
                         [](const ::testing::TestParamInfo<Route>& info) {
                             return info.param == Route::kDirect ? "Direct" : "ThroughSocks5";
                         });

}  // namespace
}  // namespace ftptest
