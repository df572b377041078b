// The page's controls as a new page has them, and their switching between browsing and busy
// or disconnected use.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QMenu>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <filesystem>
#include <string>
#include <vector>

#include "connection/add_task_preset.h"
#include "connection/page_dialogs.h"
#include "connection/page_host.h"
#include "connection/testing/quiet_page_host.h"
#include "connection/tfb.h"
#include "platform/os/program_folder.h"
#include "platform/ui/list_view.h"
#include "platform/ui/owner_data_model.h"
#include "platform/ui/testing/qt_test_environment.h"
#include "platform/ui/testing/recorded_help.h"

namespace {

class PageControls : public ::testing::Test {
  protected:
    // A frame showing `rows` remote entries.
    void ShowRows(int rows) {
        for (int row = 0; row < rows; ++row) {
            rdatalist entry;
            entry.name = "file" + std::to_string(row);
            entry.isfile = 1;
            frame_.FDisplayList.push_back(entry);
        }
        frame_.RemoteItems->SetRowCount(rows);
    }

    connection_testing::QuietPageHost host_{{"alpha", "beta", "gamma"}, {"Nightly", "Archive"}};
    Tfb frame_{host_};
};

struct ButtonAtStart {
    QToolButton* Tfb::*button;
    const char* name;
    const char* hint;
    int image;
    bool enabled;
};

TEST_F(PageControls, ANewPageHasOnlyTheToggleViewAndHelpEnabled) {
    const ButtonAtStart buttons[] = {
        {&Tfb::ToolButton1, "ToolButton1", "Back", 0, false},
        {&Tfb::ToolButton2, "ToolButton2", "Refresh", 1, false},
        {&Tfb::ToolButton3, "ToolButton3", "Abort operation", 2, false},
        {&Tfb::ToolButton17, "ToolButton17", "Disconnect", 15, true},
        {&Tfb::ToolButton6, "ToolButton6", "Find...", 4, false},
        {&Tfb::ToolButton7, "ToolButton7", "Filter", 5, false},
        {&Tfb::ToolButton11, "ToolButton11", "Make new directory", 6, false},
        {&Tfb::ToolButton4, "ToolButton4", "Delete", 7, false},
        {&Tfb::ToolButton5, "ToolButton5", "Download...", 8, false},
        {&Tfb::ToolButton9, "ToolButton9", "Add task", 14, false},
        {&Tfb::ToolButton18, "ToolButton18", "Export whole directories", 9, false},
        {&Tfb::ToolButton10, "ToolButton10", "", 16, false},
        {&Tfb::ToolButton8, "ToolButton8", "", 10, true},
        {&Tfb::ToolButton16, "ToolButton16", "Help", 11, true},
    };
    for (const ButtonAtStart& expected : buttons) {
        SCOPED_TRACE(expected.name);
        QToolButton* button = frame_.*expected.button;
        EXPECT_EQ(button->objectName().toStdString(), expected.name);
        EXPECT_EQ(frame_.findChild<QToolButton*>(QString::fromLatin1(expected.name)), button);
        EXPECT_EQ(button->toolTip().toStdString(), expected.hint);
        EXPECT_EQ(Tfb::ImageOf(*button), expected.image);
        EXPECT_EQ(button->isEnabled(), expected.enabled);
    }
    EXPECT_EQ(frame_.ToolButton8->text(), QStringLiteral("View"));
    EXPECT_EQ(frame_.ToolButton8->menu(), frame_.view);
    EXPECT_EQ(frame_.ToolButton18->menu(), frame_.exportpop);
    EXPECT_EQ(frame_.ToolButton10->menu(), frame_.fbbookmark);

    EXPECT_EQ(frame_.RemoteItems->RowCount(), 0);
    EXPECT_EQ(frame_.QueueItems->rowCount(), 0);
    EXPECT_EQ(frame_.InfoItems->rowCount(), 0);
    EXPECT_EQ(frame_.FSortColumn, 2);
    EXPECT_EQ(frame_.FViewStep, 4);
    EXPECT_EQ(frame_.ListView2->Style(), ui::ViewStyle::kReport);
    EXPECT_TRUE(frame_.ListView2->MultiSelect());
    EXPECT_TRUE(frame_.Report1->isChecked());
    EXPECT_TRUE(frame_.Report2->isChecked());
    EXPECT_FALSE(frame_.Timer1->isActive());
    EXPECT_FALSE(frame_.Timer2->isActive());
    EXPECT_EQ(frame_.Timer2->interval(), 1000);
    EXPECT_TRUE(frame_.Panel3->isHidden());
    EXPECT_TRUE(frame_.TreeView1->isHidden());
    EXPECT_TRUE(frame_.FAskDuplicate);
    EXPECT_EQ(frame_.FDuplicateAnswer, -1);
    EXPECT_FALSE(frame_.FBusy);
    EXPECT_EQ(frame_.FRetryCount, 0);
}

struct ItemAtStart {
    const char* menu;
    const char* name;
    const char* caption;
    bool visible;
    bool enabled;
};

TEST_F(PageControls, TheMenusHoldTheirItemsInTheirStateAtStart) {
    const ItemAtStart items[] = {
        {"PopupMenu1", "Download1", "Download...", false, false},
        {"PopupMenu1", "View1", "View", true, true},
        {"PopupMenu1", "Sort1", "Sort", true, false},
        {"PopupMenu1", "Delete1", "Delete", false, true},
        {"PopupMenu1", "Rename1", "Rename", false, true},
        {"PopupMenu1", "Makenewdirectory1", "Make new directory", true, false},
        {"PopupMenu1", "Addtask1", "Add task...", true, false},
        {"PopupMenu1", "Exportselectfolder1", "Export selected", false, true},
        {"PopupMenu1", "Find1", "Find...", true, false},
        {"PopupMenu1", "Filter1", "Filter...", true, false},
        {"PopupMenu1", "Refresh1", "Refresh", true, false},
        {"PopupMenu1", "Properties1", "Properties", true, false},
        {"PopupMenu1", "Sortbyname1", "Sort by name", true, true},
        {"PopupMenu1", "Sortbydate1", "Sort by date", true, true},
        {"PopupMenu1", "Report1", "Report", true, true},
        {"view", "LargeIcon2", "Large icon", true, true},
        {"view", "Report2", "Report", true, true},
        {"Popinfo", "Clear1", "Clear", true, true},
        {"Popinfo", "Savetofile1", "Save to file...", true, true},
        {"Popupdown", "ransfer1", "Transfer", true, true},
        {"Popupdown", "Stop1", "Stop", true, true},
        {"Popupdown", "Delete2", "Delete", true, true},
        {"Popupdown", "Clear2", "Clear", true, true},
        {"exportpop", "Exportfull1", "Export whole directories", true, true},
        {"exportpop", "Exportsel1", "Export selected", true, false},
        {"fbbookmark", "AddBookmark1", "Add Bookmark", true, true},
        {"fbbookmark", "Bookmarkmanager1", "Manage Bookmarks...", true, true},
    };
    for (const ItemAtStart& expected : items) {
        SCOPED_TRACE(expected.name);
        auto* menu = frame_.findChild<QMenu*>(QString::fromLatin1(expected.menu));
        ASSERT_NE(menu, nullptr);
        auto* item = menu->findChild<QAction*>(QString::fromLatin1(expected.name));
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->text().toStdString(), expected.caption);
        EXPECT_EQ(item->isVisible(), expected.visible);
        // Qt keeps a hidden item disabled; it takes its own state again when shown.
        EXPECT_EQ(item->isEnabled(), expected.enabled && expected.visible);
        item->setVisible(true);
        EXPECT_EQ(item->isEnabled(), expected.enabled);
    }
    EXPECT_EQ(frame_.exportpop->defaultAction(), frame_.Exportfull1);
    EXPECT_EQ(frame_.fbbookmark->defaultAction(), frame_.AddBookmark1);
    EXPECT_TRUE(frame_.MenuItem1->isSeparator());
    EXPECT_EQ(frame_.ListView2->PopupMenu(), frame_.PopupMenu1);
}

