// The local file pane as the main window shows it: toolbar, drive list, view styles, folders.
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

#include <filesystem>
#include <fstream>

#include "mainwindow/local_file_pane.h"
#include "mainwindow/main_form_test_support.h"
#include "platform/os/mount_points.h"
#include "platform/os/private_profile.h"
#include "platform/ui/control_sizes.h"
#include "platform/ui/drive_combo.h"
#include "platform/ui/list_view_test_support.h"
#include "platform/ui/shell_list_view.h"
#include "platform/ui/testing/shell_list_view_wait.h"

namespace mainwindow::testing {
namespace {

class LocalPane : public MainFormTest {
  protected:
    // A folder tree of its own to browse: <folder>/files/{sub/inner, a.txt}.
    std::string Files() {
        const std::string files = folder_ + "files";
        std::filesystem::create_directories(files + "/sub/inner");
        std::ofstream(files + "/a.txt") << "a";
        return files;
    }

    void ShowFolder(TForm1& form, const std::string& path) {
        form.LocalPane().SetRoot(path);
        ASSERT_TRUE(ui::testing::WaitUntilLoaded(*form.ShellListView1));
    }
};

TEST_F(LocalPane, TheToolbarHoldsItsButtonsAndHintsInOrder) {
    TForm1& form = ShowForm();
    std::vector<std::string> bar;
    for (QAction* action : form.ToolBar4->actions()) {
        if (action->isSeparator()) {
            bar.push_back("|");
            continue;
        }
        QWidget* button = form.ToolBar4->widgetForAction(action);
        bar.push_back(button->objectName().toStdString() + ":" + button->toolTip().toStdString());
    }
    const std::vector<std::string> expected = {"ToolButton19:",
                                               "|",
                                               "ToolButton28:Add bookmark",
                                               "|",
                                               "ToolButton30:Add task",
                                               "ToolButton35:Upload",
                                               "|",
                                               "ToolButton31:View style",
                                               "ToolButton36:Help"};
    EXPECT_EQ(bar, expected);
    EXPECT_FALSE(form.ToolButton35->isEnabled());
    EXPECT_EQ(form.ToolButton28->menu(), form.popbookmark);
    EXPECT_EQ(form.ToolButton31->menu(), form.view);
    EXPECT_EQ(form.PageControl2->tabText(0), QStringLiteral("&Local File"));
    EXPECT_EQ(form.ShellListView1->parentWidget(), form.TabSheet2);
}

TEST_F(LocalPane, WithoutAStoredFolderTheHomeFolderIsShownInReportView) {
    TForm1& form = ShowForm();
    EXPECT_EQ(form.LocalPane().ShownFolder(), os::HomeFolder());
    EXPECT_EQ(form.ShellListView1->Style(), ui::ViewStyle::kReport);
    EXPECT_TRUE(form.Report2->isChecked());
    EXPECT_EQ(form.FLocalViewStep, 4);
}

TEST_F(LocalPane, TheViewStyleCycleGoesDownFromReportAndMarksTheMenu) {
    TForm1& form = ShowForm();
    struct Step {
        int step;
        ui::ViewStyle style;
        QAction* mark;
    };
    const Step cycle[] = {{3, ui::ViewStyle::kSmallIcons, form.Smallicon2},
                          {2, ui::ViewStyle::kList, form.List2},
                          {1, ui::ViewStyle::kLargeIcons, form.Largeison1},
                          {4, ui::ViewStyle::kReport, form.Report2},
                          {3, ui::ViewStyle::kSmallIcons, form.Smallicon2}};
    for (const Step& step : cycle) {
        SCOPED_TRACE(step.step);
        form.ToolButton31->click();
        EXPECT_EQ(form.FLocalViewStep, step.step);
        EXPECT_EQ(form.ShellListView1->Style(), step.style);
        EXPECT_TRUE(step.mark->isChecked());
    }
}

TEST_F(LocalPane, AMenuChoiceSetsTheStyleAndLeavesTheCycleStep) {
    TForm1& form = ShowForm();
    struct Choice {
        QAction* item;
        ui::ViewStyle style;
    };
    const Choice choices[] = {{form.Largeison1, ui::ViewStyle::kLargeIcons},
                              {form.List2, ui::ViewStyle::kList},
                              {form.Smallicon2, ui::ViewStyle::kSmallIcons},
                              {form.Report2, ui::ViewStyle::kReport},
                              {form.List2, ui::ViewStyle::kList}};
    for (const Choice& choice : choices) {
        choice.item->trigger();
        EXPECT_EQ(form.ShellListView1->Style(), choice.style);
        EXPECT_TRUE(choice.item->isChecked());
        EXPECT_EQ(form.FLocalViewStep, 4);
    }
    // The cycle goes on from its own step, not from the menu's choice.
    form.ToolButton31->click();
    EXPECT_EQ(form.ShellListView1->Style(), ui::ViewStyle::kSmallIcons);
    EXPECT_TRUE(form.Smallicon2->isChecked());
}

TEST_F(LocalPane, UpGoesToTheParentAndStopsAtTheRoot) {
    TForm1& form = ShowForm();
    const std::string files = Files();
    ShowFolder(form, files + "/sub/inner");
    form.ToolButton19->click();
    EXPECT_EQ(form.LocalPane().ShownFolder(), files + "/sub");
    form.ToolButton19->click();
    EXPECT_EQ(form.LocalPane().ShownFolder(), files);
    ASSERT_TRUE(ui::testing::WaitUntilLoaded(*form.ShellListView1));
    EXPECT_EQ(form.LocalPane().ItemCount(), 2);
    ShowFolder(form, "/");
    form.ToolButton19->click();
    EXPECT_EQ(form.LocalPane().ShownFolder(), "/");
    form.LocalPane().SetRoot("/tmp");
    form.ToolButton19->click();
    EXPECT_EQ(form.LocalPane().ShownFolder(), "/");
}

TEST_F(LocalPane, ADoubleClickOnAFolderEntersIt) {
    TForm1& form = ShowForm();
    const std::string files = Files();
    ShowFolder(form, files);
    ASSERT_EQ(form.LocalPane().ItemPath(0), files + "/sub");
    form.ShellListView1->Select(1);  // a file: nothing
    form.LocalPane().ShellListView1DblClick();
    EXPECT_EQ(form.LocalPane().ShownFolder(), files);
    form.ShellListView1->Select(0);
    form.LocalPane().ShellListView1DblClick();
    EXPECT_EQ(form.LocalPane().ShownFolder(), files + "/sub");
}

TEST_F(LocalPane, AFolderThatCannotBeOpenedEndsTheHandlerWithItsError) {
    TForm1& form = ShowForm();
    const std::string files = Files();
    ShowFolder(form, files + "/sub/inner");
    std::filesystem::remove_all(files + "/sub");
    form.ToolButton19->click();  // the parent is gone
    EXPECT_EQ(form.LastErrorText(), "Error setting path: \"" + files + "/sub\"");
    EXPECT_EQ(form.LocalPane().ShownFolder(), files + "/sub/inner");
}

TEST_F(LocalPane, TheDriveListOffersRootAndHomeFirstAndShowsTheChosenOne) {
    TForm1& form = ShowForm();
    ASSERT_GE(form.JvDriveCombo1->count(), 1);
    EXPECT_EQ(form.JvDriveCombo1->Drive(0), "/");
    if (os::HomeFolder() != "/") {
        EXPECT_EQ(form.JvDriveCombo1->Drive(1), os::HomeFolder());
    }
    for (int item = 0; item < form.JvDriveCombo1->count(); ++item)
        EXPECT_FALSE(form.JvDriveCombo1->itemIcon(item).isNull());

    const std::string files = Files();
    form.JvDriveCombo1->SetDrives({{"/", os::MountKind::kRoot}, {files, os::MountKind::kFixed}});
    // As the user chooses an item: the current item changes, then the choice is reported.
    form.JvDriveCombo1->setCurrentIndex(1);
    EXPECT_EQ(form.LocalPane().ShownFolder(), os::HomeFolder());  // a change alone shows nothing
    emit form.JvDriveCombo1->activated(1);
    EXPECT_EQ(form.LocalPane().ShownFolder(), files);
    form.JvDriveCombo1->setCurrentIndex(0);
    emit form.JvDriveCombo1->activated(0);
    EXPECT_EQ(form.LocalPane().ShownFolder(), "/");
}

TEST_F(LocalPane, AStoredFolderIsShownAtStartAndOneThatIsGoneStopsTheLayout) {
    const std::string files = Files();
    const std::string path = folder_ + "forminfo.ini";
    os::WritePrivateProfileString("MAIN", "LOCALPATH", files + "/sub", path);
    os::WritePrivateProfileString("MAIN", "PWIDTH", "400", path);
    TForm1& form = ShowForm();
    EXPECT_EQ(form.LocalPane().ShownFolder(), files + "/sub");
    EXPECT_EQ(form.PageControl2->width(), 400);
    form_.reset();

    os::WritePrivateProfileString("MAIN", "LOCALPATH", files + "/gone", path);
    os::WritePrivateProfileString("MAIN", "PWIDTH", "350", path);
    TForm1& again = ShowForm();
    EXPECT_EQ(again.LastErrorText(), "Error setting path: \"" + files + "/gone\"");
    EXPECT_EQ(again.LocalPane().ShownFolder(), os::HomeFolder());
    EXPECT_EQ(again.PageControl2->width(), 307);  // the reading ended before the width
}

// At the default layout the report shows a file's name and its whole size inside the
// 307-pixel pane, the columns as wide as the design made them for the pane's font.
TEST_F(LocalPane, TheNameAndSizeColumnsFitTheDefaultPane) {
    TForm1& form = ShowForm();
    ASSERT_EQ(form.PageControl2->width(), 307);
    const std::string files = folder_ + "sized";
    std::filesystem::create_directories(files);
    std::ofstream(files + "/report.bin") << std::string(122368, 'x');  // "119.5 KiB"
    ShowFolder(form, files);
    QApplication::processEvents();
    QTreeView& report = *form.ShellListView1->ReportView();
    const QModelIndex size = form.ShellListView1->RowIndex(0).siblingAtColumn(1);
    const QString shown = size.data().toString();
    ASSERT_FALSE(shown.isEmpty());
    const int right = report.header()->sectionViewportPosition(1) + report.columnWidth(1);
    EXPECT_LE(right, report.viewport()->width());
    EXPECT_GE(report.columnWidth(1), report.fontMetrics().horizontalAdvance(shown) + 12)
        << shown.toStdString();
    EXPECT_EQ(report.columnWidth(0), ui::ScaledWidth(report, 150));
    EXPECT_EQ(report.columnWidth(1), ui::ScaledWidth(report, 70));
}

TEST_F(LocalPane, ItemsSelectionAndTheItemAtAPointAreThoseOfTheView) {
    TForm1& form = ShowForm();
    const std::string files = Files();
    ShowFolder(form, files);
    TLocalFilePane& pane = form.LocalPane();
    ASSERT_EQ(pane.ItemCount(), 2);
    EXPECT_TRUE(pane.IsFolder(0));
    EXPECT_FALSE(pane.IsFolder(1));
    EXPECT_EQ(pane.ItemPath(1), files + "/a.txt");
    EXPECT_EQ(pane.ItemSize(1), 1);
    form.ShellListView1->SelectRows({0, 1});
    EXPECT_EQ(pane.SelectedItems(), (std::vector<int>{0, 1}));
    QAbstractItemView* view = form.ShellListView1->CurrentView();
    EXPECT_EQ(pane.ItemAt(view->visualRect(form.ShellListView1->RowIndex(1)).center()), 1);
    std::ofstream(files + "/b.txt") << "bb";
    pane.Refresh();
    ASSERT_TRUE(ui::testing::WaitUntilLoaded(*form.ShellListView1));
    EXPECT_EQ(pane.ItemCount(), 3);
    EXPECT_EQ(pane.ItemPath(2), files + "/b.txt");
}

TEST_F(LocalPane, ANameEditedInPlaceRenamesTheFileUnlessTheFileSystemCannotTakeIt) {
    TForm1& form = ShowForm();
    const std::string files = Files();
    std::ofstream(files + "/b.txt") << "b";
    ShowFolder(form, files);
    ASSERT_EQ(form.LocalPane().ItemPath(1), files + "/a.txt");
    struct Case {
        const char* name;
        const char* error;  // "" for a rename
    };
    const std::string taken =
        "Cannot rename \"" + files + "/a.txt\": \"" + files + "/b.txt\" exists.";
    const Case cases[] = {{"x/y", "Invalid file name: \"x/y\""},
                          {"..", "Invalid file name: \"..\""},
                          {"b.txt", taken.c_str()},
                          {"c.txt", ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        form.statusBar()->clearMessage();
        const std::string before = form.LastErrorText();
        ui::EditCaptionInPlace(*form.ShellListView1, 1, QString::fromUtf8(c.name));
        if (*c.error != '\0') {
            EXPECT_EQ(form.LastErrorText(), c.error);
            EXPECT_TRUE(std::filesystem::exists(files + "/a.txt"));
        } else {
            EXPECT_EQ(form.LastErrorText(), before);
            EXPECT_FALSE(std::filesystem::exists(files + "/a.txt"));
            EXPECT_TRUE(std::filesystem::exists(files + "/c.txt"));
        }
    }
    EXPECT_EQ(ReadBytes(files + "/b.txt"), "b");
}

TEST_F(LocalPane, SelectedItemsCanBeDraggedOutOfTheView) {
    TForm1& form = ShowForm();
    ShowFolder(form, Files());
    EXPECT_EQ(form.ShellListView1->DragData(), nullptr);
    form.ShellListView1->SelectRows({0, 1});
    const std::unique_ptr<QMimeData> data = form.ShellListView1->DragData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(form.ShellListView1->DraggedRows(*data), (std::vector<int>{0, 1}));
    EXPECT_TRUE(form.ShellListView1->ReportView()->dragEnabled());
    EXPECT_EQ(ui::ListView::FromWidget(form.ShellListView1->ReportView()->viewport()),
              form.ShellListView1);
}

}  // namespace
}  // namespace mainwindow::testing
