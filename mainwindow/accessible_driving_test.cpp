// The real program under Xvfb, driven through its accessibility tree: each control is found by
// its role and its name (or its hint), the pointer goes to where the tree says it is, and what
// the window shows afterwards is read back the same way. Pages of the local side are switched
// by their tabs, a folder of the local pane is entered with a double click on its row, and the
// banner's "Exit" ends the program.
#include <chrono>
#include <filesystem>
#include <fstream>

#include "mainwindow/main_form_test_support.h"
#include "mainwindow/testing/x_session.h"

namespace mainwindow::testing {
namespace {

using AccessibleDriving = MainFormTest;

TEST_F(AccessibleDriving, TabsRowsAndButtonsAreFoundByRoleAndName) {
    dm->VeskDatabase1->SetConnected(false);
    const std::string home = folder_ + "home";
    std::filesystem::create_directories(home + "/alpha");
    std::ofstream(home + "/alpha/inside-alpha.txt") << "a";
    const std::string program = folder_ + "zantrope";
    std::filesystem::copy_file(std::string(ZANTROPE_APP_DIR) + "/zantrope", program);

    ProgramOnXvfb x(program, {"HOME=" + home});
    ASSERT_TRUE(x.Started());
    ASSERT_FALSE(
        x.FindWindow("Zantrope FREE Edition", mainwindow::testing::kProgramStartLimit).empty())
        << "no window appeared; " << x.ProgramOutput();
    const Control dateColumn = Control::Of("table column header", "Date Modified");
    ASSERT_TRUE(x.Locate(dateColumn, std::chrono::seconds(30))) << x.Dump();

    // Another tab of the local side hides the local pane's list; its own tab shows it again.
    ASSERT_TRUE(x.Click(Control::Of("page tab", "History")));
    EXPECT_TRUE(WaitFor([&] { return x.Count(dateColumn) == 0; }, std::chrono::seconds(10)));
    ASSERT_TRUE(x.Click(Control::Of("page tab", "Local File")));
    ASSERT_TRUE(x.Locate(dateColumn, std::chrono::seconds(10)));

    // A double click on the folder's row enters it: its file is listed, the folder is not.
    const Control inside = Control::Of("table cell", "inside-alpha\\.txt");
    EXPECT_EQ(x.Count(inside), 0);
    ASSERT_TRUE(x.Click(Control::Of("table cell", "alpha"), std::chrono::seconds(10), 1, 2));
    EXPECT_TRUE(x.Locate(inside, std::chrono::seconds(10))) << x.Dump();
    EXPECT_EQ(x.Count(Control::Of("table cell", "alpha")), 0);

    ASSERT_TRUE(x.Click(Control::Of("push button", "Exit")));
    EXPECT_TRUE(WaitFor([&] { return !x.Running(); }, std::chrono::seconds(15)))
        << "the program did not end";
}

}  // namespace
}  // namespace mainwindow::testing
