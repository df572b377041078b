// The real program on an X server of its own (Xvfb): a double-click on a stored site that points
// at a local pyftpdlib opens its page, which logs in, shows its log lines and lists its login
// folder; screenshots before and after are kept in the build folder (zantrope-page-before.png,
// zantrope-page.png).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

#include "mainwindow/testing/x_session.h"
#include "tests/ftp_servers/child_process.h"
#include "tests/ftp_servers/server_fixture.h"
#include "tests/pages/page_rig.h"
#include "tests/pages/site_on_screen.h"

namespace pagetest {
namespace {

using PageScreenshot = PageRig;

using mainwindow::testing::FirstLine;
using mainwindow::testing::WaitFor;

// How many pixels of that part differ between two pictures of the screen.
long DifferentPixels(const std::string& first, const std::string& second, const std::string& crop) {
    // compare prints its count on stderr and exits with 1 when the pictures differ.
    const std::string text =
        FirstLine("compare -metric AE \\( '" + first + "' -crop " + crop + " +repage \\) \\( '" +
                  second + "' -crop " + crop + " +repage \\) null: 2>&1");
    return text.empty() ? -1 : std::stol(text);
}

TEST_F(PageScreenshot, ADoubleClickOnAStoredSiteOpensItsPageWhichLogsInAndShowsItsLog) {
    ftptest::PyftpdlibServer server("alice", "secret");
    std::ofstream(server.account().local_folder + "hello.txt") << "hello";
    AddServerSite({.name = "local pyftpdlib",
                   .port = server.account().port,
                   .user = "alice",
                   .password = "secret"});
    dm->VeskDatabase1->SetConnected(false);  // the program uses the files now
    const std::string program = CopyProgramInto(folder_, ZANTROPE_APP_DIR);

    // The server picks a free display itself and prints its number.
    ftptest::ChildProcess xserver(
        {"/usr/bin/Xvfb", "-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"},
        folder_ + "xvfb.log", /*capture_stdout=*/true);
    const std::string display = ":" + xserver.ReadLine(std::chrono::seconds(15));
    const std::string env = "env DISPLAY=" + display + " ";
    {
        ftptest::ChildProcess window({"/usr/bin/env", "DISPLAY=" + display, "QT_QPA_PLATFORM=xcb",
                                      "ASAN_OPTIONS=detect_leaks=0", program},
                                     folder_ + "zantrope.log", /*capture_stdout=*/false);
        std::string id;
        ASSERT_TRUE(WaitFor(
            [&] {
                id = FirstLine(env + "xdotool search --name 'Zantrope FREE Edition' 2>/dev/null");
                return !id.empty();
            },
            mainwindow::testing::kProgramStartLimit))
            << "no window appeared; the program wrote:\n"
            << ReadText(folder_ + "zantrope.log");
        std::this_thread::sleep_for(std::chrono::seconds(2));  // let it paint
        const std::string build = std::string(ZANTROPE_BIN_DIR) + "/../";
        const std::string before = build + "zantrope-page-before.png";
        ASSERT_EQ(std::system((env + "import -window root '" + before + "'").c_str()), 0);

        // The site's icon is the second item of the site list (large icons, after
        // "NewFTPSite"), where the window shows it at its default size.
        ASSERT_EQ(std::system((env + "xdotool mousemove --window " + id +
                               " 481 123 click --repeat 2 --delay 80 1")
                                  .c_str()),
                  0);
        ASSERT_TRUE(WaitForLogin(server, "alice")) << "the page did not log in";
        // The listing comes after the login; give the window time to show it.
        std::this_thread::sleep_for(std::chrono::seconds(3));
        const std::string after = build + "zantrope-page.png";
        ASSERT_EQ(std::system((env + "import -window root '" + after + "'").c_str()), 0);
        EXPECT_TRUE(window.Running());

        // Where the site list's tool bar and icons were, the page's log shows its rows now.
        const std::string logArea = "900x90+320+62";
        EXPECT_GT(Colours(after, logArea), 20) << after;
        EXPECT_GT(DifferentPixels(before, after, logArea), 5000) << before << " " << after;
        // The remote list shows the listed login folder: its first row holds the file's name
        // and details where the window showed an empty area before.
        const std::string firstRow = "480x16+316+217";
        EXPECT_EQ(Colours(before, firstRow), 1) << before;
        EXPECT_GT(Colours(after, firstRow), 20) << after;
    }
    // Opening the site stamped its latest access.
    dm->VeskDatabase1->SetConnected(true);
    EXPECT_NE(SiteColumn("local pyftpdlib", "zdate"), "2026-01-02 03:04:05");
}

}  // namespace
}  // namespace pagetest
