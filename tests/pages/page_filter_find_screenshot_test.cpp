// The real program under Xvfb, driven through its accessibility tree: a stored site's page
// lists a local pyftpdlib folder of mixed files, the Filter dialog narrows it to *.txt and the
// Find dialog selects the files named like a text in what is left; the banner's "About" opens
// the About box on its "Info" page. Screenshots: zantrope-filter-dialog.png,
// zantrope-filter.png, zantrope-find.png and zantrope-about.png in the build folder.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "mainwindow/testing/x_session.h"
#include "shared/list_file.h"
#include "tests/ftp_servers/server_fixture.h"
#include "tests/pages/page_rig.h"
#include "tests/pages/site_on_screen.h"

namespace pagetest {
namespace {

using mainwindow::testing::Control;
using mainwindow::testing::ProgramOnXvfb;
using mainwindow::testing::WaitFor;

using FilterFindScreenshot = PageRig;

// Whether `count` controls match `control` within kAppear.
bool Shows(const ProgramOnXvfb& x, const Control& control, int count) {
    return WaitFor([&] { return x.Count(control) == count; }, kAppear);
}

TEST_F(FilterFindScreenshot, APageIsFilteredThenSearchedAndAboutOpensOnInfo) {
    ftptest::PyftpdlibServer server("alice", "secret");
    const std::string root = server.account().local_folder;
    for (const char* name : {"a.txt", "b.TXT", "c", "notes.txt", "readme.md", "thread.c"})
        std::ofstream(root + name) << "x";
    std::filesystem::create_directory(root + "docs");
    const std::string program = ProgramWithSite(server.account().port);
    const std::string build = std::string(ZANTROPE_BIN_DIR) + "/../";

    const std::string home = folder_ + "home";
    std::filesystem::create_directories(home);  // the local pane shows no file named as ours
    ProgramOnXvfb x(program, {"HOME=" + home});
    ASSERT_TRUE(x.Started());
    // The site list shows icons: the site is a list item.
    ASSERT_TRUE(OpenListedSite(x, server, "local pyftpdlib", "alice"));
    ASSERT_TRUE(x.Locate(Row("b\\.TXT"), kAppear)) << x.Dump();

    // Filter: "*.txt" typed into the dialog's box, OK with the Return key.
    ASSERT_TRUE(x.Click(Control::Of("push button", "Filter"), kAppear));
    ASSERT_TRUE(x.Locate(Control::Of("combo box", "").In("^Filter$"), kAppear)) << x.Dump();
    ASSERT_TRUE(x.Run("type --delay 20 '*.txt'"));
    EXPECT_TRUE(WaitFor(
        [&] { return x.Text(Control::Of("combo box", "").In("^Filter$")) == "*.txt"; }, kAppear));
    EXPECT_GT(x.Screenshot(build + "zantrope-filter-dialog.png"), 50);
    ASSERT_TRUE(x.Run("key Return"));
    EXPECT_TRUE(WaitFor([&] { return x.Count(Row("b\\.TXT")) == 0; }, kAppear)) << x.Dump();
    // The tree follows the list's rows a moment later.
    for (const char* gone : {"c", "readme\\.md", "thread\\.c"})
        EXPECT_TRUE(Shows(x, Row(gone), 0)) << gone;
    for (const char* left : {"a\\.txt", "notes\\.txt", "docs"})
        EXPECT_TRUE(Shows(x, Row(left), 1)) << left;
    EXPECT_GT(x.Screenshot(build + "zantrope-filter.png"), 50);

    // Find: the files named with "TXT" in any case are selected, the folder is not.
    ASSERT_TRUE(x.Click(Control::Of("push button", "Find\\.\\.\\."), kAppear));
    ASSERT_TRUE(x.Locate(Control::Of("combo box", "").In("^Find$"), kAppear)) << x.Dump();
    ASSERT_TRUE(x.Run("type --delay 20 'TXT'"));
    ASSERT_TRUE(x.Click(Control::Of("push button", "Find").In("^Find$"), kAppear));
    EXPECT_TRUE(WaitFor(
        [&] { return x.States(Row("a\\.txt")).find("selected") != std::string::npos; }, kAppear))
        << x.States(Row("a\\.txt"));
    EXPECT_NE(x.States(Row("notes\\.txt")).find("selected"), std::string::npos);
    EXPECT_EQ(x.States(Row("docs")).find("selected"), std::string::npos);
    EXPECT_GT(x.Screenshot(build + "zantrope-find.png"), 50);

    // About opens on "Info"; OK closes it.
    ASSERT_TRUE(x.Click(Control::Of("push button", "About"), kAppear));
    const Control info = Control::Of("page tab", "Info").In("^About$");
    ASSERT_TRUE(x.Locate(info, kAppear)) << x.Dump();
    // The "Info" page shows its texts; the version history's memo is hidden behind it.
    EXPECT_TRUE(Shows(x, Control::Of("label", "Version : 1\\.2 \\(Builder 1\\.279\\)"), 1));
    EXPECT_TRUE(Shows(x, Control::Of("label", "FREE Edition"), 1));
    EXPECT_EQ(x.Count(Control::Of("text", "").In("^About$")), 0) << x.Dump();
    EXPECT_GT(x.Screenshot(build + "zantrope-about.png"), 50);
    ASSERT_TRUE(x.Click(Control::Of("push button", "OK").In("^About$"), kAppear));
    EXPECT_TRUE(WaitFor([&] { return x.Count(info) == 0; }, kAppear));

    ASSERT_TRUE(x.Click(Control::Of("push button", "Exit"), kAppear));
    EXPECT_TRUE(WaitFor([&] { return !x.Running(); }, kAppear)) << "the program did not end";
    const std::string programFolder = program.substr(0, program.rfind('/') + 1);
    EXPECT_EQ(shared::ReadListFile(programFolder + "Filter.dat"),
              std::vector<std::string>{"*.txt"});
    EXPECT_EQ(shared::ReadListFile(programFolder + "Find.dat"), std::vector<std::string>{"TXT"});
}

}  // namespace
}  // namespace pagetest