TEST_F(PageControls, EnableControlsSwitchesTheBrowsingControlsAndTheListsHandlersAsASet) {
    ShowRows(3);
    QToolButton* const browsing[] = {frame_.ToolButton1,  frame_.ToolButton2, frame_.ToolButton6,
                                     frame_.ToolButton10, frame_.ToolButton7, frame_.ToolButton11,
                                     frame_.ToolButton18};
    QAction* const items[] = {frame_.Download1, frame_.Sort1, frame_.Makenewdirectory1,
                              frame_.Addtask1,  frame_.Find1, frame_.Filter1,
                              frame_.Refresh1};
    for (const bool enable : {true, false, false, true}) {
        SCOPED_TRACE(enable);
        frame_.EnableControls(enable);
        for (QToolButton* button : browsing)
            EXPECT_EQ(button->isEnabled(), enable) << button->objectName().toStdString();
        for (QAction* item : items)  // a hidden item is disabled in Qt whatever its own state
            EXPECT_EQ(item->isEnabled(), enable && item->isVisible())
                << item->objectName().toStdString();
        // Not touched: Abort, the toggle, View, Help.
        EXPECT_FALSE(frame_.ToolButton3->isEnabled());
        EXPECT_TRUE(frame_.ToolButton17->isEnabled());
        EXPECT_TRUE(frame_.ToolButton8->isEnabled());
        EXPECT_TRUE(frame_.ToolButton16->isEnabled());
        // The list's handlers: a selection or a column click reaches the page only when on.
        frame_.ListView2->Select(-1);
        frame_.ListView2SelectItem();
        frame_.ListView2->Select(1);
        EXPECT_EQ(frame_.ToolButton5->isEnabled(), enable);
        frame_.FSortColumn = 2;
        ASSERT_TRUE(static_cast<bool>(frame_.ListView2->OnColumnClick) == enable);
        if (enable) {
            frame_.ListView2->OnColumnClick(0);
            EXPECT_EQ(frame_.FSortColumn, 0);
        }
    }
}

