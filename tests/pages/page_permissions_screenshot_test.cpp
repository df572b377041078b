// The real program on an X server of its own (Xvfb): on the page of a stored site that points
// at a local pyftpdlib, a file of the remote list is selected and "Properties" chosen from the
// list's popup menu; the permissions dialog appears over the page and is kept as a screenshot
// in the build folder (zantrope-permissions.png). Cancel closes it and changes nothing.
#include <gtest/gtest.h>

#include <sys/stat.h>

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

using PermissionsScreenshot = PageRig;

using mainwindow::testing::FirstLine;
using mainwindow::testing::ProgramOnXvfb;
using mainwindow::testing::WaitFor;

TEST_F(PermissionsScreenshot, PropertiesOfASelectedFileShowsThePermissionsDialog) {
    ftptest::PyftpdlibServer server("alice", "secret");
    const std::string file = server.account().local_folder + "hello.txt";
    std::ofstream(file) << "hello";
    ::chmod(file.c_str(), 0640);
    AddServerSite({.name = "local pyftpdlib",
                   .port = server.account().port,
                   .user = "alice",
                   .password = "secret"});
    dm->VeskDatabase1->SetConnected(false);  // the program uses the files now
    const std::string program = CopyProgramInto(folder_, ZANTROPE_APP_DIR);

    ProgramOnXvfb x(program);
    ASSERT_TRUE(x.Started());
    const std::string main = OpenStoredSite(x, server, "alice");
    ASSERT_FALSE(main.empty());

    // The file is the remote list's first row: select it, open its popup menu and choose its
    // last item, "Properties".
    ASSERT_TRUE(x.Run("mousemove --window " + main + " 360 225 click 1"));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ASSERT_TRUE(x.Run("click 3"));
    std::this_thread::sleep_for(std::chrono::seconds(1));
    ASSERT_TRUE(x.Run("key Up Return"));
    // Qt keeps unmapped helper windows of the same title: the dialog is the visible one.
    const auto visibleDialog = [&] {
        return FirstLine(x.Env() +
                         "xdotool search --onlyvisible --name '^Properties$' 2>/dev/null");
    };
    std::string dialog;
    ASSERT_TRUE(WaitFor(
        [&] {
            dialog = visibleDialog();
            return !dialog.empty();
        },
        std::chrono::seconds(15)))
        << "the permissions dialog did not appear";
    std::this_thread::sleep_for(std::chrono::seconds(1));  // let it paint
    const std::string png = std::string(ZANTROPE_BIN_DIR) + "/../zantrope-permissions.png";
    EXPECT_GT(x.Screenshot(png), 20) << png;
    // The dialog is painted where the server without a window manager put it.
    const std::string geometry =
        FirstLine(x.Env() + "xdotool getwindowgeometry --shell " + dialog + " | tr '\\n' ' '");
    int left = -1, top = -1, width = 0, height = 0;
    ASSERT_EQ(std::sscanf(geometry.c_str(), "WINDOW=%*d X=%d Y=%d WIDTH=%d HEIGHT=%d", &left, &top,
                          &width, &height),
              4)
        << geometry;
    EXPECT_GT(width, 150);
    EXPECT_GT(height, 150);
    EXPECT_GT(Colours(png, std::to_string(width) + "x" + std::to_string(height) + "+" +
                               std::to_string(left) + "+" + std::to_string(top)),
              20);

    // Escape cancels: the dialog goes, the file keeps its mode.
    ASSERT_TRUE(x.Run("key Escape"));
    EXPECT_TRUE(WaitFor([&] { return visibleDialog().empty(); }, std::chrono::seconds(10)));
    EXPECT_TRUE(x.Running());
    struct stat facts {};
    ASSERT_EQ(::stat(file.c_str(), &facts), 0);
    EXPECT_EQ(facts.st_mode & 0777, 0640u);
    dm->VeskDatabase1->SetConnected(true);
}

}  // namespace
}  // namespace pagetest
