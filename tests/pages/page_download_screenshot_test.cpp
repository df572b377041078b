// The main road under an X server of its own (Xvfb), with the real program: a stored site on a
// local pyftpdlib opens on a double click and lists, a file is selected and downloaded through
// the Download dialog into a new folder, and it arrives byte for byte with its history rows.
// Screenshots of the dialog, of the queue row while the run waits and of the window after the
// download are kept in the build folder (zantrope-download-*.png, zantrope-download.png).
// The same road with a folder: its whole tree arrives byte for byte
// (zantrope-tree-download-running.png with the queue row, zantrope-tree-download.png).
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>

#include "mainwindow/testing/x_session.h"
#include "tests/ftp_servers/server_fixture.h"
#include "tests/pages/page_rig.h"
#include "tests/pages/site_on_screen.h"

namespace pagetest {
namespace {

class DownloadScreenshot : public PageRig {
  protected:
    // Stores the site of `server` (alice/secret) and the options, hands the files to the
    // program and copies it into the test's folder; returns the copy's path.
    std::string PrepareProgram(const ftptest::PyftpdlibServer& server) {
        site_ = AddServerSite({.name = "local pyftpdlib",
                               .port = server.account().port,
                               .user = "alice",
                               .password = "secret"});
        SetOptions(30, {});
        dm->VeskDatabase1->SetConnected(false);  // the program uses the files now
        return CopyProgramInto(folder_, ZANTROPE_APP_DIR);
    }