TEST_F(PageControls, TheSelectionShowsItsItemsAndRenameOnlyForOneRow) {
    ShowRows(3);
    struct Case {
        std::vector<int> rows;
        bool some;
        bool rename;
    };
    const Case cases[] = {{{1}, true, true}, {{0, 2}, true, false}, {{}, false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rows.size());
        frame_.ListView2->SelectRows(c.rows);
        frame_.ListView2SelectItem();
        EXPECT_EQ(frame_.Rename1->isVisible(), c.rename);
        for (QAction* item :
             {frame_.Download1, frame_.Delete1, frame_.Exportselectfolder1, frame_.Addtask1})
            EXPECT_EQ(item->isVisible(), c.some) << item->objectName().toStdString();
        for (QToolButton* button : {frame_.ToolButton9, frame_.ToolButton4, frame_.ToolButton5})
            EXPECT_EQ(button->isEnabled(), c.some) << button->objectName().toStdString();
        EXPECT_EQ(frame_.Exportsel1->isEnabled(), c.some);
        EXPECT_EQ(frame_.Properties1->isEnabled(), c.some);
    }
}

TEST_F(PageControls, AddTaskPresetsTheSelectedRowsThePagesSiteAndTheFirstCategory) {
    ShowRows(3);
    frame_.FDisplayList[0].isfile = 0;  // a folder
    frame_.FDisplayList[0].name = "pub";
    frame_.FCurrentDir = "/home/alice";
    frame_.FSiteName = "beta";
    frame_.ListView2->SelectRows({0, 1, 2});
    const TAddTaskPreset preset = MakeAddTaskPreset(frame_);
    EXPECT_EQ(preset.taskType, "Download");
    EXPECT_EQ(preset.sites, (std::vector<std::string>{"alpha", "beta", "gamma"}));
    EXPECT_EQ(preset.selectedSite, 1);
    EXPECT_EQ(preset.categories, (std::vector<std::string>{"Nightly", "Archive"}));
    EXPECT_EQ(preset.selectedCategory, 0);
    std::string local = std::filesystem::current_path().string();
    if (local.back() != '/')
        local += '/';
    ASSERT_EQ(preset.files.size(), 3u);
    const bool folders[] = {true, false, false};
    const char* names[] = {"pub", "file1", "file2"};
    for (std::size_t row = 0; row < 3; ++row) {
        EXPECT_EQ(preset.files[row].isfolder, folders[row]);
        EXPECT_EQ(preset.files[row].files, names[row]);
        EXPECT_EQ(preset.files[row].local, local);
        EXPECT_EQ(preset.files[row].ftp, "/home/alice");
    }
    frame_.ListView2->Select(-1);
    EXPECT_TRUE(MakeAddTaskPreset(frame_).files.empty());
}

