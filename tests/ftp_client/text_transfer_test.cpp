// Text (ASCII type) transfers keep the local convention: a Linux text file (LF line ends) goes
// down and up byte for byte against servers that store text with LF, pyftpdlib and vsftpd with
// its text conversion on; the exact wire forms, split across reads, against the scripted server.
//
// What each direction yields, precisely: a download writes the wire with each CR LF as LF, and
// a lone CR as it came; an upload sends each LF as CR LF, and a CR LF of the file as it is. So
// a file with LF line ends and lone CRs comes back unchanged each way; a CR LF in it is a line
// end both ways, which the server stores, and the next download writes, as LF.
#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>
#include <ostream>
#include <string>

#include "tests/ftp_client/client_rig.h"
#include "tests/ftp_servers/file_bytes.h"
#include "tests/ftp_servers/scripted_login.h"
#include "tests/ftp_servers/server_fixture.h"
#include "tests/ftp_servers/temp_folder.h"
#include "tests/ftp_servers/vsftpd_server.h"

namespace ftptest {
namespace {

// The smallest buffers: a download reads 512 bytes at a time, an upload half of 512.
constexpr int kBuffer = 512;

// Each CR LF as LF: what a server that stores text with LF makes of what it receives.
std::string WithLfLineEnds(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            out += text[i];
    }
    return out;
}

// A text file with an empty line and a lone CR, whose line ends fall on the reads' bounds: the
// byte at 255 ends the upload's first read, so the LF at 256 begins the next (after a CR when
// `dosLine`, which makes that line end CR LF); without `dosLine` the wire's CR LF for the LF
// at 507 is split between the download's first two reads (bytes 511 and 512 on the wire).
std::string SampleText(bool dosLine) {
    std::string text = "one\n\nlone\rcr\n";  // 13 bytes, 16 on the wire
    text += std::string(242, 'x');
    text += dosLine ? "\r\n" : "x\n";  // without `dosLine` the wire has 261 bytes now
    text += std::string(250, 'y');
    text += "\nlast line\n";
    return text;
}

enum class Server { kPyftpdlib, kVsftpd };

void PrintTo(Server server, std::ostream* out) {
    *out << (server == Server::kPyftpdlib ? "pyftpdlib" : "vsftpd");
}

class TextTransferTest : public ::testing::TestWithParam<Server> {
  protected:
    void SetUp() override {
        if (GetParam() == Server::kPyftpdlib) {
            pyftpdlib_ = std::make_unique<PyftpdlibServer>("alice", "secret");
            account_ = pyftpdlib_->account();
            return;
        }
        if (geteuid() != 0)
            GTEST_SKIP() << "vsftpd needs root";
        vsftpd_ = std::make_unique<VsftpdServer>(true);
        account_ = vsftpd_->account();
    }

    std::unique_ptr<ClientRig> Login(ftp::TIdFTPTransferType type) {
        auto rig = std::make_unique<ClientRig>(account_);
        rig->ftp.RecvBufferSize = kBuffer;
        rig->ftp.SendBufferSize = kBuffer;
        rig->Login();
        rig->ftp.ChangeDir(account_.remote_folder);
        rig->ftp.SetTransferType(type);
        return rig;
    }

    std::string Served(const std::string& name) const { return account_.local_folder + name; }

