// What travels on data connections against the scripted server: the form of the upload
// commands, a data connection reset in the middle of a transfer, the bounds of a listing.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/ftp/id_exceptions.h"
#include "platform/ftp/listing_lines.h"
#include "tests/ftp_client/client_rig.h"
#include "tests/ftp_servers/file_bytes.h"
#include "tests/ftp_servers/scripted_login.h"
#include "tests/ftp_servers/server_fixture.h"
#include "tests/ftp_servers/temp_folder.h"

namespace ftptest {
namespace {

std::string Script(const std::string& more_rules) {
    return std::string(R"({"rules": [)") + kLoginRules + ", " + more_rules +
           R"(, {"expect": "PWD", "reply": "257 \"/after\""}]})";
}

FtpAccount At(const ScriptedServer& server) {
    return FtpAccount{"127.0.0.1", server.port(), "alice", "secret", "/", ""};
}

TEST(DataConnectionTest, UploadCommandsGoOutInTheirExactForm) {
    const struct {
        const char* remote;
        bool append;
        const char* command;  // as the server receives it
    } cases[] = {
        {"", false, "STOU "},
        {"", true, "STOU "},
        {"r.txt", false, "STOR r.txt"},
        {"r.txt", true, "APPE r.txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        // The server answers only the exact form it expects; any other gets 500.
        ScriptedServer server(ScriptedServer::Mode::kFtp,
                              Script(std::string(R"({"expect": ")") + c.command +
                                     R"(", "reply": ["150 Ok to send data",
                                     {"data_recv": "@DIR@/received"}, "226 Transfer complete"]})"));
        TempFolder local("upload-form");
        WriteFileBytes(local.File("up.txt"), "upload bytes");
        ClientRig rig(At(server));
        rig.Login();
        rig.ftp.Put(local.File("up.txt"), c.remote, c.append);
        EXPECT_EQ(ReadFileBytes(server.folder() + "/received"), "upload bytes");
        EXPECT_EQ(server.Recorded(), (std::vector<std::string>{"USER alice", "PASS secret", "SYST",
                                                               "PASV", c.command}));
    }
}

TEST(DataConnectionTest, AResetInTheMiddleOfATransferIsAnError) {
    // 100 KiB of a larger file, then a reset, then the server claims success.
    const std::string transfer = R"(["150 Opening data connection",
        {"data_send": "-rw-r--r-- 1 a b 1 Jan 1 2020 name\r\n", "repeat": 2845},
        {"data_reset": true}, "226 Transfer complete"])";
    for (const char* command : {"RETR f.bin", "LIST"}) {
        for (const bool passive : {true, false}) {
            SCOPED_TRACE(std::string(command) + (passive ? " passive" : " active"));
            ScriptedServer server(ScriptedServer::Mode::kFtp,
                                  Script(std::string(R"({"expect": ")") + command +
                                         R"(", "reply": )" + transfer + "}"));
            TempFolder local("reset");
            ClientRig rig(At(server));
            rig.ftp.Passive = passive;
            rig.Login();
            try {
                if (std::string(command) == "LIST") {
                    std::vector<std::string> lines;
                    rig.ftp.List(lines);
                } else {
                    rig.ftp.Get("f.bin", local.File("f.bin"), false, false);
                }
                FAIL() << "a transfer cut off by a reset was taken as done";
            } catch (const ftp::EIdSocketError& e) {
                EXPECT_EQ(e.ErrorCode(), ECONNRESET) << e.what();
            }
            if (std::string(command) != "LIST") {
                EXPECT_LE(ReadFileBytes(local.File("f.bin")).size(), 2845u * 36);
            }
            // The transfer's closing reply does not answer the next command.
            EXPECT_TRUE(rig.ftp.Connected());
            EXPECT_EQ(rig.ftp.RetrieveCurrentDir(), "/after");
        }
    }
}

TEST(DataConnectionTest, AListingIsBoundedInLines) {
    const std::size_t limit = ftp::ListingLines::kDefaultLimits.lines;
    const struct {
        const char* name;
        std::string data;  // JSON data_send actions
        std::size_t lines;
        bool tooLong;
    } cases[] = {
        {"as many lines as allowed",
         R"({"data_send": "a\n", "repeat": )" + std::to_string(limit) + "}", limit, false},
        {"one line more", R"({"data_send": "a\n", "repeat": )" + std::to_string(limit + 1) + "}", 0,
         true},
        {"more empty lines than allowed, which are not kept",
         R"({"data_send": "\r\n\n", "repeat": )" + std::to_string(limit) +
             R"(}, {"data_send": "x\r\n"})",
         1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedServer server(ScriptedServer::Mode::kFtp,
                              Script(R"({"expect": "NLST", "reply": ["150 Here it comes", )" +
                                     c.data + R"(, {"data_close": true}, "226 Done"]})"));
        ClientRig rig(At(server));
        rig.Login();
        std::vector<std::string> lines;
        try {
            rig.ftp.List(lines, "", false);
            EXPECT_FALSE(c.tooLong) << "the listing was taken";
            EXPECT_EQ(lines.size(), c.lines);
            EXPECT_EQ(lines.back(), c.lines == 1 ? "x" : "a");
        } catch (const ftp::EIdReplyFormatError& e) {
            EXPECT_TRUE(c.tooLong) << e.what();
            EXPECT_STREQ(e.what(), "Listing too long.");
        }
        EXPECT_EQ(rig.ftp.RetrieveCurrentDir(), "/after");
    }
}

}  // namespace
}  // namespace ftptest