// The page's dialogs as the page calls them, counted.
class CountingDialogs : public TPageDialogs {
  public:
    int AskDuplicate(Tfb&) override { return Count("duplicate"); }
    int ShowDownloadTarget(Tfb&) override { return Count("download"); }
    int ShowFind(Tfb&) override { return Count("find"); }
    int ShowFilter(Tfb&) override { return Count("filter"); }
    int ShowPermissions(Tfb&) override { return Count("permissions"); }
    int ShowBookmarkManager(Tfb&) override { return Count("bookmarks"); }
    int ShowAddTask(Tfb&) override { return Count("add task"); }

    std::vector<std::string> calls;

  private:
    int Count(const char* dialog) {
        calls.push_back(dialog);
        return 1;
    }
};

TEST_F(PageControls, FindFilterAndAddTaskOpenTheirDialogsAndAddTaskOnlyForASelection) {
    CountingDialogs dialogs;
    frame_.SetDialogs(&dialogs);
    ShowRows(2);
    frame_.EnableControls(true);
    frame_.ToolButton9Click();  // nothing selected: nothing happens
    frame_.Find1->trigger();
    frame_.ToolButton7->click();
    frame_.ListView2->Select(1);
    frame_.ToolButton9->click();
    EXPECT_EQ(dialogs.calls, (std::vector<std::string>{"find", "filter", "add task"}));
    frame_.SetDialogs(nullptr);
}

TEST_F(PageControls, TheLogAndTheQueueKeepTheirHeightsWhenThePageIsResized) {
    frame_.SetLogHeight(70);
    frame_.SetQueueHeight(120);
    frame_.resize(800, 600);
    frame_.show();
    frame_.resize(800, 900);
    QApplication::processEvents();
    EXPECT_EQ(frame_.Splitter1->sizes().value(0), 70);
    EXPECT_EQ(frame_.Splitter1->sizes().value(2), 120);
    EXPECT_EQ(frame_.LogHeight(), 70);
    EXPECT_EQ(frame_.QueueHeight(), 120);
}

TEST_F(PageControls, TheViewButtonCyclesFromReportAndAMenuChoiceDoesNotMoveIt) {
    frame_.List1->trigger();
    EXPECT_EQ(frame_.ListView2->Style(), ui::ViewStyle::kList);
    const ui::ViewStyle expected[] = {ui::ViewStyle::kSmallIcons, ui::ViewStyle::kList,
                                      ui::ViewStyle::kLargeIcons, ui::ViewStyle::kReport};
    for (const ui::ViewStyle style : expected) {
        frame_.ToolButton8Click();
        EXPECT_EQ(frame_.ListView2->Style(), style);
    }
    EXPECT_TRUE(frame_.Report1->isChecked());
    EXPECT_TRUE(frame_.Report2->isChecked());
}

// Help shows the page's topic of the help file beside the program, connected or not.
TEST_F(PageControls, HelpShowsThePagesTopicOfTheProgramsHelpFile) {
    ui::RecordedHelp help;
    frame_.ToolButton16->click();
    const std::string file = os::ProgramFolder() + "Zantrope.hlp";
    EXPECT_EQ(help.requests, (std::vector<ui::HelpRequest>{{file, "Newitem6"}}));
    EXPECT_EQ(ui::ApplicationHelpFile(), file);
}

}  // namespace
