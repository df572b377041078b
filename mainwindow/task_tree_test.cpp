// The tasks page of the main window: the tree as it is loaded, the buttons and the popup
// following the selection, Edit and Delete of the node the user selected (also when names
// repeat), and the task dialog as Edit and the local pane's Add task preset it.
#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>

#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "dialogs/task_category_dialog.h"
#include "dialogs/task_dialog.h"
#include "dialogs/task_paths_dialog.h"
#include "dialogs/task_tables.h"
#include "mainwindow/local_file_pane.h"
#include "mainwindow/main_form_test_support.h"
#include "mainwindow/task_tree.h"
#include "mainwindow/testing/tree_clicks.h"
#include "platform/ui/control_sizes.h"
#include "platform/ui/list_view.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/shell_list_view.h"
#include "platform/ui/testing/gtest_failure.h"
#include "platform/ui/testing/modal_driver.h"
#include "platform/ui/testing/recorded_help.h"
#include "platform/ui/testing/shell_list_view_wait.h"

namespace mainwindow::testing {
namespace {

using ui::ClickButton;

class TaskTree : public MainFormTest {
  protected:
    std::int32_t AddTask(std::int32_t category, const std::string& name, const std::string& type,
                         const std::string& site, std::vector<rtaskupdown> files = {}) {
        tasks::TaskValues values;
        values.categoryId = category;
        values.name = name;
        values.ftp = site;
        values.type = type;
        values.common = name + " notes";
        values.files = std::move(files);
        return tasks::AddTask(values).value();
    }
    QTreeWidget& Tree() { return *form_->TreeView2; }
    QTreeWidgetItem* Node(int category, int task = -1) {
        QTreeWidgetItem* node = Tree().topLevelItem(category);
        return task < 0 ? node : node->child(task);
    }
    void Select(QTreeWidgetItem* node) { Tree().setCurrentItem(node); }
    std::string Memo() { return form_->Memo1->toPlainText().toStdString(); }

