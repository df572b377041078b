// The main road under an X server of its own (Xvfb), with the real program: a stored site on a
// local pyftpdlib opens on a double click and lists, a file is selected and downloaded through
// the Download dialog into a new folder, and it arrives byte for byte with its history rows.
// Screenshots of the dialog, of the queue row while the run waits and of the window after the
// download are kept in the build folder (zantrope-download-*.png, zantrope-download.png).
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "mainwindow/testing/x_session.h"
#include "tests/ftp_servers/server_fixture.h"
#include "tests/pages/page_rig.h"
#include "tests/pages/site_on_screen.h"

namespace pagetest {
namespace {

using DownloadScreenshot = PageRig;

using mainwindow::testing::WaitFor;

// The first row of the page's queue view where the window shows it at its default size.
const char* const kQueueRow = "900x14+340+905";

TEST_F(DownloadScreenshot, AFileSelectedOnAPageArrivesThroughTheDownloadDialog) {
    ftptest::PyftpdlibServer server("alice", "secret");
    std::string bytes(3 << 20, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>((i * 2654435761u) >> 13);
    std::ofstream(server.account().local_folder + "payload.bin", std::ios::binary) << bytes;
    const std::int32_t site = AddServerSite({.name = "local pyftpdlib",
                                             .port = server.account().port,
                                             .user = "alice",
                                             .password = "secret"});
    SetOptions(30, {});
    dm->VeskDatabase1->SetConnected(false);  // the program uses the files now
    const std::string program = CopyProgramInto(folder_, ZANTROPE_APP_DIR);
    const std::string target = folder_ + "arrived/here";
    const std::string build = std::string(ZANTROPE_BIN_DIR) + "/../";
    {
        mainwindow::testing::ProgramOnXvfb x(program);
        ASSERT_TRUE(x.Started());
        const std::string id = OpenStoredSite(x, server, "alice");
        ASSERT_FALSE(id.empty());

        // The file's row is the remote list's first; its menu's first item is "Download...".
        ASSERT_TRUE(x.Run("mousemove --window " + id + " 400 225 click 1"));
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        ASSERT_TRUE(x.Run("mousemove --window " + id + " 400 225 click 3"));
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        ASSERT_TRUE(x.Run("key Down Return"));
        const std::string dialog = x.FindWindow("^Download$", std::chrono::seconds(15));
        ASSERT_FALSE(dialog.empty()) << "no Download dialog";
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        ASSERT_TRUE(x.Run("type --delay 20 '" + target + "'"));
        ASSERT_TRUE(x.Screenshot(build + "zantrope-download-dialog.png") > 50);
        // The server stops answering for a moment, so the run waits with its row showing.
        server.Pause();
        ASSERT_TRUE(x.Run("key alt+o"));
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        const std::string running = build + "zantrope-download-running.png";
        EXPECT_GT(x.Screenshot(running), 50) << running;
        server.Resume();
        // The queue's first row holds the entry's name, size, status and folder.
        EXPECT_GT(Colours(running, kQueueRow), 20) << running;

        ASSERT_TRUE(WaitFor(
            [&] {
                return std::filesystem::exists(target + "/payload.bin") &&
                       std::filesystem::file_size(target + "/payload.bin") == bytes.size();
            },
            std::chrono::seconds(60)))
            << "the file did not arrive";
        std::this_thread::sleep_for(std::chrono::seconds(2));
        const std::string png = build + "zantrope-download.png";
        EXPECT_GT(x.Screenshot(png), 50) << png;
        EXPECT_EQ(Colours(png, kQueueRow), 1) << png;  // the row went with its entry
        EXPECT_TRUE(x.Running());
    }
    EXPECT_EQ(mainwindow::testing::ReadBytes(target + "/payload.bin"), bytes);
    dm->VeskDatabase1->SetConnected(true);
    EXPECT_EQ(Column(*dm->Thm, "id"), std::vector<std::string>{std::to_string(site)});
    EXPECT_EQ(Column(*dm->Thm, "type"), std::vector<std::string>{"Download"});
    EXPECT_EQ(Column(*dm->Thd, "lofile"), std::vector<std::string>{"payload.bin"});
    EXPECT_EQ(Column(*dm->Thd, "lopath"), std::vector<std::string>{target + "/payload.bin"});
    EXPECT_EQ(Column(*dm->Thd, "id"), Column(*dm->Thm, "key"));
    EXPECT_EQ(ReadText(program.substr(0, program.rfind('/') + 1) + "Downloads.dat").size(),
              4u + 51u);
}

}  // namespace
}  // namespace pagetest
