// Every control of the window, of every page of its left and right sides, of a connection page
// and of every dialog has an accessible name, whether it is shown at the moment or not; the
// help window is a window to a screen reader.
#include <QAccessible>
#include <QDialog>
#include <QTabWidget>

#include <functional>
#include <memory>

#include "connection/tfb.h"
#include "dialogs/about_dialog.h"
#include "dialogs/bookmark_manager.h"
#include "dialogs/download_target_dialog.h"
#include "dialogs/duplicate_dialog.h"
#include "dialogs/filter_dialog.h"
#include "dialogs/find_dialog.h"
#include "dialogs/options_dialog.h"
#include "dialogs/permissions_dialog.h"
#include "dialogs/proxy_dialog.h"
#include "dialogs/quick_connect_dialog.h"
#include "dialogs/site_dialog.h"
#include "dialogs/socks_dialog.h"
#include "dialogs/task_category_dialog.h"
#include "dialogs/task_dialog.h"
#include "dialogs/task_paths_dialog.h"
#include "mainwindow/main_form_test_support.h"
#include "mainwindow/task_tree.h"
#include "mainwindow/vesk_db_login_form.h"
#include "platform/ui/help_viewer.h"
#include "platform/ui/testing/accessible_names.h"

namespace mainwindow::testing {
namespace {

using ui::testing::UnnamedControls;
using Names = std::vector<std::string>;

using AccessibleNames = MainFormTest;

TEST_F(AccessibleNames, EveryControlOfTheWindowAndOfAPageHasOne) {
    AddSites({"A"});
    TForm1& form = ShowForm();
    form.OpenSitePage("A", false);
    EXPECT_EQ(UnnamedControls(form), Names{});
}

TEST_F(AccessibleNames, EveryControlOfEveryDialogHasOne) {
    AddSites({"A"});
    TForm1& form = ShowForm();
    form.OpenSitePage("A", false);
    Tfb& page = *form.FindFrame(1);
    int mode = 0;
    struct Case {
        const char* name;
        std::function<std::unique_ptr<QWidget>()> make;
    };
    const Case cases[] = {
        {"options", [&] { return std::make_unique<TForm2>(form); }},
        {"find", [&] { return std::make_unique<TForm3>(form, folder_ + "Find.dat"); }},
        {"site", [&] { return std::make_unique<TForm4>(form); }},
        {"proxy", [] { return std::make_unique<TForm5>(); }},
        {"filter", [&] { return std::make_unique<TForm6>(form, folder_ + "Filter.dat"); }},
        {"socks", [] { return std::make_unique<TForm7>(); }},
        {"duplicate", [&] { return std::make_unique<TForm9>(page.DuplicateAsker()); }},
        {"download", [&] { return std::make_unique<TForm10>(page, folder_ + "Downloads.dat"); }},
        {"category", [&] { return std::make_unique<TForm12>(form.TaskTree()); }},
        {"task", [&] { return std::make_unique<TForm13>(form.TaskTree(), folder_); }},
        {"task paths", [] { return std::make_unique<TForm14>(); }},
        {"quick connect", [&] { return std::make_unique<TForm15>(form); }},
        {"about", [] { return std::make_unique<TForm16>(); }},
        {"bookmarks", [&] { return std::make_unique<TForm17>(form, folder_ + "bookmark.dat"); }},
        {"permissions", [&] { return std::make_unique<TForm18>([&mode] { return &mode; }); }},
        {"database login", [] { return std::make_unique<TVeskDBLoginForm>("/data/all.dat"); }},
        {"help", [] { return std::make_unique<ui::THelpViewer>(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::unique_ptr<QWidget> dialog = c.make();
        EXPECT_EQ(UnnamedControls(*dialog), Names{});
    }
}

// A screen reader tells the help window as a window, as it does the main window.
TEST_F(AccessibleNames, TheHelpWindowIsAWindow) {
    ui::THelpViewer viewer;
    viewer.show();
    QAccessibleInterface* access = QAccessible::queryAccessibleInterface(&viewer);
    ASSERT_NE(access, nullptr);
    EXPECT_EQ(access->role(), QAccessible::Window);
    EXPECT_FALSE(access->text(QAccessible::Name).isEmpty());
}

}  // namespace
}  // namespace mainwindow::testing
