// The queue's pictures in the real program under Xvfb, driven through its accessibility tree:
// a file that vanished from the server after it was listed fails its download and stays at the
// head of the queue, and a folder queued after it waits behind it. The window with both rows is
// kept as zantrope-queue-pictures.png in the build folder (the failed row shows the error
// picture, the waiting folder no row picture and a folder in its name column).
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>

#include "mainwindow/testing/x_session.h"
#include "tests/ftp_servers/server_fixture.h"
#include "tests/pages/page_rig.h"
#include "tests/pages/site_on_screen.h"

namespace pagetest {
namespace {

using mainwindow::testing::Control;
using mainwindow::testing::ProgramOnXvfb;

using QueuePicturesScreenshot = PageRig;

TEST_F(QueuePicturesScreenshot, AFailedFileAndAWaitingFolderShowWhatTheyAre) {
    ftptest::PyftpdlibServer server("alice", "secret");
    const std::string remote = server.account().local_folder;
    std::ofstream(remote + "gone.txt") << "listed, then removed\n";
    std::filesystem::create_directories(remote + "waiting tree");
    std::ofstream(remote + "waiting tree/inner.txt") << "inside\n";
    const std::string program = ProgramWithSite(server.account().port);
    const std::string home = folder_ + "home";
    std::filesystem::create_directories(home);
    const std::string target = folder_ + "arrived";

    ProgramOnXvfb x(program, {"HOME=" + home});
    ASSERT_TRUE(x.Started());
    ASSERT_FALSE(OpenStoredSite(x, server, "alice").empty());
    std::filesystem::remove(remote + "gone.txt");  // after the page listed it

    // The remote list's "Name" header is the one above its rows, right of the local pane's.
    // The rows are found before the sort only: sorting shows them anew.
    const std::optional<mainwindow::testing::ScreenRect> cell =
        x.Locate(Control::Of("table cell", "waiting tree"), std::chrono::seconds(30));
    ASSERT_TRUE(cell) << x.Dump();
    ASSERT_TRUE(x.Click(Control::Of("table cell", "waiting tree")));
    bool sorted = false;
    for (int match = 0; match < 3 && !sorted; ++match) {
        const auto header =
            x.Locate(Control::Of("table column header", "Name").At(match), std::chrono::seconds(5));
        if (header && header->x + 20 >= cell->x && header->x <= cell->x + 20) {
            ASSERT_TRUE(x.Run("mousemove " + std::to_string(header->CentreX()) + " " +
                              std::to_string(header->CentreY()) + " click 1"));
            sorted = true;
        }
    }
    ASSERT_TRUE(sorted) << x.Dump();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    // By name the file comes first: both rows selected, the file is queued before the folder.
    ASSERT_TRUE(x.Run("mousemove " + std::to_string(cell->CentreX()) + " " +
                      std::to_string(cell->CentreY()) + " click 1 key ctrl+a"));
    ASSERT_TRUE(x.Click(Control::Of("push button", "Download\\.\\.\\."), std::chrono::seconds(30)))
        << x.Dump();
    ASSERT_FALSE(x.FindWindow("^Download$", std::chrono::seconds(15)).empty()) << "no dialog";
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ASSERT_TRUE(x.Run("type --delay 20 '" + target + "'"));
    ASSERT_TRUE(x.Run("key alt+o"));
    // The file fails and stays at the head with its status text; the folder waits behind it.
    const Control status = Control::Of("table cell", "Downloading\\.\\.\\.\\(.*\\)");
    EXPECT_TRUE(x.Locate(status, std::chrono::seconds(30))) << x.Dump();
    // The remote list shows the folder's row too: the queue's row is a second one.
    EXPECT_GE(x.Count(Control::Of("table cell", "waiting tree")), 2) << x.Dump();
    std::this_thread::sleep_for(std::chrono::seconds(3));
    const std::string png = std::string(ZANTROPE_BIN_DIR) + "/../zantrope-queue-pictures.png";
    EXPECT_GT(x.Screenshot(png), 50) << png;
    EXPECT_FALSE(std::filesystem::exists(target + "/waiting tree/inner.txt"));
    EXPECT_TRUE(x.Running());
}

}  // namespace
}  // namespace pagetest
