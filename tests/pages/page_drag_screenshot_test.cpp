// The real program on an X server of its own (Xvfb), worked with the pointer (xdotool): with a
// page connected to a local pyftpdlib, a local file dragged onto the page's remote list is
// uploaded, and a remote file dragged onto the local pane is downloaded into the folder it
// shows. Screenshots after each drag are kept in the build folder (zantrope-drag-upload.png,
// zantrope-drag-download.png).
//
// The pointer goes to the controls' places in the window, which fills the 1280x1024 screen
// with the program's style and fonts.
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

using mainwindow::testing::ProgramOnXvfb;
using mainwindow::testing::WaitFor;

constexpr const char* kLocalFirst = "60 154";    // the first item of the local view
constexpr const char* kLocalEmpty = "120 600";   // empty space of the local view
constexpr const char* kRemoteFirst = "400 225";  // the first row of the remote list
constexpr const char* kRemoteEmpty = "700 500";  // empty space of the remote list

using DragOnScreen = PageRig;

TEST_F(DragOnScreen, AFileDraggedEachWayIsUploadedAndDownloaded) {
    ftptest::PyftpdlibServer server("alice", "secret");
    const std::string remote = server.account().local_folder;
    std::ofstream(remote + "down.txt") << "from the server\r\n";
    AddServerSite({.name = "local pyftpdlib",
                   .port = server.account().port,
                   .user = "alice",
                   .password = "secret"});
    dm->VeskDatabase1->SetConnected(false);  // the program uses the files now
    const std::string home = folder_ + "home";
    std::filesystem::create_directories(home);
    std::ofstream(home + "/up.txt") << "from the desk\n";
    const std::string program = CopyProgramInto(folder_, ZANTROPE_APP_DIR);

    ProgramOnXvfb x(program, {"HOME=" + home});
    ASSERT_TRUE(x.Started());
    const std::string id = OpenStoredSite(x, server, "alice");
    ASSERT_FALSE(id.empty());
    // These pauses pace the input for the window; nothing is timed.
    const auto run = [&](const std::string& command) {
        ASSERT_TRUE(x.Run(command)) << command;
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
    };
    // A drag as a hand makes it: press, a few moves (the first starts the drag), release.
    const auto drag = [&](const std::string& from, const std::string& to) {
        run("mousemove " + from + " mousedown 1");
        run("mousemove_relative 12 12");
        run("mousemove_relative 30 30");
        run("mousemove " + to);
        run("mousemove_relative 3 3");
        run("mouseup 1");
    };
    const std::string build = std::string(ZANTROPE_BIN_DIR) + "/../";

    drag(kLocalFirst, kRemoteEmpty);
    EXPECT_TRUE(WaitFor([&] { return ReadText(remote + "up.txt") == "from the desk\n"; },
                        std::chrono::seconds(30)))
        << "the dragged file was not uploaded";
    std::this_thread::sleep_for(std::chrono::seconds(1));  // the list is listed anew
    EXPECT_GT(x.Screenshot(build + "zantrope-drag-upload.png"), 50);

    // The remote list shows "down.txt" first now, "up.txt" after it.
    drag(kRemoteFirst, kLocalEmpty);
    // A text file goes in ASCII type: its line end arrives in the local convention.
    EXPECT_TRUE(WaitFor([&] { return ReadText(home + "/down.txt") == "from the server\n"; },
                        std::chrono::seconds(30)))
        << "the dragged remote file was not downloaded";
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_GT(x.Screenshot(build + "zantrope-drag-download.png"), 50);
    EXPECT_TRUE(x.Running());
}

}  // namespace
}  // namespace pagetest
