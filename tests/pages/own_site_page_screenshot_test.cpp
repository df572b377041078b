// The real program under Xvfb, driven through its accessibility tree: a recorded upload of a
// site whose server takes the connection and never greets is run again from the History page,
// and while its page connects the user clicks the tab of a second site's page, connected to
// pyftpdlib. Nothing reaches pyftpdlib; once the connect has given up, the entry waits in the
// queue of its own site's page. Screenshots: the second page shown during the connect
// (zantrope-rerun-tab-switch.png) and the waiting entry on its own page
// (zantrope-rerun-own-page.png), in the build folder.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "mainwindow/testing/x_session.h"
#include "tests/ftp_servers/file_bytes.h"
#include "tests/ftp_servers/mute_listener.h"
#include "tests/ftp_servers/server_fixture.h"
#include "tests/pages/page_rig.h"
#include "tests/pages/site_on_screen.h"

namespace pagetest {
namespace {

using mainwindow::testing::Control;
using mainwindow::testing::WaitFor;
using std::chrono::seconds;

using OwnSitePageScreenshot = PageRig;

TEST_F(OwnSitePageScreenshot, ARerunWhosePageConnectsStaysOnItsPageWhenTheUserSwitchesTabs) {
    ftptest::PyftpdlibServer server("alice", "secret");
    const std::string served = server.account().local_folder;
    ftptest::WriteFileBytes(served + "there.txt", "already there\n");
    ftptest::MuteListener mute;
    const std::string upload = folder_ + "files/up.bin";
    std::filesystem::create_directories(folder_ + "files");
    ftptest::WriteFileBytes(upload, ftptest::RandomBytes(300000, 3));
    // Long enough for the clicks below to land while the connect waits.
    const std::int32_t muteId = AddServerSite(
        {.name = "mute", .port = mute.port(), .user = "u", .timeout = 15, .nor = 1, .rd = 0});
    AddHistoryDetail(AddHistoryHead(muteId, "Upload"),
                     {"up.bin", "Upload", false, "up.bin", upload, "/"});
    const std::string program = ProgramWithSite(server.account().port);
    const std::string build = std::string(ZANTROPE_BIN_DIR) + "/../";

    mainwindow::testing::ProgramOnXvfb x(program, {"HOME=" + folder_});
    ASSERT_TRUE(x.Started());
    // The second site's page opens and lists its folder.
    ASSERT_TRUE(OpenListedSite(x, server, "local pyftpdlib", "alice"));
    ASSERT_TRUE(x.Locate(Control::Of("table cell", "there\\.txt"), seconds(30))) << x.Dump();

    // The recorded upload of the mute site runs again: its page opens and connects.
    ASSERT_TRUE(x.Click(Control::Of("page tab", "History")));
    ASSERT_TRUE(x.Click(Control::Of("push button", "Show/Refresh hostorys"))) << x.Dump();
    ASSERT_TRUE(x.Click(Control::Of("push button", "Expand")));
    ASSERT_TRUE(x.Click(Control::Of("table cell", "up\\.bin"), seconds(10))) << x.Dump();
    ASSERT_TRUE(x.Click(Control::Of("push button", "Execute")));
    ASSERT_TRUE(x.Locate(Control::Of("page tab", "mute"), seconds(10))) << x.Dump();
    // While it connects, the user switches to the connected page.
    ASSERT_TRUE(x.Click(Control::Of("page tab", "local pyftpdlib"))) << x.Dump();
    EXPECT_GT(x.Screenshot(build + "zantrope-rerun-tab-switch.png"), 50);

    // The connect gives up after its time-out and says so in its own page's log.
    EXPECT_TRUE(x.Locate(Control::Of("table cell", "Error occured.*").EvenHidden(), seconds(60)))
        << x.Dump();
    // A run on the wrong page would be under way by now.
    std::this_thread::sleep_for(seconds(3));
    EXPECT_FALSE(std::filesystem::exists(served + "up.bin"));
    const std::string log = ReadText(server.LogPath());
    EXPECT_EQ(log.find("STOR"), std::string::npos) << log;

    // The entry waits in its own page's queue: the history row and the queue row show it.
    ASSERT_TRUE(x.Click(Control::Of("page tab", "mute"))) << x.Dump();
    EXPECT_TRUE(x.Locate(Control::Of("table cell", "up\\.bin").At(1), seconds(10))) << x.Dump();
    EXPECT_GT(x.Screenshot(build + "zantrope-rerun-own-page.png"), 50);
    ASSERT_TRUE(x.Click(Control::Of("push button", "Exit")));
    EXPECT_TRUE(WaitFor([&] { return !x.Running(); }, seconds(15)));
    EXPECT_FALSE(std::filesystem::exists(served + "up.bin"));
}

}  // namespace
}  // namespace pagetest
