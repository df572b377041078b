// Typed texts in the real program under Xvfb, driven through its accessibility tree: a Filter
// text entered with Return beside a remembered text of another case is used and remembered as
// typed, and a category whose description is longer than its column is saved and shown.
// Screenshots: zantrope-filter-case.png and zantrope-category-long.png in the build folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
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

using TypedTextScreenshot = PageRig;

std::string FolderOf(const std::string& program) {
    return program.substr(0, program.rfind('/') + 1);
}

TEST_F(TypedTextScreenshot, AFilterTypedInAnotherCaseThanARememberedOneIsUsedAsTyped) {
    ftptest::PyftpdlibServer server("alice", "secret");
    const std::string root = server.account().local_folder;
    for (const char* name : {"a.txt", "b.TXT", "c.md"})
        std::ofstream(root + name) << "x";
    const std::string program = ProgramWithSite(server.account().port);
    ASSERT_TRUE(shared::WriteListFile(FolderOf(program) + "Filter.dat", {"*.txt"}));
    const std::string build = std::string(ZANTROPE_BIN_DIR) + "/../";
    const std::string home = folder_ + "home";
    std::filesystem::create_directories(home);

    ProgramOnXvfb x(program, {"HOME=" + home});
    ASSERT_TRUE(x.Started());
    ASSERT_TRUE(OpenListedSite(x, server, "local pyftpdlib", "alice"));
    ASSERT_TRUE(x.Locate(Row("b\\.TXT"), kAppear)) << x.Dump();

    // "*.TXT" typed over the box and entered with Return, the remembered "*.txt" beside it.
    ASSERT_TRUE(x.Click(Control::Of("push button", "Filter"), kAppear));
    const Control box = Control::Of("combo box", "").In("^Filter$");
    ASSERT_TRUE(x.Locate(box, kAppear)) << x.Dump();
    ASSERT_TRUE(x.Run("key ctrl+a"));
    ASSERT_TRUE(x.Run("type --delay 20 '*.TXT'"));
    EXPECT_TRUE(WaitFor([&] { return x.Text(box) == "*.TXT"; }, kAppear)) << x.Text(box);
    ASSERT_TRUE(x.Run("key Return"));
    EXPECT_TRUE(WaitFor([&] { return x.Count(Row("a\\.txt")) == 0; }, kAppear)) << x.Dump();
    EXPECT_TRUE(WaitFor([&] { return x.Count(Row("c\\.md")) == 0; }, kAppear));
    EXPECT_EQ(x.Count(Row("b\\.TXT")), 1);
    EXPECT_GT(x.Screenshot(build + "zantrope-filter-case.png"), 50);

    ASSERT_TRUE(x.Click(Control::Of("push button", "Exit"), kAppear));
    EXPECT_TRUE(WaitFor([&] { return !x.Running(); }, kAppear)) << "the program did not end";
    std::vector<std::string> remembered = shared::ReadListFile(FolderOf(program) + "Filter.dat");
    std::sort(remembered.begin(), remembered.end());
    EXPECT_EQ(remembered, (std::vector<std::string>{"*.TXT", "*.txt"}));
}

TEST_F(TypedTextScreenshot, ACategoryWithADescriptionLongerThanItsColumnIsSavedAndShown) {
    ftptest::PyftpdlibServer server("alice", "secret");
    const std::string program = ProgramWithSite(server.account().port);
    const std::string build = std::string(ZANTROPE_BIN_DIR) + "/../";
    const std::string home = folder_ + "home";
    std::filesystem::create_directories(home);
    std::string description;
    while (description.size() < 300)
        description += "0123456789";

    {
        ProgramOnXvfb x(program, {"HOME=" + home});
        ASSERT_TRUE(x.Started());
        ASSERT_FALSE(
            x.FindWindow("Zantrope FREE Edition", mainwindow::testing::kProgramStartLimit).empty())
            << x.ProgramOutput();
        ASSERT_TRUE(x.Click(Control::Of("page tab", "Tasks"), kAppear)) << x.Dump();
        ASSERT_TRUE(x.Click(Control::Of("push button", "New category"), kAppear)) << x.Dump();
        const std::string dialog = "^New category$";
        ASSERT_TRUE(x.Click(Control::Of("text", "Category name").In(dialog), kAppear)) << x.Dump();
        ASSERT_TRUE(x.Run("type --delay 20 'Long notes'"));
        ASSERT_TRUE(x.Click(Control::Of("text", "Description").In(dialog), kAppear)) << x.Dump();
        ASSERT_TRUE(x.Run("type --delay 5 '" + description + "'"));
        ASSERT_TRUE(x.Click(Control::Of("push button", "OK").In(dialog), kAppear)) << x.Dump();
        EXPECT_TRUE(
            WaitFor([&] { return x.Count(Control::Of("text", "").In(dialog)) == 0; }, kAppear))
            << "the dialog stayed open";

        // The category is listed; chosen, it shows the description as the column holds it.
        ASSERT_TRUE(x.Click(Control::Of("table cell", "Long notes"), kAppear)) << x.Dump();
        const Control shown = Control::Of("text", "Description");
        EXPECT_TRUE(WaitFor([&] { return x.Text(shown) == description.substr(0, 255); }, kAppear))
            << x.Text(shown);
        EXPECT_GT(x.Screenshot(build + "zantrope-category-long.png"), 50);
        ASSERT_TRUE(x.Click(Control::Of("push button", "Exit"), kAppear));
        EXPECT_TRUE(WaitFor([&] { return !x.Running(); }, kAppear)) << "the program did not end";
    }
    dm->VeskDatabase1->SetConnected(true);
    EXPECT_EQ(Column(*dm->Ttask, "name"), std::vector<std::string>{"Long notes"});
    EXPECT_EQ(Column(*dm->Ttask, "desc"), std::vector<std::string>{description.substr(0, 255)});
}

}  // namespace
}  // namespace pagetest