    ui::ModalDriver driver_{ui::GtestFailure()};
};

TEST_F(TaskTree, ALoadShowsCategoriesWithTheirTasksExpandedAndTheirImages) {
    const std::int32_t a = tasks::AddCategory("a", "about a");
    tasks::AddCategory("empty", "");
    AddTask(a, "up", "Upload", "s");
    AddTask(a, "down", "dOWNLOAD", "s");
    {
        // A task of no category (a copied file): not shown.
        OpenTable table(*dm->Ttaskd);
        table->Append();
        table->FieldByName("taskid").SetAsInteger(a + 99);
        table->FieldByName("name").SetAsString("lost");
        table->Post();
    }
    ShowForm();
    ASSERT_EQ(Tree().topLevelItemCount(), 2);
    EXPECT_EQ(Node(0)->text(0), "a");
    EXPECT_TRUE(Node(0)->isExpanded());
    ASSERT_EQ(Node(0)->childCount(), 2);
    EXPECT_EQ(Node(1)->childCount(), 0);
    EXPECT_EQ(TTaskTree::ImageOf(*Node(0)), 0);
    EXPECT_EQ(TTaskTree::ImageOf(*Node(0, 0)), 1);
    EXPECT_EQ(TTaskTree::ImageOf(*Node(0, 1)), 2);
    EXPECT_EQ(form_->TaskTree().FTaskItems.size(), 2u);
    // One picture per image for every node.
    EXPECT_EQ(Node(0)->icon(0).cacheKey(), Node(1)->icon(0).cacheKey());
    EXPECT_NE(Node(0)->icon(0).cacheKey(), Node(0, 0)->icon(0).cacheKey());

    ui::RecordedHelp help;
    form_->ToolButton25->click();
    EXPECT_EQ(help.requests, (std::vector<ui::HelpRequest>{{folder_ + "Zantrope.hlp", "item25"}}));

    form_->ToolButton22Click();
    EXPECT_FALSE(Node(0)->isExpanded());
    form_->ToolButton21Click();
    EXPECT_TRUE(Node(0)->isExpanded());
    // A reload shows the rows as they are now.
    tasks::AddCategory("later", "");
    const qint64 category = Node(0)->icon(0).cacheKey();
    form_->ToolButton34->click();
    EXPECT_EQ(Tree().topLevelItemCount(), 3);
    EXPECT_TRUE(Node(0)->isExpanded());
    EXPECT_EQ(Node(2)->icon(0).cacheKey(), category);
}

TEST_F(TaskTree, TheButtonsThePopupAndTheDescriptionFollowTheSelection) {
    const std::int32_t a = tasks::AddCategory("a", "about a");
    AddTask(a, "up", "Upload", "s");
    ShowForm();
    struct State {
        bool remove, execute, popupEdit, popupExecute;
        std::string memo;
    };
    const auto expect = [&](const State& state) {
        form_->PoptaskPopup();
        EXPECT_EQ(form_->ToolButton18->isEnabled(), state.remove);
        EXPECT_EQ(form_->ToolButton17->isEnabled(), state.execute);
        EXPECT_TRUE(form_->ToolButton26->isEnabled());
        EXPECT_EQ(form_->Edit2->isEnabled(), state.popupEdit);
        EXPECT_EQ(form_->Delete3->isEnabled(), state.popupEdit);
        EXPECT_EQ(form_->Execute2->isEnabled(), state.popupExecute);
        EXPECT_EQ(Memo(), state.memo);
    };
    Select(nullptr);
    expect({false, false, false, false, ""});
    Select(Node(0, 0));
    expect({true, true, true, true, "up notes"});
    Select(Node(0));
    expect({true, false, true, false, "about a"});
    // A category whose row is gone shows no description.
    tasks::DeleteCategory(a);
    Select(Node(0, 0));
    Select(Node(0));
    expect({true, false, true, false, ""});
}

TEST_F(TaskTree, WithNothingSelectedEditDeleteAndExecuteDoNothing) {
    const std::int32_t a = tasks::AddCategory("a", "");
    AddTask(a, "up", "Upload", "s");
    ShowForm();
    Select(nullptr);
    int runs = 0;
    form_->TaskTree().OnExecute = [&runs](const rtask&) { ++runs; };
    form_->ToolButton26Click();  // a dialog would fail the test: none is expected
    form_->ToolButton18Click();
    form_->ToolButton17Click();
    Select(Node(0));
    form_->ToolButton17Click();  // a category does not run
    EXPECT_EQ(runs, 0);
    EXPECT_EQ(Tree().topLevelItemCount(), 1);
    EXPECT_EQ(Column(*dm->Ttaskd, "name"), (std::vector<std::string>{"up"}));
}

// The tree made current without a selection (the focus after a reload, a Ctrl+click on the
// chosen node) chooses nothing: Delete, which asks no question, leaves the category and its
// tasks alone. Collapse hands the choice of a task to its category, and a click on the task
// after Expand chooses it again.
TEST_F(TaskTree, OnlyTheNodeTheUserSeesChosenIsActedOn) {
    const std::int32_t a = tasks::AddCategory("a", "about a");
    AddTask(a, "up", "Upload", "s");
    ShowForm();
    int runs = 0;
    form_->TaskTree().OnExecute = [&runs](const rtask&) { ++runs; };
    const auto expectNothingOffered = [&] {
        form_->PoptaskPopup();
        EXPECT_FALSE(form_->ToolButton18->isEnabled());
        EXPECT_FALSE(form_->ToolButton17->isEnabled());
        EXPECT_FALSE(form_->Edit2->isEnabled());
        EXPECT_FALSE(form_->Delete3->isEnabled());
        EXPECT_FALSE(form_->Execute2->isEnabled());
        EXPECT_EQ(Memo(), "");
    };
    const auto expectNothingDone = [&] {
        form_->ToolButton26Click();  // a dialog would fail the test: none is expected
        form_->ToolButton18Click();
        form_->ToolButton17Click();
        EXPECT_EQ(runs, 0);
        ASSERT_EQ(Tree().topLevelItemCount(), 1);
        EXPECT_EQ(Node(0)->childCount(), 1);
        EXPECT_EQ(Column(*dm->Ttaskd, "name"), (std::vector<std::string>{"up"}));
    };

    form_->activateWindow();
    form_->ToolButton34->click();
    Tree().setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    ASSERT_EQ(Tree().currentItem(), Node(0));
    ASSERT_FALSE(Node(0)->isSelected());
    expectNothingOffered();
    ASSERT_NO_FATAL_FAILURE(expectNothingDone());

    ClickNode(Tree(), Node(0, 0));
    ASSERT_TRUE(form_->ToolButton17->isEnabled());
    ClickNode(Tree(), Node(0, 0), Qt::ControlModifier);
    ASSERT_EQ(Tree().currentItem(), Node(0, 0));
    expectNothingOffered();
    ASSERT_NO_FATAL_FAILURE(expectNothingDone());

    // Collapse: the category is chosen, its description shows.
    ClickNode(Tree(), Node(0, 0));
    form_->ToolButton22->click();
    EXPECT_EQ(Tree().currentItem(), Node(0));
    EXPECT_TRUE(Node(0)->isSelected());
    form_->PoptaskPopup();
    EXPECT_TRUE(form_->ToolButton18->isEnabled());
    EXPECT_FALSE(form_->ToolButton17->isEnabled());
    EXPECT_FALSE(form_->Execute2->isEnabled());
    EXPECT_EQ(Memo(), "about a");
    form_->ToolButton21->click();
    ClickNode(Tree(), Node(0, 0));
    form_->PoptaskPopup();
    EXPECT_TRUE(form_->ToolButton17->isEnabled());
    EXPECT_TRUE(form_->Execute2->isEnabled());
    EXPECT_EQ(Memo(), "up notes");
    form_->ToolButton17->click();
    EXPECT_EQ(runs, 1);
}

TEST_F(TaskTree, TwoCategoriesOfOneNameAreEditedAndDeletedSeparately) {
    const std::int32_t first = tasks::AddCategory("same", "one");
    const std::int32_t second = tasks::AddCategory("same", "two");
    AddTask(first, "t1", "Upload", "s", {{false, "f", "/l/", "/r"}});
    AddTask(second, "t2", "Upload", "s", {{false, "g", "/l/", "/r"}});
    ShowForm();
    Select(Node(1));
    EXPECT_EQ(Memo(), "two");
    driver_.Next([](QDialog& dialog) {
        auto& form = static_cast<TForm12&>(dialog);
        EXPECT_EQ(form.windowTitle(), "Edit category");
        EXPECT_EQ(form.OldName, "same");
        EXPECT_EQ(form.Memo1->toPlainText(), "two");
        EXPECT_TRUE(form.Button2->isEnabled());
        form.Edit1->setText("renamed");
        form.Memo1->setPlainText("changed");
        ClickButton(dialog, "Button2");
    });
    form_->ToolButton26Click();
    EXPECT_EQ(Column(*dm->Ttask, "name"), (std::vector<std::string>{"same", "renamed"}));
    EXPECT_EQ(Node(0)->text(0), "same");
    EXPECT_EQ(Node(1)->text(0), "renamed");
    EXPECT_EQ(Memo(), "changed");
    // Its task stays linked to it by id.
    ASSERT_EQ(Node(1)->childCount(), 1);
    EXPECT_EQ(Node(1)->child(0)->text(0), "t2");

    // Renaming back gives two of one name again; deleting the first keeps the second whole.
    tasks::UpdateCategory(second, "same", "two");
    form_->LoadTaskTree();
    Select(Node(0));
    form_->ToolButton18Click();
    ASSERT_EQ(Tree().topLevelItemCount(), 1);
    EXPECT_EQ(TTaskTree::CategoryIdOf(*Node(0)), second);
    EXPECT_EQ(Column(*dm->Ttask, "desc"), (std::vector<std::string>{"two"}));
    EXPECT_EQ(Column(*dm->Ttaskd, "name"), (std::vector<std::string>{"t2"}));
    EXPECT_EQ(Column(*dm->Ttaskd2, "files"), (std::vector<std::string>{"g"}));

    // Deleting a task leaves its category.
    Select(Node(0, 0));
    form_->Delete3->trigger();
    EXPECT_EQ(Node(0)->childCount(), 0);
    EXPECT_EQ(Column(*dm->Ttask, "name"), (std::vector<std::string>{"same"}));
    EXPECT_TRUE(Column(*dm->Ttaskd, "name").empty());
    EXPECT_TRUE(Column(*dm->Ttaskd2, "files").empty());
}

TEST_F(TaskTree, ANewCategoryShowsAtTheEndOfTheTopLevelUnselected) {
    tasks::AddCategory("z", "");
    ShowForm();
    Select(Node(0));
    driver_.Next([](QDialog& dialog) {
        auto& form = static_cast<TForm12&>(dialog);
        EXPECT_EQ(form.windowTitle(), "New category");
        EXPECT_FALSE(form.Button2->isEnabled());
        form.Edit1->setText("a");
        ClickButton(dialog, "Button2");
    });
    form_->ToolButton23->click();
    ASSERT_EQ(Tree().topLevelItemCount(), 2);
    EXPECT_EQ(Node(1)->text(0), "a");
    EXPECT_EQ(Tree().currentItem(), Node(0));
    EXPECT_EQ(Column(*dm->Ttask, "name"), (std::vector<std::string>{"z", "a"}));
}

// Edit presets the task dialog from the task: a download task keeps its site; a site that is
// gone is not chosen, so OK stays disabled; the saved task keeps its id.
TEST_F(TaskTree, EditingATaskPresetsTheDialogAndSavingKeepsItsId) {
    AddSites({"s1", "s2"});
    const std::int32_t a = tasks::AddCategory("a", "");
    const std::int32_t b = tasks::AddCategory("b", "");
    const std::int32_t down =
        AddTask(b, "down", "Download", "s2", {{true, "d", "/l/", "/r"}, {false, "f", "/m/", "/q"}});
    AddTask(a, "up", "Upload", "gone");
    ShowForm();

    Select(Node(1, 0));
    driver_.Next([&](QDialog& dialog) {
        auto& form = static_cast<TForm13&>(dialog);
        EXPECT_EQ(form.windowTitle(), "Edit task");
        EXPECT_EQ(form.TaskType(), "Download");
        EXPECT_EQ(form.OldName, "down");
        EXPECT_EQ(form.Edit1->text(), "down");
        EXPECT_EQ(form.Memo1->toPlainText(), "down notes");
        EXPECT_EQ(form.ComboBoxEx2->count(), 2);
        EXPECT_EQ(form.ComboBoxEx2->currentText(), "s2");
        EXPECT_FALSE(form.ComboBoxEx2->isEnabled());
        EXPECT_EQ(form.ComboBoxEx1->currentText(), "b");
        EXPECT_TRUE(form.Button5->isEnabled());
        EXPECT_EQ(form.FileRecords,
                  (std::vector<rtaskupdown>{{true, "d", "/l/", "/r"}, {false, "f", "/m/", "/q"}}));
        form.Edit1->setText("down2");
        form.ComboBoxEx1->setCurrentIndex(0);
        ClickButton(dialog, "Button5");
    });
    form_->ToolButton26Click();
    // Saved and the tree rebuilt: the task now under "a", with its id.
    ASSERT_EQ(Node(0)->childCount(), 2);
    const rtask* moved = nullptr;
    for (const auto& record : form_->TaskTree().FTaskItems) {
        if (record->name == "down2")
            moved = record.get();
    }
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(moved->id, down);
    EXPECT_EQ(moved->taskid, a);

    // In taskd order: the moved task first.
    Select(Node(0, 1));
    ASSERT_EQ(Node(0, 1)->text(0).toStdString(), "up");
    driver_.Next([](QDialog& dialog) {
        auto& form = static_cast<TForm13&>(dialog);
        EXPECT_EQ(form.ComboBoxEx2->currentIndex(), -1);
        EXPECT_TRUE(form.ComboBoxEx2->isEnabled());
        EXPECT_FALSE(form.Button5->isEnabled());
        ClickButton(dialog, "Button6");
    });
    form_->ToolButton26Click();
    EXPECT_EQ(driver_.DialogsDriven(), 2);
}

// The task paths dialog comes centred on the main window as the task dialog does, also when
// the task dialog was moved; the task dialog and its file list's columns have the sizes made
// for the 8-point font, scaled to the dialog's font.
TEST_F(TaskTree, TheTaskDialogsAreCentredAndSizedToTheirFont) {
    AddSites({"s1"});
    const std::int32_t a = tasks::AddCategory("a", "");
    AddTask(a, "down", "Download", "s1", {{false, "f", "/m/", "/q"}});
    ShowForm();
    // Within the test screen, so that no dialog is pushed back onto it.
    form_->resize(720, 520);
    form_->move(40, 30);
    QApplication::processEvents();
    Select(Node(0, 0));
    driver_.Next([&](QDialog& dialog) {
        auto& task = static_cast<TForm13&>(dialog);
        const QPoint centre = task.frameGeometry().center();
        const QPoint window = form_->frameGeometry().center();
        EXPECT_LE((centre - window).manhattanLength(), 60);  // Qt's allowance for a frame
        auto expectCentred = [&centre](const QWidget& shown) {
            const QPoint at = shown.frameGeometry().center();
            EXPECT_LE(std::abs(at.x() - centre.x()), 1) << at.x() << " " << centre.x();
            EXPECT_LE(std::abs(at.y() - centre.y()), 1) << at.y() << " " << centre.y();
        };
        task.move(task.pos() + QPoint(150, 90));
        EXPECT_EQ(task.size(), ui::ScaledSize(task, 560, 400));
        const QTreeView& files = *task.ListView1->ReportView();
        EXPECT_EQ(files.columnWidth(0),
                  std::max(ui::ScaledWidth(files, 18), files.header()->minimumSectionSize()));
        EXPECT_EQ(files.columnWidth(1), ui::ScaledWidth(files, 120));
        EXPECT_EQ(files.columnWidth(2), ui::ScaledWidth(files, 180));
        task.ListView1->Select(0);
        driver_.Next([&](QDialog& paths) {
            expectCentred(paths);
            const auto& form = static_cast<TForm14&>(paths);
            EXPECT_GE(form.ComboEdit1->width(), ui::ScaledWidth(*form.ComboEdit1, 300));
            ClickButton(paths, "Button1");
        });
        task.Button1Click();
        ClickButton(dialog, "Button6");
    });
    form_->ToolButton26Click();
    EXPECT_EQ(driver_.DialogsDriven(), 2);
}

// Add task of the local pane: one row per selected item that still exists, the first site and
// the first category chosen; with no site and no category both lists are empty and OK stays off.
TEST_F(TaskTree, TheLocalPanesAddTaskOpensAnUploadTaskOfTheItemsThatStillExist) {
    const std::string local = folder_ + "local";
    std::filesystem::create_directories(local + "/sub");
    std::ofstream(local + "/a.txt") << "a";
    std::ofstream(local + "/gone.txt") << "g";
    ShowForm();
    form_->LocalPane().SetRoot(local);
    ASSERT_TRUE(ui::testing::WaitUntilLoaded(*form_->ShellListView1));
    std::vector<int> items;
    for (int item = 0; item < form_->LocalPane().ItemCount(); ++item)
        items.push_back(item);
    form_->ShellListView1->SelectRows(items);
    std::filesystem::remove(local + "/gone.txt");
    driver_.Next([&](QDialog& dialog) {
        auto& form = static_cast<TForm13&>(dialog);
        EXPECT_EQ(form.windowTitle(), "Create new task");
        EXPECT_EQ(form.TaskType(), "Upload");
        EXPECT_EQ(form.ComboBoxEx2->count(), 0);
        EXPECT_EQ(form.ComboBoxEx1->count(), 0);
        form.Edit1->setText("n");
        EXPECT_FALSE(form.Button5->isEnabled());
        std::vector<std::string> names;
        for (const rtaskupdown& row : form.FileRecords) {
            names.push_back(row.files);
            EXPECT_EQ(row.local, local + "/");
            EXPECT_EQ(row.ftp, "/");
            EXPECT_EQ(row.isfolder, row.files == "sub");
        }
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::string>{"a.txt", "sub"}));
        ClickButton(dialog, "Button6");
    });
    form_->ToolButton30->click();
    EXPECT_EQ(driver_.DialogsDriven(), 1);

    // With sites and categories, the first of each is chosen; nothing selected: nothing opens.
    AddSites({"s1", "s2"});
    form_->LoadSiteList();
    tasks::AddCategory("c1", "");
    tasks::AddCategory("c2", "");
    form_->LoadTaskTree();
    driver_.Next([](QDialog& dialog) {
        auto& form = static_cast<TForm13&>(dialog);
        EXPECT_EQ(form.ComboBoxEx2->currentText(), "s1");
        EXPECT_EQ(form.ComboBoxEx1->currentText(), "c1");
        EXPECT_TRUE(form.ComboBoxEx2->isEnabled());
        ClickButton(dialog, "Button6");
    });
    form_->ToolButton30Click();
    form_->ShellListView1->SelectRows({});
    form_->ToolButton30Click();
    EXPECT_EQ(driver_.DialogsDriven(), 2);
}

}  // namespace
}  // namespace mainwindow::testing
