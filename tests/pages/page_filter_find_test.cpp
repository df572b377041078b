// The page's Filter and Find buttons with the real dialogs, on a folder listed from pyftpdlib
// through the main window: the filter narrows the list and clears its selection, Find selects
// in what is left, and Refresh shows the whole folder again.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QToolButton>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/ui/list_view.h"
#include "platform/ui/testing/gtest_failure.h"
#include "platform/ui/testing/modal_driver.h"
#include "platform/ui/testing/scripted_ui.h"
#include "shared/list_file.h"
#include "tests/ftp_servers/server_fixture.h"
#include "tests/pages/page_rig.h"

namespace pagetest {
namespace {

using PageFilterFind = PageRig;

std::vector<std::string> Names(const Tfb& frame) {
    std::vector<std::string> names;
    for (const rdatalist& entry : frame.FDisplayList)
        names.push_back(entry.name);
    return names;
}

std::vector<std::string> SelectedNames(const Tfb& frame) {
    std::vector<std::string> names;
    for (int row : frame.ListView2->SelectedRows())
        names.push_back(frame.FDisplayList[static_cast<std::size_t>(row)].name);
    return names;
}

TEST_F(PageFilterFind, FilterThenFindThenRefreshShowsTheWholeFolderAgain) {
    ftptest::PyftpdlibServer server("alice", "secret");
    const std::string root = server.account().local_folder;
    for (const char* name : {"a.txt", "b.TXT", "c", "notes.txt", "thread.c"})
        std::ofstream(root + name) << "x";
    std::filesystem::create_directory(root + "docs");
    AddServerSite(
        {.name = "local", .port = server.account().port, .user = "alice", .password = "secret"});
    ui::ScriptedUi boxes(ui::GtestFailure());  // no message box
    ui::ModalDriver driver(ui::GtestFailure());
    Tfb& frame = OpenSite("local");
    const std::vector<std::string> all = Names(frame);
    ASSERT_EQ(all.size(), 6u);

    frame.ListView2->SelectRows({0, 1, 2, 3, 4, 5});
    driver.Next([](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Filter");
        ui::Child<QComboBox>(dialog, "ComboBox1").setEditText(QStringLiteral("*.txt"));
        ui::ClickButton(dialog, "Button2");
    });
    frame.ToolButton7->click();
    EXPECT_EQ(Names(frame), (std::vector<std::string>{"docs", "a.txt", "notes.txt"}));
    EXPECT_EQ(frame.ListView2->RowCount(), 3);
    EXPECT_TRUE(frame.ListView2->SelectedRows().empty());
    EXPECT_FALSE(frame.Download1->isVisible());  // the page's commands saw the selection go

    driver.Next([](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Find");
        ui::Child<QComboBox>(dialog, "ComboBox1").setEditText(QStringLiteral("T"));
        ui::ClickButton(dialog, "Button2");
    });
    frame.ToolButton6->click();
    EXPECT_EQ(SelectedNames(frame), (std::vector<std::string>{"a.txt", "notes.txt"}));
    EXPECT_TRUE(frame.Download1->isVisible());

    frame.ToolButton2->click();  // Refresh
    EXPECT_EQ(Names(frame), all);
    EXPECT_EQ(shared::ReadListFile(folder_ + "Filter.dat"), std::vector<std::string>{"*.txt"});
    EXPECT_EQ(shared::ReadListFile(folder_ + "Find.dat"), std::vector<std::string>{"T"});
}

}  // namespace
}  // namespace pagetest
