// A whole client session against a real FTP server (pyftpdlib, or the server named by
// FTP_TEST_URL and FTP_TEST_ROOT), directly and through microsocks with user and password.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <ostream>

#include "platform/ftp/id_exceptions.h"
#include "tests/ftp_client/client_rig.h"
#include "tests/ftp_servers/file_bytes.h"
#include "tests/ftp_servers/server_fixture.h"
#include "tests/ftp_servers/temp_folder.h"

namespace ftptest {
namespace {

enum class Route { kDirect, kSocks5 };

const char* RouteName(Route route) {
    return route == Route::kDirect ? "Direct" : "ThroughSocks5";
}

void PrintTo(Route route, std::ostream* out) {
    *out << RouteName(route);
}

constexpr std::size_t kBigSize = 5 * 1024 * 1024;

bool Exists(const std::string& path) {
    return std::filesystem::exists(path);
}

// Compares contents without printing megabytes of bytes when they differ.
::testing::AssertionResult SameBytes(const std::string& actual, const std::string& expected) {
    if (actual == expected) {
        return ::testing::AssertionSuccess();
    }
    std::size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) {
        ++at;
    }
    return ::testing::AssertionFailure() << actual.size() << " bytes instead of " << expected.size()
                                         << ", first difference at " << at;
}

class ServerSessionTest : public ::testing::TestWithParam<Route> {
  protected:
    void SetUp() override {
        server_ = std::make_unique<FtpTestServer>();
        work_ = server_->NewWorkFolder();
        if (GetParam() == Route::kSocks5) {
            socks_ = std::make_unique<MicrosocksServer>("sockuser", "sock-pass");
        }
    }

    std::unique_ptr<ClientRig> NewClient(const FtpAccount& account) {
        auto rig = std::make_unique<ClientRig>(account);
        // An outside server may spend seconds on each login (a deliberately slow password
        // hash, several tests logging in at once on a busy machine): its replies get a
        // minute, which still ends an exchange that broke.
        if (server_->external())
            rig->ftp.ReadTimeout = 60000;
        if (socks_) {
            rig->UseSocks(ftp::TSocksVersion::svSocks5, socks_->port(), "sockuser", "sock-pass");
        }
        return rig;
    }

    // Logged in, in binary mode (servers start in ASCII, where SIZE may be refused and
    // transfers rewrite line ends) and standing in the test's own folder.
    std::unique_ptr<ClientRig> LoggedIn() {
        auto rig = NewClient(work_);
        rig->Login();
        rig->ftp.SetTransferType(ftp::TIdFTPTransferType::ftBinary);
        rig->ftp.ChangeDir(work_.remote_folder);
        return rig;
    }

    // The work folder's path as PWD reports it (no trailing "/").
    std::string WorkDir() const {
        return work_.remote_folder.substr(0, work_.remote_folder.size() - 1);
    }