    std::unique_ptr<PyftpdlibServer> pyftpdlib_;
    std::unique_ptr<VsftpdServer> vsftpd_;
    FtpAccount account_;
    TempFolder local_{"text-transfer"};
};

TEST_P(TextTransferTest, TextFilesKeepTheLocalConventionBothWays) {
    const std::string linuxText = SampleText(false);
    const std::string dosText = SampleText(true);
    ASSERT_EQ(linuxText.size(), 518u);
    WriteFileBytes(Served("linux.txt"), linuxText);
    WriteFileBytes(Served("dos.txt"), dosText);
    WriteFileBytes(local_.File("linux.txt"), linuxText);
    WriteFileBytes(local_.File("dos.txt"), dosText);
    auto rig = Login(ftp::TIdFTPTransferType::ftASCII);

    // Down: the server's Linux text file arrives byte for byte; a CR LF in a file arrives as LF.
    rig->ftp.Get("linux.txt", local_.File("linux down.txt"), false, false);
    EXPECT_EQ(ReadFileBytes(local_.File("linux down.txt")), linuxText);
    rig->ftp.Get("dos.txt", local_.File("dos down.txt"), false, false);
    EXPECT_EQ(ReadFileBytes(local_.File("dos down.txt")), WithLfLineEnds(dosText));

    // Up: the local Linux text file is stored byte for byte and comes back so; the CR LF is
    // stored as the line end it is.
    rig->ftp.Put(local_.File("linux.txt"), "linux up.txt", false);
    EXPECT_EQ(ReadFileBytes(Served("linux up.txt")), linuxText);
    rig->ftp.Get("linux up.txt", local_.File("linux again.txt"), false, false);
    EXPECT_EQ(ReadFileBytes(local_.File("linux again.txt")), linuxText);
    rig->ftp.Put(local_.File("dos.txt"), "dos up.txt", false);
    EXPECT_EQ(ReadFileBytes(Served("dos up.txt")), WithLfLineEnds(dosText));

    // Binary type moves the bytes unchanged.
    rig->ftp.SetTransferType(ftp::TIdFTPTransferType::ftBinary);
    rig->ftp.Put(local_.File("dos.txt"), "dos binary.txt", false);
    EXPECT_EQ(ReadFileBytes(Served("dos binary.txt")), dosText);
    rig->ftp.Get("dos.txt", local_.File("dos binary.txt"), false, false);
    EXPECT_EQ(ReadFileBytes(local_.File("dos binary.txt")), dosText);
}

INSTANTIATE_TEST_SUITE_P(Servers, TextTransferTest,
                         ::testing::Values(Server::kPyftpdlib, Server::kVsftpd),
                         [](const ::testing::TestParamInfo<Server>& info) {
                             return info.param == Server::kPyftpdlib ? "Pyftpdlib" : "Vsftpd";
                         });

// The wire itself, read by read: a CR LF split between two reads is one line end, a lone CR
// stays (also as the last byte), a CR before a CR LF is lone; an upload adds a CR to each LF
// that has none.
TEST(TextWireTest, ConvertsLineEndsAcrossReads) {
    ScriptedServer server(ScriptedServer::Mode::kFtp,
                          std::string(R"({"builtin_data": true, "rules": [
        {"expect": "RETR t.txt", "reply": ["150 Sending", {"data_send": "a\r"}, {"delay": 0.2},
            {"data_send": "\nb\r\r\nc\rd\r"}, {"delay": 0.2}, {"data_send": "\r"},
            {"data_close": true}, "226 Done"]},
        {"expect": "STOR t.txt", "reply": ["150 Go ahead", {"data_recv": "@DIR@/stored"},
            "226 Done"]},
        )") + kLoginRules + "]}");
    ClientRig rig(FtpAccount{"127.0.0.1", server.port(), "alice", "secret", "/", ""});
    rig.Login();
    rig.ftp.SetTransferType(ftp::TIdFTPTransferType::ftASCII);
    TempFolder local("text-wire");
    rig.ftp.Get("t.txt", local.File("t.txt"), false, false);
    EXPECT_EQ(ReadFileBytes(local.File("t.txt")), "a\nb\r\nc\rd\r\r");
    WriteFileBytes(local.File("up.txt"), "a\nb\r\nc\rd\n\n");
    rig.ftp.Put(local.File("up.txt"), "t.txt", false);
    EXPECT_EQ(ReadFileBytes(server.folder() + "/stored"), "a\r\nb\r\nc\rd\r\n\r\n");
}

}  // namespace
}  // namespace ftptest
