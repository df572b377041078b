// The history page of the real program under Xvfb, driven through its accessibility tree: a
// file is downloaded from a stored site on pyftpdlib through the page's "Download..." button
// and its dialog, the History page is refreshed and expanded, the transfer is selected (its
// details shown), its local copy deleted, and Execute brings the file back byte for byte.
// Screenshots: the filled tree with the details (zantrope-history.png) and the window after
// the re-run (zantrope-history-rerun.png), in the build folder.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "mainwindow/testing/x_session.h"
#include "tests/ftp_servers/file_bytes.h"
#include "tests/ftp_servers/server_fixture.h"
#include "tests/pages/page_rig.h"
#include "tests/pages/site_on_screen.h"

namespace pagetest {
namespace {

using mainwindow::testing::Control;
using mainwindow::testing::ReadBytes;
using mainwindow::testing::WaitFor;
using std::chrono::seconds;

using HistoryScreenshot = PageRig;

TEST_F(HistoryScreenshot, ARecordedDownloadRunsAgainFromTheHistoryPage) {
    ftptest::PyftpdlibServer server("alice", "secret");
    const std::string bytes = ftptest::RandomBytes(1 << 20, 1);
    ftptest::WriteFileBytes(server.account().local_folder + "payload.bin", bytes);
    const std::string program = ProgramWithSite(server.account().port);
    const std::string build = std::string(ZANTROPE_BIN_DIR) + "/../";
    const std::string target = folder_ + "arrived";
    const std::string file = target + "/payload.bin";

    mainwindow::testing::ProgramOnXvfb x(program, {"HOME=" + folder_});
    ASSERT_TRUE(x.Started());
    // The stored site opens on a double click and lists its folder.
    ASSERT_TRUE(OpenListedSite(x, server, "local pyftpdlib", "alice"));
    const Control remoteRow = Control::Of("table cell", "payload\\.bin");
    ASSERT_TRUE(x.Click(remoteRow, seconds(30))) << x.Dump();
    ASSERT_TRUE(x.Click(Control::Of("push button", "Download\\.\\.\\."))) << x.Dump();
    ASSERT_FALSE(x.FindWindow("^Download$", seconds(15)).empty()) << "no Download dialog";
    ASSERT_TRUE(x.Run("type --delay 20 '" + target + "'"));
    ASSERT_TRUE(x.Click(Control::Of("push button", "OK").In("^Download$"))) << x.Dump();
    ASSERT_TRUE(WaitFor([&] { return ftptest::HasFileSize(file, bytes.size()); }, seconds(60)))
        << "the file did not arrive";

    // The History page: refresh, expand, select the transfer; its six details show.
    ASSERT_TRUE(x.Click(Control::Of("page tab", "History")));
    ASSERT_TRUE(x.Click(Control::Of("push button", "Show/Refresh hostorys"))) << x.Dump();
    ASSERT_TRUE(x.Click(Control::Of("push button", "Expand")));
    // The remote list shows the file too; the tree's row comes after it.
    const Control transfer = Control::Of("table cell", "payload\\.bin").At(1);
    ASSERT_TRUE(x.Click(transfer, seconds(10))) << x.Dump();
    EXPECT_TRUE(x.Locate(Control::Of("label", ".*sec"), seconds(10))) << x.Dump();
    EXPECT_TRUE(x.Locate(Control::Of("label", file), seconds(10)));
    EXPECT_GT(x.Screenshot(build + "zantrope-history.png"), 50);

    // The local copy goes; Execute brings it back.
    std::filesystem::remove(file);
    ASSERT_TRUE(x.Click(Control::Of("push button", "Execute")));
    ASSERT_TRUE(WaitFor([&] { return ftptest::HasFileSize(file, bytes.size()); }, seconds(60)))
        << "the file did not arrive again";
    EXPECT_EQ(ReadBytes(file), bytes);
    EXPECT_GT(x.Screenshot(build + "zantrope-history-rerun.png"), 50);
    ASSERT_TRUE(x.Click(Control::Of("push button", "Exit")));
    EXPECT_TRUE(WaitFor([&] { return !x.Running(); }, seconds(15)));
}

}  // namespace
}  // namespace pagetest