    std::unique_ptr<FtpTestServer> server_;
    std::unique_ptr<MicrosocksServer> socks_;
    FtpAccount work_;
    TempFolder local_{"client"};
};

TEST_P(ServerSessionTest, LogsInAndAsksForTheSystem) {
    auto rig = NewClient(work_);
    rig->Login();
    EXPECT_TRUE(rig->ftp.Connected());
    EXPECT_EQ(rig->ftp.LastCmdResult().NumericCode, 215);
    const std::size_t user = rig->sent.find("USER " + work_.user + "\r\n");
    const std::size_t pass = rig->sent.find("PASS " + work_.password + "\r\n");
    const std::size_t syst = rig->sent.find("SYST\r\n");
    ASSERT_NE(syst, std::string::npos);
    EXPECT_LT(user, pass);
    EXPECT_LT(pass, syst);
    EXPECT_EQ(rig->SentCount("QUIT"), 0);
    ASSERT_FALSE(rig->events.empty());
    EXPECT_EQ(rig->events.front(), "connected");
}

TEST_P(ServerSessionTest, WrongPasswordFailsWithTheDisconnectEvents) {
    FtpAccount wrong = work_;
    wrong.password += "-wrong";
    auto rig = NewClient(wrong);
    try {
        rig->Login();
        FAIL() << "a wrong password logged in";
    } catch (const ftp::EIdProtocolReplyError& e) {
        EXPECT_EQ(e.ReplyErrorCode(), 530);
    }
    EXPECT_FALSE(rig->ftp.Connected());
    std::vector<std::string> expected = {"connected"};
    for (const std::string& e : DisconnectEvents()) {
        expected.push_back(e);
    }
    EXPECT_EQ(rig->events, expected);
}

TEST_P(ServerSessionTest, FolderAndFileCommands) {
    auto rig = LoggedIn();
    ftp::TIdFTP& ftp = rig->ftp;
    EXPECT_EQ(ftp.RetrieveCurrentDir(), WorkDir());

    ftp.MakeDir("sub");
    EXPECT_TRUE(std::filesystem::is_directory(work_.local_folder + "sub"));
    ftp.ChangeDir("sub");
    EXPECT_EQ(ftp.RetrieveCurrentDir(), WorkDir() + "/sub");

    WriteFileBytes(local_.File("a.txt"), "hello\n");
    ftp.Put(local_.File("a.txt"), "a.txt", false);
    EXPECT_EQ(ReadFileBytes(work_.local_folder + "sub/a.txt"), "hello\n");
    EXPECT_EQ(ftp.Size("a.txt"), 6);
    EXPECT_EQ(ftp.Size("missing.txt"), -1);

    std::vector<std::string> lines;
    ftp.List(lines);
    ASSERT_EQ(ftp.DirectoryListing().size(), 1u);
    EXPECT_EQ(ftp.DirectoryListing()[0].FileName, "a.txt");
    EXPECT_EQ(ftp.DirectoryListing()[0].ItemType, ftp::TIdDirItemType::ditFile);
    EXPECT_EQ(ftp.DirectoryListing()[0].Size, 6);
    // The listing without its lines kept apart: the same item, its line in Text.
    ASSERT_EQ(lines.size(), 1u);
    ftp.ListItems();
    ASSERT_EQ(ftp.DirectoryListing().size(), 1u);
    EXPECT_EQ(ftp.DirectoryListing()[0].FileName, "a.txt");
    EXPECT_EQ(ftp.DirectoryListing()[0].Size, 6);
    EXPECT_EQ(ftp.DirectoryListing()[0].Text, lines[0]);

    ftp.Rename("a.txt", "b.txt");
    EXPECT_FALSE(Exists(work_.local_folder + "sub/a.txt"));
    EXPECT_TRUE(Exists(work_.local_folder + "sub/b.txt"));
    ftp.Delete("b.txt");
    EXPECT_FALSE(Exists(work_.local_folder + "sub/b.txt"));
    EXPECT_THROW(ftp.Delete("b.txt"), ftp::EIdProtocolReplyError);
    EXPECT_THROW(ftp.Rename("b.txt", "c.txt"), ftp::EIdProtocolReplyError);

    ftp.ChangeDir("..");
    ftp.List(lines);
    ASSERT_EQ(ftp.DirectoryListing().size(), 1u);
    EXPECT_EQ(ftp.DirectoryListing()[0].FileName, "sub");
    EXPECT_EQ(ftp.DirectoryListing()[0].ItemType, ftp::TIdDirItemType::ditDirectory);
    // Taken out, the items leave the component empty.
    ftp::TIdFTPListItems taken = ftp.TakeDirectoryListing();
    ASSERT_EQ(taken.size(), 1u);
    EXPECT_EQ(taken[0].FileName, "sub");
    EXPECT_TRUE(ftp.DirectoryListing().empty());
    // A later listing has its own items only.
    ftp.ChangeDir("sub");
    ftp.Put(local_.File("a.txt"), "c.txt", false);
    ftp.ListItems();
    ASSERT_EQ(ftp.DirectoryListing().size(), 1u);
    EXPECT_EQ(ftp.DirectoryListing()[0].FileName, "c.txt");
    EXPECT_EQ(taken[0].FileName, "sub") << "the taken items are the caller's";
    ftp.Delete("c.txt");
    ftp.ChangeDir("..");
    ftp.RemoveDir("sub");
    EXPECT_FALSE(Exists(work_.local_folder + "sub"));
    EXPECT_THROW(ftp.ChangeDir("sub"), ftp::EIdProtocolReplyError);
    EXPECT_THROW(ftp.RemoveDir("sub"), ftp::EIdProtocolReplyError);
    // A failed command leaves the session usable.
    EXPECT_EQ(ftp.RetrieveCurrentDir(), WorkDir());
}

TEST_P(ServerSessionTest, BigFileUpAndDownIsByteIdenticalInBothModes) {
    const std::string original = RandomBytes(kBigSize, 11);
    WriteFileBytes(local_.File("big.bin"), original);
    for (const bool passive : {true, false}) {
        SCOPED_TRACE(passive ? "passive" : "active");
        auto rig = LoggedIn();
        rig->ftp.Passive = passive;
        const std::string remote = passive ? "up-passive.bin" : "up-active.bin";
        if (socks_ && !passive) {
            // Active mode cannot work through SOCKS; the component says so up front.
            EXPECT_THROW(rig->ftp.Put(local_.File("big.bin"), remote, false), ftp::EIdSocksError);
            EXPECT_EQ(rig->SentWithPrefix("PORT "), 0);
            continue;
        }
        rig->ftp.Put(local_.File("big.bin"), remote, false);
        ASSERT_TRUE(SameBytes(ReadFileBytes(work_.local_folder + remote), original));
        const std::string back = local_.File("back-" + remote);
        rig->ftp.Get(remote, back, false, false);
        EXPECT_TRUE(SameBytes(ReadFileBytes(back), original));
        EXPECT_EQ(rig->SentWithPrefix(passive ? "PASV" : "PORT "), 2);
    }
}

// Aborts the transfer from inside the work event once `limit` bytes came in.
void AbortAfter(ClientRig& rig, std::int64_t limit) {
    rig.ftp.OnWork = [&rig, limit](ftp::TWorkMode, std::int64_t so_far) {
        if (so_far >= limit) {
            rig.ftp.OnWork = nullptr;
            rig.ftp.Abort();
        }
    };
}

TEST_P(ServerSessionTest, AbortDuringRetrieveIsAFailure) {
    const std::string original = RandomBytes(kBigSize, 12);
    WriteFileBytes(work_.local_folder + "big.bin", original);
    auto rig = LoggedIn();
    AbortAfter(*rig, 1 << 20);
    EXPECT_THROW(rig->ftp.Get("big.bin", local_.File("part.bin"), false, false),
                 ftp::EIdClosedSocket);
    EXPECT_EQ(rig->SentCount("ABOR"), 1);
    const std::string part = ReadFileBytes(local_.File("part.bin"));
    EXPECT_LT(part.size(), original.size());
    EXPECT_TRUE(SameBytes(part, original.substr(0, part.size())));

    // What a page does after an abort: connecting again is refused on the open connection,
    // which closes it; the next connect logs in afresh.
    rig->events.clear();
    EXPECT_THROW(rig->Login(), ftp::EIdAlreadyConnected);
    EXPECT_EQ(rig->events, DisconnectEvents());
    rig->Login();
    EXPECT_EQ(rig->ftp.LastCmdResult().NumericCode, 215);
    rig->ftp.ChangeDir(work_.remote_folder);
    EXPECT_EQ(rig->ftp.RetrieveCurrentDir(), WorkDir());
}

// ABOR is sent with or without a transfer under way (the page's Abort action also follows a
// failed command). The server's answers to it must not be taken for the replies of the
// commands that follow.
TEST_P(ServerSessionTest, AbortLeavesTheSessionInStep) {
    const std::string original = RandomBytes(kBigSize, 14);
    WriteFileBytes(work_.local_folder + "big.bin", original);
    auto rig = LoggedIn();
    rig->ftp.Abort();
    EXPECT_TRUE(rig->ftp.Connected());
    rig->ftp.ChangeDir(work_.remote_folder);
    EXPECT_EQ(rig->ftp.LastCmdResult().NumericCode, 250);
    EXPECT_EQ(rig->ftp.RetrieveCurrentDir(), WorkDir());

    AbortAfter(*rig, 1 << 20);
    EXPECT_THROW(rig->ftp.Get("big.bin", local_.File("part.bin"), false, false),
                 ftp::EIdClosedSocket);
    EXPECT_EQ(rig->SentCount("ABOR"), 2);
    EXPECT_EQ(rig->ftp.RetrieveCurrentDir(), WorkDir());
    EXPECT_EQ(rig->ftp.Size("big.bin"), static_cast<std::int64_t>(kBigSize));
}

TEST_P(ServerSessionTest, CutDownloadResumesByteIdenticalWithOneRestartProbe) {
    const std::string original = RandomBytes(kBigSize, 13);
    WriteFileBytes(work_.local_folder + "big.bin", original);
    const std::string target = local_.File("big.bin");
    auto rig = LoggedIn();
    AbortAfter(*rig, 1 << 20);
    EXPECT_THROW(rig->ftp.Get("big.bin", target, false, false), ftp::EIdException);
    const std::size_t cut = std::filesystem::file_size(target);
    ASSERT_LT(cut, original.size());

    // A new connection of the same component, as a page reconnects after a failure.
    rig->ftp.Disconnect();
    rig->Login();
    rig->ftp.SetTransferType(ftp::TIdFTPTransferType::ftBinary);
    rig->ftp.ChangeDir(work_.remote_folder);
    rig->ftp.Get("big.bin", target, false, true);
    EXPECT_TRUE(rig->ftp.CanResume());
    EXPECT_EQ(rig->SentCount("REST " + std::to_string(cut)), 1);
    EXPECT_TRUE(SameBytes(ReadFileBytes(target), original));

    // A second resume on the same component does not probe again.
    std::filesystem::resize_file(target, 3 * 1024 * 1024 + 17);
    rig->ftp.Get("big.bin", target, false, true);
    EXPECT_TRUE(SameBytes(ReadFileBytes(target), original));
    EXPECT_EQ(rig->SentCount("REST 1"), 1);
    EXPECT_EQ(rig->SentCount("REST 0"), 1);
    EXPECT_EQ(rig->SentCount("REST " + std::to_string(3 * 1024 * 1024 + 17)), 1);
    EXPECT_LT(rig->sent.find("REST 1\r\n"), rig->sent.find("REST 0\r\n"));
}

TEST_P(ServerSessionTest, ServerThatStopsAnsweringGivesTheReadTimeOut) {
    if (server_->pyftpdlib() == nullptr) {
        GTEST_SKIP() << "an outside server cannot be stopped";
    }
    auto rig = LoggedIn();
    rig->ftp.ReadTimeout = 1000;
    server_->pyftpdlib()->Pause();
    struct ResumeOnExit {
        PyftpdlibServer* server;
        ~ResumeOnExit() { server->Resume(); }
    } resume{server_->pyftpdlib()};
    EXPECT_THROW(rig->ftp.RetrieveCurrentDir(), ftp::EIdReadTimeout);
}

INSTANTIATE_TEST_SUITE_P(Routes, ServerSessionTest,
                         ::testing::Values(Route::kDirect, Route::kSocks5),
                         [](const ::testing::TestParamInfo<Route>& info) {
                             return std::string(RouteName(info.param));
                         });

}  // namespace
}  // namespace ftptest