    std::int32_t site_ = 0;
    const std::string build_ = std::string(ZANTROPE_BIN_DIR) + "/../";
};

using mainwindow::testing::WaitFor;

// The first row of the page's queue view where the window shows it at its default size.
const char* const kQueueRow = "900x14+340+905";

// Every file below `root` (paths relative to it, folders marked by a final "/") with its bytes.
std::map<std::string, std::string> TreeOf(const std::string& root) {
    std::map<std::string, std::string> tree;
    for (const auto& item : std::filesystem::recursive_directory_iterator(root)) {
        const std::string relative = std::filesystem::relative(item.path(), root).string();
        if (item.is_directory())
            tree[relative + "/"] = "";
        else
            tree[relative] = mainwindow::testing::ReadBytes(item.path().string());
    }
    return tree;
}

// The road both tests take on the running program `x`: the stored site's icon (the second item
// of the site list) opened with a double click, the remote list's first row downloaded through
// its menu's first item ("Download...") into `target`, with the dialog's screenshot at
// `dialogPng` when given. OK is pressed with the server paused, so the run waits with its queue
// row showing while `runningPng` is taken; the server goes on afterwards.
void DownloadFirstRow(const mainwindow::testing::ProgramOnXvfb& x, ftptest::PyftpdlibServer& server,
                      const std::string& target, const std::string& dialogPng,
                      const std::string& runningPng) {
    ASSERT_TRUE(x.Started());
    const std::string id = OpenStoredSite(x, server, "alice");
    ASSERT_FALSE(id.empty());
    ASSERT_TRUE(x.Run("mousemove --window " + id + " 400 225 click 1"));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ASSERT_TRUE(x.Run("mousemove --window " + id + " 400 225 click 3"));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ASSERT_TRUE(x.Run("key Down Return"));
    const std::string dialog = x.FindWindow("^Download$", std::chrono::seconds(15));
    ASSERT_FALSE(dialog.empty()) << "no Download dialog";
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ASSERT_TRUE(x.Run("type --delay 20 '" + target + "'"));
    if (!dialogPng.empty()) {
        ASSERT_TRUE(x.Screenshot(dialogPng) > 50);
    }
    server.Pause();
    ASSERT_TRUE(x.Run("key alt+o"));
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_GT(x.Screenshot(runningPng), 50) << runningPng;
    server.Resume();
    // The queue's first row holds the entry's name, size, status and folder.
    EXPECT_GT(Colours(runningPng, kQueueRow), 20) << runningPng;
}

TEST_F(DownloadScreenshot, AFileSelectedOnAPageArrivesThroughTheDownloadDialog) {
    ftptest::PyftpdlibServer server("alice", "secret");
    std::string bytes(3 << 20, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>((i * 2654435761u) >> 13);
    std::ofstream(server.account().local_folder + "payload.bin", std::ios::binary) << bytes;
    const std::string program = PrepareProgram(server);
    const std::string target = folder_ + "arrived/here";
    {
        mainwindow::testing::ProgramOnXvfb x(program);
        DownloadFirstRow(x, server, target, build_ + "zantrope-download-dialog.png",
                         build_ + "zantrope-download-running.png");
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(WaitFor(
            [&] {
                return std::filesystem::exists(target + "/payload.bin") &&
                       std::filesystem::file_size(target + "/payload.bin") == bytes.size();
            },
            std::chrono::seconds(60)))
            << "the file did not arrive";
        std::this_thread::sleep_for(std::chrono::seconds(2));
        const std::string png = build_ + "zantrope-download.png";
        EXPECT_GT(x.Screenshot(png), 50) << png;
        EXPECT_EQ(Colours(png, kQueueRow), 1) << png;  // the row went with its entry
        EXPECT_TRUE(x.Running());
    }
    EXPECT_EQ(mainwindow::testing::ReadBytes(target + "/payload.bin"), bytes);
    dm->VeskDatabase1->SetConnected(true);
    EXPECT_EQ(Column(*dm->Thm, "id"), std::vector<std::string>{std::to_string(site_)});
    EXPECT_EQ(Column(*dm->Thm, "type"), std::vector<std::string>{"Download"});
    EXPECT_EQ(Column(*dm->Thd, "lofile"), std::vector<std::string>{"payload.bin"});
    EXPECT_EQ(Column(*dm->Thd, "lopath"), std::vector<std::string>{target + "/payload.bin"});
    EXPECT_EQ(Column(*dm->Thd, "id"), Column(*dm->Thm, "key"));
    EXPECT_EQ(ReadText(program.substr(0, program.rfind('/') + 1) + "Downloads.dat").size(),
              4u + 51u);
}

TEST_F(DownloadScreenshot, AFolderSelectedOnAPageArrivesWithItsWholeTree) {
    ftptest::PyftpdlibServer server("alice", "secret");
    const std::string remote = server.account().local_folder + "tree/";
    std::filesystem::create_directories(remote + "two words/deeper");
    std::filesystem::create_directories(remote + "empty");
    std::ofstream(remote + "zero.txt", std::ios::binary);
    for (int i = 0; i < 12; ++i) {
        std::string bytes(static_cast<std::size_t>(1000 * i + 7), '\0');
        for (std::size_t b = 0; b < bytes.size(); ++b)
            bytes[b] = static_cast<char>((b * 31 + static_cast<std::size_t>(i)) >> 2);
        const std::string folder = i % 3 == 0   ? ""
                                   : i % 3 == 1 ? "two words/"
                                                : "two words/deeper/";
        std::ofstream(remote + folder + "file " + std::to_string(i) + ".bin", std::ios::binary)
            << bytes;
    }
    const std::string program = PrepareProgram(server);
    const std::string target = folder_ + "trees";
    {
        mainwindow::testing::ProgramOnXvfb x(program);
        DownloadFirstRow(x, server, target, "", build_ + "zantrope-tree-download-running.png");
        if (HasFatalFailure())
            return;
        const std::map<std::string, std::string> sent = TreeOf(remote);
        ASSERT_TRUE(WaitFor(
            [&] {
                return std::filesystem::exists(target + "/tree") &&
                       TreeOf(target + "/tree") == sent;
            },
            std::chrono::seconds(60)))
            << "the tree did not arrive";
        std::this_thread::sleep_for(std::chrono::seconds(2));
        const std::string png = build_ + "zantrope-tree-download.png";
        EXPECT_GT(x.Screenshot(png), 50) << png;
        EXPECT_EQ(Colours(png, kQueueRow), 1) << png;  // the row went with its entry
        EXPECT_TRUE(x.Running());
    }
    EXPECT_EQ(TreeOf(target + "/tree"), TreeOf(remote));
    dm->VeskDatabase1->SetConnected(true);
    EXPECT_EQ(Column(*dm->Thm, "type"), std::vector<std::string>{"Download"});
}

}  // namespace
}  // namespace pagetest
