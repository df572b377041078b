// The real program under Xvfb: the banner's "Help" opens the help window's topics finder, and
// words typed into its field narrow the list; a connection page's "Help" opens the page's
// topic. Screenshots: build/zantrope-help-finder.png, build/zantrope-help-page.png.
#include <chrono>
#include <filesystem>

#include "mainwindow/main_form_test_support.h"
#include "mainwindow/testing/x_session.h"

namespace mainwindow::testing {
namespace {

using HelpWindowOnScreen = MainFormTest;

TEST_F(HelpWindowOnScreen, TheBannersHelpFindsTopicsAndAPagesHelpShowsItsTopic) {
    AddSites({"alpha"});
    dm->VeskDatabase1->SetConnected(false);
    const std::string program = folder_ + "zantrope";
    std::filesystem::copy_file(std::string(ZANTROPE_APP_DIR) + "/zantrope", program);
    std::filesystem::copy_file(std::string(ZANTROPE_APP_DIR) + "/Zantrope.hlp",
                               folder_ + "Zantrope.hlp");
    std::filesystem::create_directories(folder_ + "home");

    ProgramOnXvfb x(program, {"HOME=" + folder_ + "home"});
    ASSERT_TRUE(x.Started());
    ASSERT_FALSE(
        x.FindWindow("Zantrope FREE Edition", mainwindow::testing::kProgramStartLimit).empty())
        << "no window appeared; " << x.ProgramOutput();
    ASSERT_TRUE(x.Locate(Control::Of("list item", "alpha"), std::chrono::seconds(60))) << x.Dump();

    // The banner's Help: the finder lists every topic; a typed word keeps those that hold it.
    ASSERT_TRUE(x.Click(Control::Of("push button", "Help")));
    ASSERT_FALSE(
        x.FindWindow("Zantrope Help - Zantrope help topics", std::chrono::seconds(15)).empty())
        << x.Dump();
    // (The help window belongs to the main window, so its controls are found by their own
    // names: the topics' titles and the field's name are the window's alone.)
    const Control socksTopic = Control::Of("list item", "Options: Socks");
    const Control proxyTopic = Control::Of("list item", "Options: Proxy");
    const Control historyTopic = Control::Of("list item", "The history page");
    const Control tasksTopic = Control::Of("list item", "The tasks page");
    for (const Control& topic : {socksTopic, proxyTopic, historyTopic, tasksTopic})
        ASSERT_TRUE(x.Locate(topic, std::chrono::seconds(20))) << topic.name << x.Dump();
    ASSERT_TRUE(x.Click(Control::Of("text", "Words to find"), std::chrono::seconds(20)));
    ASSERT_TRUE(x.Run("type --delay 40 'socks'"));
    // The tree follows the list a moment later: wait for the whole narrowed list.
    EXPECT_TRUE(WaitFor(
        [&] {
            return x.Count(historyTopic) == 0 && x.Count(tasksTopic) == 0 &&
                   x.Count(socksTopic) == 1 && x.Count(proxyTopic) == 1;
        },
        std::chrono::seconds(20)))
        << x.Dump();
    const std::string finderPng = std::string(ZANTROPE_BIN_DIR) + "/../zantrope-help-finder.png";
    EXPECT_GT(x.Screenshot(finderPng), 50) << finderPng;
    // A click on a listed topic shows it.
    ASSERT_TRUE(x.Click(socksTopic, std::chrono::seconds(20)));
    EXPECT_FALSE(x.FindWindow("Zantrope Help - Options: Socks", std::chrono::seconds(10)).empty());

    // A page's Help, the rightmost "Help" of the window (the local pane's is on the left). The
    // help window is moved off the site list first (there is no window manager to raise the
    // main window on a click).
    ASSERT_TRUE(x.Run("search --name '^Zantrope Help' windowmove 0 560"));
    ASSERT_TRUE(x.Click(Control::Of("list item", "alpha"), std::chrono::seconds(30), 1, 2))
        << x.Dump();
    ASSERT_TRUE(x.Locate(Control::Of("page tab", "alpha"), std::chrono::seconds(15))) << x.Dump();
    const Control helpButtons =
        Control::Of("push button", "").Described("Help").In("Zantrope FREE.*");
    ASSERT_TRUE(WaitFor([&] { return x.Count(helpButtons) == 2; }, std::chrono::seconds(15)))
        << x.Dump();
    const std::optional<ScreenRect> first = x.Locate(helpButtons.At(0), std::chrono::seconds(5));
    const std::optional<ScreenRect> second = x.Locate(helpButtons.At(1), std::chrono::seconds(5));
    ASSERT_TRUE(first && second);
    ASSERT_TRUE(x.Click(helpButtons.At(first->x > second->x ? 0 : 1)));
    EXPECT_FALSE(
        x.FindWindow("Zantrope Help - The connection page", std::chrono::seconds(15)).empty())
        << x.Dump();
    // The help window's text (its role is "label") shows the page's topic.
    EXPECT_EQ(x.Text(Control::Of("label", "Help topic")).rfind("The connection page", 0), 0u)
        << x.Dump();
    const std::string pagePng = std::string(ZANTROPE_BIN_DIR) + "/../zantrope-help-page.png";
    EXPECT_GT(x.Screenshot(pagePng), 50) << pagePng;

    ASSERT_TRUE(x.Click(Control::Of("push button", "Exit").In("Zantrope FREE.*")));
    EXPECT_TRUE(WaitFor([&] { return !x.Running(); }, std::chrono::seconds(15)))
        << "the program did not end with its help window open";
}

}  // namespace
}  // namespace mainwindow::testing
