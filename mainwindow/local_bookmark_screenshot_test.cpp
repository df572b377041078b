// The real program under Xvfb, worked with the pointer and the keyboard (xdotool): a folder of
// the local pane is entered by a double click, bookmarked with "Add bookmark", left with the
// up button and shown again through its bookmark item. The pane's folder and the bookmark are
// read back from the files the program writes ("bookmark.dat", and "forminfo.ini" at exit); a
// screenshot with the bookmark menu open is kept in the build folder
// (zantrope-local-bookmark.png).
//
// The pointer goes to the controls' places in the window, which fills the 1280x1024 screen
// with the program's style and fonts.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "mainwindow/main_form_test_support.h"
#include "mainwindow/testing/x_session.h"
#include "platform/os/private_profile.h"
#include "shared/list_file.h"

namespace mainwindow::testing {
namespace {

constexpr const char* kFirstRow = "22 154";  // the first item of the local view
constexpr const char* kAddBookmark = "61 78";
constexpr const char* kBookmarkArrow = "84 78";  // the drop-down part of "Add bookmark"
constexpr const char* kUp = "20 78";
constexpr const char* kExit = "402 17";  // the banner's "Exit"

using LocalBookmarkOnScreen = MainFormTest;

TEST_F(LocalBookmarkOnScreen, AFolderIsBookmarkedAndShownAgainWithPointerAndKeys) {
    dm->VeskDatabase1->SetConnected(false);
    const std::string home = folder_ + "home";
    std::filesystem::create_directories(home + "/alpha");
    std::filesystem::create_directories(home + "/beta");
    std::ofstream(home + "/alpha/inside-alpha.txt") << "a";
    const std::string program = folder_ + "zantrope";
    std::filesystem::copy_file(std::string(ZANTROPE_APP_DIR) + "/zantrope", program);

    ProgramOnXvfb x(program, {"HOME=" + home});
    ASSERT_TRUE(x.Started());
    ASSERT_FALSE(
        x.FindWindow("Zantrope FREE Edition", mainwindow::testing::kProgramStartLimit).empty())
        << "no window appeared; " << x.ProgramOutput();
    // Each step waits for the window to take the previous one (the folder is read in the
    // background); these pauses pace the input, nothing is timed.
    const auto run = [&](const std::string& command) {
        ASSERT_TRUE(x.Run(command)) << command;
        std::this_thread::sleep_for(std::chrono::seconds(1));
    };
    std::this_thread::sleep_for(std::chrono::seconds(2));  // let it paint

    run(std::string("mousemove ") + kFirstRow + " click --repeat 2 --delay 80 1");
    run(std::string("mousemove ") + kAddBookmark + " click 1");
    const std::string bookmarks = folder_ + "bookmark.dat";
    ASSERT_TRUE(
        WaitFor([&] { return std::filesystem::exists(bookmarks); }, std::chrono::seconds(10)))
        << "no bookmark was written";
    EXPECT_EQ(shared::ReadListFile(bookmarks), (std::vector<std::string>{home + "/alpha"}));

    run(std::string("mousemove ") + kUp + " click 1");
    run(std::string("mousemove ") + kBookmarkArrow + " click 1");
    const std::string png = std::string(ZANTROPE_BIN_DIR) + "/../zantrope-local-bookmark.png";
    ASSERT_GT(x.Screenshot(png), 50);
    // "Add Bookmark", "Manage Bookmarks...", (the separator is passed over), the bookmark.
    run("key Down Down Down Return");

    run(std::string("mousemove ") + kExit + " click 1");
    ASSERT_TRUE(WaitFor([&] { return !x.Running(); }, std::chrono::seconds(15)))
        << "the program did not end";
    // The folder shown at exit is the bookmarked one, not the home folder "up" went to.
    EXPECT_EQ(os::GetPrivateProfileString("MAIN", "LOCALPATH", "<none>", folder_ + "forminfo.ini"),
              home + "/alpha");
    EXPECT_EQ(shared::ReadListFile(bookmarks), (std::vector<std::string>{home + "/alpha"}));
}

}  // namespace
}  // namespace mainwindow::testing
