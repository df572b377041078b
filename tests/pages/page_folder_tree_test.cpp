// Whole folder trees through a connected page, both ways: pyftpdlib for real trees, the
// scripted server for listings no real server gives (dot entries in the middle, hostile names,
// a folder that contains itself).
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "connection/page_session.h"
#include "platform/ftp/id_exceptions.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/testing/gtest_failure.h"
#include "platform/ui/testing/qt_test_environment.h"
#include "platform/ui/testing/scripted_ui.h"
#include "tests/ftp_servers/file_bytes.h"
#include "tests/ftp_servers/scripted_login.h"
#include "tests/ftp_servers/server_fixture.h"
#include "tests/ftp_servers/temp_folder.h"
#include "tests/pages/listing_page_rig.h"
#include "tests/pages/transfer_page_rig.h"

namespace pagetest {
namespace {

using ftptest::FtpAccount;
using ftptest::PyftpdlibServer;
using ftptest::ScriptedServer;
using ftptest::TempFolder;

std::string CurrentFolder() {
    char buffer[PATH_MAX];
    return ::getcwd(buffer, sizeof buffer) != nullptr ? buffer : "";
}

// Keeps the process's current folder across a test (the download walk changes it).
struct KeepCurrentFolder {
    std::string folder = CurrentFolder();
    ~KeepCurrentFolder() { EXPECT_EQ(::chdir(folder.c_str()), 0); }
};

class PyftpdlibTrees : public ::testing::Test {
  protected:
    PyftpdlibTrees() : server_("alice", "secret"), local_("trees"), rig_(server_.account(), false) {
        rig_.page().FSite.transfermode = "binary";
        rig_.Connect("/");
    }

    std::string Served(const std::string& name) const {
        return server_.account().local_folder + name;
    }
    Tfb& page() { return rig_.page(); }

