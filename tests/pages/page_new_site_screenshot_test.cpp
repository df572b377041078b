// The real program on an X server of its own (Xvfb), started on a freshly built "all.dat"
// without sites: a site is made through the new-site dialog with the keyboard, the site list
// shows it, and a double click on it opens its page, which logs in to a local pyftpdlib.
// Screenshots are kept in the build folder (zantrope-new-site.png with the dialog filled in,
// zantrope-site-listed.png with the site listed, zantrope-site-page.png with the page).
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "mainwindow/testing/x_session.h"
#include "tests/ftp_servers/server_fixture.h"
#include "tests/pages/page_rig.h"

namespace pagetest {
namespace {

using PageNewSiteScreenshot = PageRig;
using mainwindow::testing::FirstLine;
using mainwindow::testing::ProgramOnXvfb;
using mainwindow::testing::ReadBytes;
using mainwindow::testing::WaitFor;

// The number of colours in a part of a screenshot: an empty area has one or two, an icon with
// its caption many.
int Colours(const std::string& png, const std::string& crop) {
    const std::string text =
        FirstLine("convert '" + png + "' -crop " + crop + " +repage -format '%k' info:");
    return text.empty() ? -1 : std::stoi(text);
}

TEST_F(PageNewSiteScreenshot, ASiteIsMadeWithTheKeyboardListedAndConnectedWithADoubleClick) {
    ftptest::PyftpdlibServer server("alice", "secret");
    std::ofstream(server.account().local_folder + "hello.txt") << "hello";
    const std::string port = std::to_string(server.account().port);
    dm->VeskDatabase1->SetConnected(false);  // the program uses the files now
    ASSERT_TRUE(Column(*dm->Tftpsite, "name").empty());
    const std::string program = folder_ + "zantrope";
    std::filesystem::copy_file(std::string(ZANTROPE_APP_DIR) + "/zantrope", program);
    ProgramOnXvfb x(program);
    ASSERT_TRUE(x.Started());
    ASSERT_FALSE(
        x.FindWindow("Zantrope FREE Edition", mainwindow::testing::kProgramStartLimit).empty())
        << "no window appeared; " << x.ProgramOutput();
    std::this_thread::sleep_for(std::chrono::seconds(1));

    // The site list fills the window's right side (no window manager: the window fills the
    // screen); its items are large icons, "NewFTPSite" first.
    constexpr const char* kNewSiteItem = "369 123";
    constexpr const char* kFirstSiteItem = "482 123";
    ASSERT_TRUE(x.Run(std::string("mousemove ") + kNewSiteItem + " click --repeat 2 --delay 80 1"));
    const std::string dialog = x.FindWindow("New FTP Site", std::chrono::seconds(10));
    ASSERT_FALSE(dialog.empty()) << "the double click on NewFTPSite opened no dialog";
    ASSERT_TRUE(x.Run("windowfocus --sync " + dialog));
    // The name has the focus; Tab goes on to the address, port, user name and password.
    ASSERT_TRUE(x.Run("type --delay 20 'Local test'"));
    ASSERT_TRUE(x.Run("key Tab"));
    ASSERT_TRUE(x.Run("type --delay 20 '127.0.0.1'"));
    ASSERT_TRUE(x.Run("key Tab ctrl+a"));
    ASSERT_TRUE(x.Run("type --delay 20 '" + port + "'"));
    ASSERT_TRUE(x.Run("key Tab ctrl+a"));
    ASSERT_TRUE(x.Run("type --delay 20 'alice'"));
    ASSERT_TRUE(x.Run("key Tab ctrl+a"));
    ASSERT_TRUE(x.Run("type --delay 20 'secret'"));
    const std::string build = std::string(ZANTROPE_BIN_DIR) + "/../";
    EXPECT_GT(x.Screenshot(build + "zantrope-new-site.png"), 50);
    ASSERT_TRUE(x.Run("key Return"));  // OK is the default button
    ASSERT_TRUE(WaitFor(
        [&] {
            return FirstLine(x.Env() + "xdotool search --name 'New FTP Site' 2>/dev/null").empty();
        },
        std::chrono::seconds(10)))
        << "the dialog stayed open";

    // The site list shows the new site beside "NewFTPSite", where the list was empty before.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const std::string listed = build + "zantrope-site-listed.png";
    EXPECT_GT(x.Screenshot(listed), 50);
    const std::string secondItem = "100x50+432+100";
    EXPECT_LT(Colours(build + "zantrope-new-site.png", secondItem), 5);
    EXPECT_GT(Colours(listed, secondItem), 10) << listed;

    dm->VeskDatabase1->SetConnected(true);
    EXPECT_EQ(Column(*dm->Tftpsite, "name"), std::vector<std::string>{"Local test"});
    EXPECT_EQ(Column(*dm->Tftpsite, "address"), std::vector<std::string>{"127.0.0.1"});
    EXPECT_EQ(Column(*dm->Tftpsite, "port"), std::vector<std::string>{port});
    EXPECT_EQ(Column(*dm->Tftpsite, "username"), std::vector<std::string>{"alice"});
    EXPECT_EQ(Column(*dm->Tftpsite, "password"), std::vector<std::string>{"secret"});
    dm->VeskDatabase1->SetConnected(false);

    // The new site is the list's second item: a double click on it connects.
    ASSERT_TRUE(
        x.Run(std::string("mousemove ") + kFirstSiteItem + " click --repeat 2 --delay 80 1"));
    const std::string serverLog = server.LogPath();
    ASSERT_TRUE(WaitFor(
        [&] { return ReadBytes(serverLog).find("USER 'alice' logged in.") != std::string::npos; },
        std::chrono::seconds(30)))
        << "the page did not log in";
    // The listing comes after the login; give the window time to show it.
    std::this_thread::sleep_for(std::chrono::seconds(2));
    EXPECT_GT(x.Screenshot(build + "zantrope-site-page.png"), 50);
    EXPECT_TRUE(x.Running());
}

}  // namespace
}  // namespace pagetest
