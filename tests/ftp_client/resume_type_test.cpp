// SIZE and resumed downloads against a server that refuses both in ASCII type, as several
// servers do: the component switches to binary type first (SIZE switches back afterwards), so
// the restart probe is never refused for the type and never remembered as "this server cannot
// resume".
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ftp_client/client_rig.h"
#include "tests/ftp_servers/file_bytes.h"
#include "tests/ftp_servers/scripted_login.h"
#include "tests/ftp_servers/server_fixture.h"
#include "tests/ftp_servers/temp_folder.h"

namespace ftptest {
namespace {

FtpAccount At(const ScriptedServer& server) {
    return FtpAccount{"127.0.0.1", server.port(), "alice", "secret", "/", ""};
}

// The steps after the login: the client's TYPE A, then whatever the case expects in order.
// Anything out of order meets the rules below, which refuse SIZE and REST as an ASCII-type
// server does.
std::string Script(const std::string& steps) {
    return std::string(R"({"builtin_data": true, "steps": [
        {"expect": "TYPE A", "reply": "200 Type set to A"}, )") +
           steps + R"(], "rules": [
        {"expect": "REST .*", "reply": "504 REST not allowed in ASCII mode"},
        {"expect": "SIZE .*", "reply": "550 SIZE not allowed in ASCII mode"}, )" +
           kLoginRules + "]}";
}

TEST(ResumeTypeTest, SizeAndResumeRunInBinaryType) {
    const std::string resumeSteps = R"(
        {"expect": "TYPE I", "reply": "200 Type set to I"},
        {"expect": "REST 1", "reply": "350 Restarting at 1"},
        {"expect": "REST 0", "reply": "350 Restarting at 0"},
        {"expect": "PASV", "reply": [{"pasv": true}]},
        {"expect": "REST 5", "reply": "350 Restarting at 5"},
        {"expect": "RETR f.txt", "reply": ["150 Here", {"data_send": "world"}, "226 Done"]},
        {"expect": "PASV", "reply": [{"pasv": true}]},
        {"expect": "REST 8", "reply": "350 Restarting at 8"},
        {"expect": "RETR f.txt", "reply": ["150 Here", {"data_send": "!!"}, "226 Done"]})";
    // SIZE leaves the type as it found it.
    const std::string sizeSteps = R"(
        {"expect": "TYPE I", "reply": "200 Type set to I"},
        {"expect": "SIZE f.txt", "reply": "213 10"},
        {"expect": "TYPE A", "reply": "200 Type set to A"},
        {"expect": "TYPE I", "reply": "200 Type set to I"},
        {"expect": "SIZE f.txt", "reply": "213 10"},
        {"expect": "TYPE A", "reply": "200 Type set to A"})";
    struct Case {
        const char* name;
        std::string steps;
        bool resume;
        ftp::TIdFTPTransferType typeAfter;
        int binarySwitches;
    } cases[] = {{"resume", resumeSteps, true, ftp::TIdFTPTransferType::ftBinary, 1},
                 {"size", sizeSteps, false, ftp::TIdFTPTransferType::ftASCII, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedServer server(ScriptedServer::Mode::kFtp, Script(c.steps));
        TempFolder local("resume-type");
        ClientRig rig(At(server));
        rig.Login();
        rig.ftp.SetTransferType(ftp::TIdFTPTransferType::ftASCII);
        if (c.resume) {
            WriteFileBytes(local.File("f.txt"), "hello");
            rig.ftp.Get("f.txt", local.File("f.txt"), false, true);
            EXPECT_TRUE(rig.ftp.CanResume());
            EXPECT_EQ(ReadFileBytes(local.File("f.txt")), "helloworld");
            // Second resume: binary already, probe remembered: no TYPE, no probe.
            std::string bytes = ReadFileBytes(local.File("f.txt"));
            bytes.resize(8);
            WriteFileBytes(local.File("f.txt"), bytes);
            rig.ftp.Get("f.txt", local.File("f.txt"), false, true);
            EXPECT_EQ(ReadFileBytes(local.File("f.txt")), "hellowor!!");
        } else {
            EXPECT_EQ(rig.ftp.Size("f.txt"), 10);
            EXPECT_EQ(rig.ftp.Size("f.txt"), 10);
        }
        EXPECT_EQ(rig.ftp.TransferType(), c.typeAfter);
        EXPECT_EQ(rig.SentCount("TYPE I"), c.binarySwitches);
        EXPECT_EQ(rig.SentWithPrefix("REST 1"), c.resume ? 1 : 0);
    }
}

}  // namespace
}  // namespace ftptest