    PyftpdlibServer server_;
    TempFolder local_;
    ListingPage rig_;
    KeepCurrentFolder keep_;
};

// Up into a new remote folder and down into a new local one: the same bytes, folders and
// empty folders; both walks end where they began.
TEST_F(PyftpdlibTrees, ATreeRoundTripsByteIdentical) {
    const std::string source = local_.File("source tree");
    ::mkdir(source.c_str(), 0755);
    MakeSampleTree(source);
    {
        const TExchangeGuard::Exchange exchange(page().Session().Guard());
        page().IdFTP1.MakeDir("up tree");
        page().Session().ChangeDir("up tree");
        page().UploadFolderTree(source + "/");
        // The walk leaves the folder it was started in, as the run enters it for the walk.
        EXPECT_EQ(page().IdFTP1.RetrieveCurrentDir(), "/");
        EXPECT_EQ(CurrentFolder(), keep_.folder);
        page().DownloadFolderTree("up tree", local_.File("down tree"), "", -1);
        EXPECT_EQ(page().IdFTP1.RetrieveCurrentDir(), "/");
    }
    const auto expected = TreeOf(source);
    ASSERT_EQ(expected.size(), 8u);
    EXPECT_EQ(TreeOf(Served("up tree")), expected);
    EXPECT_EQ(TreeOf(local_.File("down tree")), expected);
    EXPECT_EQ(CurrentFolder(), local_.File("down tree"));
    EXPECT_FALSE(rig_.LoggedError());
}

// An upload into a remote folder whose sub-folder exists reuses it (no MKD) and replaces the
// files of the same name; a link to a file goes up as the file, a link to a folder (here a
// loop) is not followed.
TEST_F(PyftpdlibTrees, UploadReusesRemoteFoldersAndDoesNotFollowFolderLinks) {
    ::mkdir(Served("sub").c_str(), 0755);
    ftptest::WriteFileBytes(Served("sub/x.txt"), "old contents");
    ftptest::WriteFileBytes(Served("sub/kept.txt"), "kept");
    const std::string source = local_.File("src");
    ::mkdir(source.c_str(), 0755);
    ::mkdir((source + "/sub").c_str(), 0755);
    ftptest::WriteFileBytes(source + "/sub/x.txt", "new");
    ftptest::WriteFileBytes(local_.File("outside.txt"), "linked file");
    ASSERT_EQ(::symlink(local_.File("outside.txt").c_str(), (source + "/link.txt").c_str()), 0);
    ASSERT_EQ(::symlink(source.c_str(), (source + "/sub/loop").c_str()), 0);
    rig_.ClearSent();
    {
        const TExchangeGuard::Exchange exchange(page().Session().Guard());
        page().UploadFolderTree(source + "/");
    }
    EXPECT_EQ(rig_.SentWithPrefix("MKD"), 0);
    EXPECT_EQ(ftptest::ReadFileBytes(Served("sub/x.txt")), "new");
    EXPECT_EQ(ftptest::ReadFileBytes(Served("sub/kept.txt")), "kept");
    EXPECT_EQ(ftptest::ReadFileBytes(Served("link.txt")), "linked file");
    EXPECT_EQ(NamesIn(Served("sub")), (std::vector<std::string>{"kept.txt", "x.txt"}));
    EXPECT_TRUE(rig_.LoggedError());  // the line about the folder link
}

// A local tree deeper than the bound ends with its error once the last allowed level is up.
TEST_F(PyftpdlibTrees, AnUploadDeeperThanTheBoundEndsWithItsError) {
    std::string folder = local_.File("deep");
    const std::string top = folder;
    for (int level = 0; level <= 66; ++level, folder += "/d")
        ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    try {
        const TExchangeGuard::Exchange exchange(page().Session().Guard());
        page().UploadFolderTree(top + "/");
        ADD_FAILURE() << "the walk did not end with an error";
    } catch (const ftp::EIdException& error) {
        EXPECT_NE(std::string(error.what()).find("deeper than 64 levels"), std::string::npos)
            << error.what();
    }
    std::string remote = Served("d");
    int levels = 0;
    for (; std::filesystem::is_directory(remote); remote += "/d")
        ++levels;
    EXPECT_EQ(levels, 64);
}

// Mode 0 (rename): the tree lands in the new folder beside the existing one, sub-folders
// included; mode 2 (overwrite) replaces files in the existing folder; mode -1 refuses to
// overwrite a file that is there, and fails with its message where no folder can be made.
TEST_F(PyftpdlibTrees, DownloadModes) {
    ::mkdir(Served("tree").c_str(), 0755);
    ::mkdir(Served("tree/inner").c_str(), 0755);
    ftptest::WriteFileBytes(Served("tree/f.txt"), "remote f");
    ftptest::WriteFileBytes(Served("tree/inner/g.txt"), "remote g");
    const std::string existing = local_.File("tree");
    ::mkdir(existing.c_str(), 0755);
    ftptest::WriteFileBytes(existing + "/f.txt", "local f");

    const TExchangeGuard::Exchange exchange(page().Session().Guard());
    page().DownloadFolderTree("tree", existing, "renamed", 0);
    EXPECT_EQ(TreeOf(local_.File("renamed")), TreeOf(Served("tree")));
    EXPECT_EQ(ftptest::ReadFileBytes(existing + "/f.txt"), "local f");
    EXPECT_EQ(CurrentFolder(), local_.File("renamed"));

    EXPECT_THROW(page().DownloadFolderTree("tree", existing, "", -1), ftp::EIdFTPFileAlreadyExists);
    EXPECT_EQ(ftptest::ReadFileBytes(existing + "/f.txt"), "local f");

    page().Session().ChangeDir("/");
    page().DownloadFolderTree("tree", existing, "", 2);
    EXPECT_EQ(TreeOf(existing), TreeOf(Served("tree")));

    // A local folder that cannot be made: its message, then the walk fails.
    ui::ScriptedUi ui(ui::GtestFailure());
    ui.AnswerMessage(ui::mrOk);
    EXPECT_THROW(page().DownloadFolderTree("tree", local_.File("no/such/folder"), "", -1),
                 ftp::EIdLocalFileError);
    ASSERT_EQ(ui.Calls().size(), 1u);
    EXPECT_EQ(ui.Calls()[0].text, "Can not create the folder. Downloading cancel.");
}

// ---- the scripted server ----

FtpAccount At(const ScriptedServer& server) {
    return FtpAccount{"127.0.0.1", server.port(), "alice", "secret", "/", ""};
}

// A server whose every folder lists `lines`, where every CWD succeeds and every RETR sends
// the file's name as its contents.
std::string EveryFolderLists(const std::string& lines) {
    return std::string(R"({"builtin_data": true, "rules": [)") + ftptest::kLoginRules + R"(,
        {"expect": "CWD .*", "reply": "250 Ok"},
        {"expect": "PWD", "reply": "257 \"/\""},
        {"expect": "LIST", "reply": )" +
           ListingReply(lines) + R"(},
        {"expect": "RETR ok.txt", "reply": ["150 Here", {"data_send": "ok"}, "226 Done"]},
        {"expect": "RETR b.txt", "reply": ["150 Here", {"data_send": "b"}, "226 Done"]},
        {"expect": "RETR c.txt", "reply": ["150 Here", {"data_send": "c"}, "226 Done"]},
        {"expect": "RETR d.txt", "reply": ["150 Here", {"data_send": "d"}, "226 Done"]}]})";
}

