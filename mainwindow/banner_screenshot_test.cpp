// The real program under Xvfb on a desktop with no program for web or mail addresses: the
// banner's two pictures fill it to its corner, "Homepage" says in a message that no program
// opens the address, the help window is a window and the Tasks page's reload button has its
// name for a screen reader. Screenshots: build/zantrope-banner-no-program.png,
// build/zantrope-tasks-page.png.
#include <chrono>
#include <filesystem>
#include <string>

#include "mainwindow/main_form_test_support.h"
#include "mainwindow/testing/x_session.h"

namespace mainwindow::testing {
namespace {

using BannerOnScreen = MainFormTest;

// The colour of one pixel of a picture, as ImageMagick names it ("srgb(16,58,122)").
std::string PixelOf(const std::string& png, int x, int y) {
    return FirstLine("convert '" + png + "' -format '%[pixel:p{" + std::to_string(x) + "," +
                     std::to_string(y) + "}]' info:");
}

TEST_F(BannerOnScreen, HomepageWithoutABrowserSaysSoAndTheBannerIsFilled) {
    dm->VeskDatabase1->SetConnected(false);
    const std::string program = folder_ + "zantrope";
    std::filesystem::copy_file(std::string(ZANTROPE_APP_DIR) + "/zantrope", program);
    std::filesystem::copy_file(std::string(ZANTROPE_APP_DIR) + "/Zantrope.hlp",
                               folder_ + "Zantrope.hlp");
    std::filesystem::create_directories(folder_ + "home");
    // A search path with no opener and no browser, and no browser named in the environment.
    std::filesystem::create_directories(folder_ + "nobin");
    ProgramOnXvfb x(program, {"HOME=" + folder_ + "home", "PATH=" + folder_ + "nobin",
                              "BROWSER=", "DEFAULT_BROWSER="});
    ASSERT_TRUE(x.Started());
    const std::string window =
        x.FindWindow("Zantrope FREE Edition", mainwindow::testing::kProgramStartLimit);
    ASSERT_FALSE(window.empty()) << "no window appeared; " << x.ProgramOutput();
    ASSERT_TRUE(x.Locate(Control::Of("push button", "Homepage"), std::chrono::seconds(60)))
        << x.Dump();

    // The banner at the window's top left corner: its picture, not the window's grey, at 3,3.
    const std::string corner = FirstLine(x.Env() + "xdotool getwindowgeometry --shell " + window +
                                         " | sed -n 's/^[XY]=//p' | paste -sd' '");
    int left = 0;
    int top = 0;
    ASSERT_EQ(std::sscanf(corner.c_str(), "%d %d", &left, &top), 2) << corner;
    const std::string png = std::string(ZANTROPE_BIN_DIR) + "/../zantrope-banner-no-program.png";
    ASSERT_TRUE(x.Click(Control::Of("push button", "Homepage")));
    const Control message = Control::Of("label",
                                        "There is no program on this desktop to open "
                                        "https://www\\.example\\.org/zantrope/\\.");
    ASSERT_TRUE(x.Locate(message, std::chrono::seconds(20))) << x.Dump();
    EXPECT_GT(x.Screenshot(png), 50) << png;
    const std::string pixel = PixelOf(png, left + 3, top + 3);
    EXPECT_NE(pixel, "srgb(239,239,239)") << png;
    EXPECT_NE(pixel.find("srgb("), std::string::npos) << pixel;
    ASSERT_TRUE(x.Click(Control::Of("push button", "OK")));
    EXPECT_TRUE(WaitFor([&] { return x.Count(message) == 0; }, std::chrono::seconds(10)))
        << x.Dump();

    // The Tasks page's reload button, which has no hint, is found by its name.
    ASSERT_TRUE(x.Click(Control::Of("page tab", "Tasks"), std::chrono::seconds(15))) << x.Dump();
    ASSERT_TRUE(x.Locate(Control::Of("push button", "Reload tasks"), std::chrono::seconds(15)))
        << x.Dump();
    const std::string tasksPng = std::string(ZANTROPE_BIN_DIR) + "/../zantrope-tasks-page.png";
    EXPECT_GT(x.Screenshot(tasksPng), 50) << tasksPng;

    // The banner's Help: the help window is a window ("frame") to a screen reader.
    ASSERT_TRUE(x.Click(Control::Of("push button", "Help").In("Zantrope FREE.*")));
    ASSERT_FALSE(x.FindWindow("Zantrope Help", std::chrono::seconds(15)).empty()) << x.Dump();
    EXPECT_TRUE(WaitFor([&] { return x.Count(Control::Of("frame", "Zantrope Help.*")) == 1; },
                        std::chrono::seconds(15)))
        << x.Dump();

    // Off the banner (there is no window manager to raise the main window on a click).
    ASSERT_TRUE(x.Run("search --name '^Zantrope Help' windowmove 0 560"));
    ASSERT_TRUE(x.Click(Control::Of("push button", "Exit").In("Zantrope FREE.*")));
    EXPECT_TRUE(WaitFor([&] { return !x.Running(); }, std::chrono::seconds(15)));
}

}  // namespace
}  // namespace mainwindow::testing