const char* const kFile = "-rw-r--r-- 1 ann staff 2 Jan 02 2024 ";
const char* const kFolder = "drwxr-xr-x 2 ann staff 4096 Jan 02 2024 ";

std::string Line(const char* kind, const std::string& name) {
    return kind + name + "\\r\\n";
}

// "." and ".." wherever they stand are passed over and the walk goes on.
TEST(ScriptedTrees, DotEntriesInTheMiddleOfAListingArePassedOver) {
    KeepCurrentFolder keep;
    ScriptedServer server(
        ScriptedServer::Mode::kFtp,
        EveryFolderLists(Line(kFile, "b.txt") + Line(kFolder, ".") + Line(kFile, "c.txt") +
                         Line(kFolder, "..") + Line(kFile, "d.txt")));
    TempFolder local("dots");
    ListingPage rig(At(server), false);
    rig.Connect("/");
    {
        const TExchangeGuard::Exchange exchange(rig.page().Session().Guard());
        rig.page().DownloadFolderTree("top", local.File("top"), "", -1);
    }
    EXPECT_EQ(TreeOf(local.File("top")),
              (std::map<std::string, std::string>{{"b.txt", Fingerprint("b")},
                                                  {"c.txt", Fingerprint("c")},
                                                  {"d.txt", Fingerprint("d")}}));
}

// Names that would leave the target are passed over with a log line, and a folder that lists
// itself forever ends with the depth error; nothing is written outside the target.
TEST(ScriptedTrees, AHostileListingWritesNothingOutsideTheTargetAndEnds) {
    KeepCurrentFolder keep;
    ScriptedServer server(
        ScriptedServer::Mode::kFtp,
        EveryFolderLists(Line(kFolder, "loop") + Line(kFile, "../x") + Line(kFile, "a/b") +
                         Line(kFolder, "..") + Line(kFile, "ok.txt")));
    TempFolder local("hostile");
    const std::string target = local.File("target");
    ListingPage rig(At(server), false);
    rig.Connect("/");
    try {
        const TExchangeGuard::Exchange exchange(rig.page().Session().Guard());
        rig.page().DownloadFolderTree("top", target, "", -1);
        ADD_FAILURE() << "the walk did not end with an error";
    } catch (const ftp::EIdException& error) {
        EXPECT_NE(std::string(error.what()).find("deeper than 64 levels"), std::string::npos)
            << error.what();
    }
    EXPECT_EQ(NamesIn(local.path()), std::vector<std::string>{"target"});
    // The listing is worked from its end: every level holds its ok.txt and the next level,
    // and nothing else, down to the deepest level allowed.
    std::string level = target;
    for (int depth = 0; depth < 64; ++depth, level += "/loop") {
        ASSERT_EQ(NamesIn(level), (std::vector<std::string>{"loop", "ok.txt"})) << level;
    }
    EXPECT_EQ(NamesIn(level), std::vector<std::string>{"ok.txt"});
    EXPECT_TRUE(rig.LoggedError());
}

}  // namespace
}  // namespace pagetest
