// The task tables, the category dialog, the task dialog and the task paths dialog against a
// fresh "all.dat": rows are reached by their ids, saves replace exactly a task's rows, and the
// dialogs' OK buttons follow their fields.
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QToolButton>

#include <string>
#include <vector>

#include "connection/testing/quiet_page_host.h"
#include "connection/tfb.h"
#include "dialogs/page_dialog_box.h"
#include "dialogs/task_category_dialog.h"
#include "dialogs/task_dialog.h"
#include "dialogs/task_paths_dialog.h"
#include "dialogs/task_tables.h"
#include "dialogs/testing/dialogs_rig.h"
#include "platform/os/mount_points.h"
#include "platform/ui/control_sizes.h"
#include "platform/ui/list_view.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/owner_data_model.h"

namespace dialogs::testing {
namespace {

using ui::ClickButton;

// A task tree that records what the dialogs ask of it.
class RecordingTree : public TTaskTreeHost {
  public:
    void AddCategoryNode(const TTaskCategory& category) override { added.push_back(category); }
    void RenameCategoryNode(std::int32_t id, const std::string& name) override {
        renamed.push_back({id, name});
    }
    void LoadTaskTree() override { ++loads; }
    std::vector<TTaskCategory> TreeCategories() const override { return categories; }

    std::vector<TTaskCategory> categories;
    std::vector<TTaskCategory> added;
    std::vector<TTaskCategory> renamed;
    int loads = 0;
};

class TaskDialogs : public DialogsTest {
  protected:
    std::int32_t AddCategory(const std::string& name, const std::string& desc = "") {
        return tasks::AddCategory(name, desc);
    }
    std::int32_t AddTask(std::int32_t category, const std::string& name,
                         std::vector<rtaskupdown> files, const std::string& type = "Upload") {
        tasks::TaskValues values;
        values.categoryId = category;
        values.name = name;
        values.ftp = "site";
        values.type = type;
        values.files = std::move(files);
        return tasks::AddTask(values).value();
    }
    // Every taskd2 row as "id:files".
    static std::vector<std::string> FileRows() {
        OpenTable table(*dm->Ttaskd2);
        std::vector<std::string> rows;
        for (table->First(); !table->Eof(); table->Next())
            rows.push_back(table->FieldByName("id").AsString() + ":" +
                           table->FieldByName("files").AsString());
        return rows;
    }
    static bool TaskTablesClosed() {
        return dm->Ttask->State() == vesk::TDataSetState::dsInactive &&
               dm->Ttaskd->State() == vesk::TDataSetState::dsInactive &&
               dm->Ttaskd2->State() == vesk::TDataSetState::dsInactive;
    }

    // A task dialog with two sites and the tree's categories, none of them chosen yet.
    void FillLists(TForm13& form, int site, int category) {
        form.SetSites({"one", "two"}, site);
        form.SetCategories(tree_.categories, category);
    }

    RecordingTree tree_;
};

const rtaskupdown kA{false, "a.txt", "/l/", "/r"};
const rtaskupdown kB{true, "dir", "/l/sub/", "/r"};
const rtaskupdown kC{false, "c.bin", "/m/", "/s"};

TEST_F(TaskDialogs, DeletingACategoryRemovesExactlyItsRowsAndDeletingATaskKeepsItsCategory) {
    const std::int32_t first = AddCategory("first");
    const std::int32_t second = AddCategory("second");
    const std::int32_t t1 = AddTask(first, "t1", {kA, kB});
    const std::int32_t t2 = AddTask(first, "t2", {kC});
    const std::int32_t t3 = AddTask(second, "t3", {kA, kC});
    const std::int32_t t4 = AddTask(second, "t4", {kB});
    ASSERT_EQ(FileRows().size(), 6u);

    tasks::DeleteCategory(first);
    EXPECT_EQ(ColumnTexts(*dm->Ttask, "name"), (std::vector<std::string>{"second"}));
    EXPECT_EQ(ColumnTexts(*dm->Ttaskd, "name"), (std::vector<std::string>{"t3", "t4"}));
    const std::string k3 = std::to_string(t3), k4 = std::to_string(t4);
    EXPECT_EQ(FileRows(), (std::vector<std::string>{k3 + ":a.txt", k3 + ":c.bin", k4 + ":dir"}));

    tasks::DeleteTask(t3);
    EXPECT_EQ(ColumnTexts(*dm->Ttask, "name"), (std::vector<std::string>{"second"}));
    EXPECT_EQ(ColumnTexts(*dm->Ttaskd, "name"), (std::vector<std::string>{"t4"}));
    EXPECT_EQ(FileRows(), (std::vector<std::string>{k4 + ":dir"}));
    (void)t1;
    (void)t2;
    EXPECT_TRUE(TaskTablesClosed());
}

// Tasks stored in any order land under their own category in table order; a task whose
// category row is gone is left out.
TEST_F(TaskDialogs, TheTaskTreeGroupsTasksUnderTheirCategoryInTableOrder) {
    const std::int32_t first = AddCategory("first");
    const std::int32_t second = AddCategory("second");
    const std::int32_t gone = AddCategory("gone");
    AddTask(second, "s1", {});
    AddTask(first, "f1", {});
    AddTask(gone, "g1", {});
    AddTask(second, "s2", {}, "Download");
    AddTask(first, "f2", {});
    {
        OpenTable table(*dm->Ttask);
        ASSERT_TRUE(table->Locate("id", gone));
        table->Delete();
    }
    const std::vector<tasks::CategoryRows> tree = tasks::ReadTaskTree();
    ASSERT_EQ(tree.size(), 2u);
    auto names = [](const tasks::CategoryRows& category) {
        std::vector<std::string> names;
        for (const rtask& task : category.tasks) {
            EXPECT_EQ(task.taskid, category.id) << task.name;
            names.push_back(task.name);
        }
        return names;
    };
    EXPECT_EQ(tree[0].id, first);
    EXPECT_EQ(tree[0].name, "first");
    EXPECT_EQ(names(tree[0]), (std::vector<std::string>{"f1", "f2"}));
    EXPECT_EQ(tree[1].id, second);
    EXPECT_EQ(tree[1].name, "second");
    EXPECT_EQ(names(tree[1]), (std::vector<std::string>{"s1", "s2"}));
    EXPECT_EQ(tree[1].tasks[1].type, "Download");
    EXPECT_TRUE(TaskTablesClosed());
}

TEST_F(TaskDialogs, AnEditedTaskKeepsItsIdAndGetsItsFileRowsInListOrderWithFoldersEndingInSlash) {
    const std::int32_t category = AddCategory("c");
    const std::int32_t other = AddTask(category, "other", {kC});
    const std::int32_t id = AddTask(category, "t", {kA, kB});
    tasks::TaskValues values;
    values.categoryId = category;
    values.name = "renamed";
    values.ftp = "two";
    values.type = "Download";
    values.common = "note";
    values.files = {{false, "z", "/no/slash", "/r"}, {true, "y", "", "/q"}, kA};
    ASSERT_TRUE(tasks::UpdateTask(id, values));

    const std::vector<tasks::CategoryRows> tree = tasks::ReadTaskTree();
    ASSERT_EQ(tree.size(), 1u);
    ASSERT_EQ(tree[0].tasks.size(), 2u);
    const rtask& task = tree[0].tasks[1];
    EXPECT_EQ(task.id, id);
    EXPECT_EQ(task.taskid, category);
    EXPECT_EQ(task.name, "renamed");
    EXPECT_EQ(task.ftp, "two");
    EXPECT_EQ(task.type, "Download");
    EXPECT_EQ(task.common, "note");
    // A cleared local folder runs in the home folder.
    const std::vector<rtaskupdown> expected{
        {false, "z", "/no/slash/", "/r"}, {true, "y", os::HomeFolder() + "/", "/q"}, kA};
    EXPECT_EQ(tasks::ReadTaskFiles(id), expected);
    EXPECT_EQ(tasks::ReadTaskFiles(other), (std::vector<rtaskupdown>{kC}));
}

TEST_F(TaskDialogs, NothingIsWrittenForATaskOrCategoryWhoseRowIsGone) {
    const std::int32_t category = AddCategory("c");
    const std::int32_t id = AddTask(category, "t", {kA});
    tasks::TaskValues values;
    values.categoryId = category;
    values.name = "x";
    values.files = {kB, kC};
    EXPECT_FALSE(tasks::UpdateTask(id + 7, values));
    values.categoryId = category + 7;
    EXPECT_FALSE(tasks::UpdateTask(id, values));
    EXPECT_FALSE(tasks::AddTask(values).has_value());
    EXPECT_EQ(ColumnTexts(*dm->Ttaskd, "name"), (std::vector<std::string>{"t"}));
    EXPECT_EQ(FileRows(), (std::vector<std::string>{std::to_string(id) + ":a.txt"}));
    EXPECT_FALSE(tasks::UpdateCategory(category + 7, "n", "d"));
    EXPECT_EQ(ColumnTexts(*dm->Ttask, "name"), (std::vector<std::string>{"c"}));
}

TEST_F(TaskDialogs, TheCategoryDialogAddsUniqueNamesAndEditsTheRowOfItsId) {
    const std::int32_t first = AddCategory("same", "one");
    const std::int32_t second = AddCategory("same", "two");
    {
        TForm12 form(tree_);
        EXPECT_EQ(Form12, &form);
        EXPECT_EQ(form.Memo1->minimumSize(), ui::ScaledSize(*form.Memo1, 320, 120));
        EXPECT_FALSE(form.Button2->isEnabled());
        form.Edit1->setText("same");
        EXPECT_TRUE(form.Button2->isEnabled());
        ui_.AnswerMessage(ui::mrOk);
        form.Button2Click();
        ASSERT_EQ(ui_.Calls().size(), 1u);
        EXPECT_EQ(ui_.Calls()[0].text, "The name same was existed, please re-enter.");
        EXPECT_EQ(ui_.Calls()[0].kind, ui::MessageKind::kWarning);
        EXPECT_EQ(form.ModalResult(), ui::mrNone);
        form.Edit1->setText("");
        EXPECT_FALSE(form.Button2->isEnabled());
        form.Edit1->setText("new");
        form.Memo1->setPlainText("text");
        form.Button2Click();
        EXPECT_EQ(form.ModalResult(), ui::mrOk);
    }
    EXPECT_EQ(Form12, nullptr);
    ASSERT_EQ(tree_.added.size(), 1u);
    EXPECT_EQ(tree_.added[0].name, "new");
    EXPECT_EQ(tasks::CategoryDescription(tree_.added[0].id), "text");

    // Edit mode reaches the second of two rows of one name; the new name is not compared.
    TForm12 form(tree_);
    form.PresetEdit(second, "same", "two");
    EXPECT_EQ(form.windowTitle(), "Edit category");
    EXPECT_TRUE(form.Button2->isEnabled());
    form.Edit1->setText("new");
    form.Memo1->setPlainText("changed");
    form.Button2Click();
    EXPECT_EQ(ColumnTexts(*dm->Ttask, "name"), (std::vector<std::string>{"same", "new", "new"}));
    EXPECT_EQ(tasks::CategoryDescription(first), "one");
    EXPECT_EQ(tasks::CategoryDescription(second), "changed");
    EXPECT_EQ(tree_.renamed, (std::vector<TTaskCategory>{{second, "new"}}));
    EXPECT_TRUE(TaskTablesClosed());
}

// A category whose name and description are longer than their columns is saved: the name
// field takes no more than its 100 bytes (60 two-byte characters would be 120), the 300
// characters of the description are stored as its first 255; edit mode the same.
TEST_F(TaskDialogs, TheCategoryDialogSavesTextsLongerThanTheirColumns) {
    const std::string description(300, 'd');
    std::string name;
    driver_.Next([&](QDialog& dialog) {
        auto& form = static_cast<TForm12&>(dialog);
        name = ExpectByteLimit(*form.Edit1, 100);
        form.Memo1->setPlainText(QString::fromStdString(description));
        ClickButton(dialog, "Button2");
    });
    {
        TForm12 form(tree_);
        EXPECT_EQ(form.exec(), ui::mrOk);
    }
    ASSERT_EQ(tree_.added.size(), 1u);
    EXPECT_EQ(tree_.added[0].name, name);
    EXPECT_EQ(ColumnTexts(*dm->Ttask, "name"), std::vector<std::string>{name});
    EXPECT_EQ(tasks::CategoryDescription(tree_.added[0].id), description.substr(0, 255));

    TForm12 form(tree_);
    form.PresetEdit(tree_.added[0].id, name, "short");
    form.Memo1->setPlainText(QString::fromStdString(LongText(200)));  // 401 bytes
    form.Button2Click();
    EXPECT_EQ(form.ModalResult(), ui::mrOk);
    EXPECT_EQ(tasks::CategoryDescription(tree_.added[0].id), LongText(127));
    EXPECT_TRUE(ui_.Calls().empty());
    EXPECT_TRUE(TaskTablesClosed());
}

// The task dialog's name takes no more than its 100 bytes, its description and file rows (made
// from a page's or the local pane's selection, so of any length) are stored cut to their
// columns, a local folder still ending in "/"; the paths dialog's fields take no more than
// their 4096 bytes.
TEST_F(TaskDialogs, TheTaskDialogsSaveTextsLongerThanTheirColumns) {
    tree_.categories = {{AddCategory("c"), "c"}};
    const std::string longName = LongText(150);                  // 301 bytes
    const std::string longLocal = "/" + std::string(4200, 'l');  // no closing "/"
    const std::string longRemote = "/" + std::string(4200, 'r');
    std::string name;
    driver_.Next([&](QDialog& dialog) {
        auto& form = static_cast<TForm13&>(dialog);
        name = ExpectByteLimit(*form.Edit1, 100);
        form.Memo1->setPlainText(QString::fromStdString(std::string(300, 'm')));
        form.AddFileRow({false, longName, longLocal, longRemote});
        form.ListView1->SelectRows({0});
        driver_.Next([&](QDialog& paths) {
            auto& edit = static_cast<TForm14&>(paths);
            edit.ComboEdit1->setEnabled(true);
            ExpectByteLimit(*edit.ComboEdit1, 4096);
            ExpectByteLimit(*edit.Edit1, 4096);
            ClickButton(paths, "Button1");
        });
        form.Button1Click();
        ClickButton(dialog, "Button5");
    });
    TForm13 form(tree_, folder_);
    FillLists(form, 0, 0);
    form.exec();
    EXPECT_EQ(tree_.loads, 1);
    const std::vector<tasks::CategoryRows> tree = tasks::ReadTaskTree();
    ASSERT_EQ(tree.size(), 1u);
    ASSERT_EQ(tree[0].tasks.size(), 1u);
    EXPECT_EQ(tree[0].tasks[0].name, name);
    EXPECT_EQ(tree[0].tasks[0].common, std::string(255, 'm'));
    const std::vector<rtaskupdown> files = tasks::ReadTaskFiles(tree[0].tasks[0].id);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].files, LongText(127));
    EXPECT_EQ(files[0].local, longLocal.substr(0, 4095) + "/");
    EXPECT_EQ(files[0].ftp, longRemote.substr(0, 4096));
    EXPECT_TRUE(ui_.Calls().empty());
}

TEST_F(TaskDialogs, OkNeedsANameACategoryAndASiteAndDeletingRowsEnablesItWhileRowsRemain) {
    tree_.categories = {{AddCategory("c"), "c"}};
    struct Case {
        int site;
        int category;
        const char* name;
        bool enabled;
    };
    for (const Case& c : std::vector<Case>{{-1, -1, "n", false},
                                           {0, -1, "n", false},
                                           {-1, 0, "n", false},
                                           {1, 0, "", false},
                                           {1, 0, "n", true}}) {
        TForm13 form(tree_, folder_);
        FillLists(form, c.site, c.category);
        EXPECT_FALSE(form.Button5->isEnabled());
        form.Edit1->setText(c.name);
        EXPECT_EQ(form.Button5->isEnabled(), c.enabled) << c.site << c.category << c.name;
    }

    TForm13 form(tree_, folder_);
    FillLists(form, -1, 0);  // no site: OK must not save
    for (const rtaskupdown& row : {kA, kB, kC})
        form.AddFileRow(row);
    EXPECT_FALSE(form.Button4->isEnabled());
    form.ListView1->SelectRows({0, 2});
    EXPECT_TRUE(form.Button4->isEnabled());
    EXPECT_TRUE(form.Button1->isEnabled());
    form.Button4Click();
    EXPECT_EQ(form.FileRecords, (std::vector<rtaskupdown>{kB}));
    EXPECT_EQ(form.ListView1->RowCount(), 1);
    EXPECT_TRUE(form.Button5->isEnabled());
    form.Button5Click();
    EXPECT_EQ(RowCount(*dm->Ttaskd), 0);
    EXPECT_EQ(tree_.loads, 0);
    EXPECT_EQ(form.ModalResult(), ui::mrNone);
    form.ListView1->SelectRows({0});
    form.Button4Click();
    EXPECT_TRUE(form.FileRecords.empty());
    EXPECT_FALSE(form.Button5->isEnabled());
}

TEST_F(TaskDialogs, SavingANewTaskWritesItUnderTheChosenCategorysIdAndRebuildsTheTree) {
    const std::int32_t first = AddCategory("same");
    const std::int32_t second = AddCategory("same");
    tree_.categories = {{first, "same"}, {second, "same"}};
    TForm13 form(tree_, folder_);
    EXPECT_EQ(form.windowTitle(), "Create new task");
    EXPECT_EQ(form.TaskType(), "Upload");
    FillLists(form, 1, 1);
    form.Edit1->setText("nightly");
    form.Memo1->setPlainText("about");
    form.AddFileRow(kA);
    form.AddFileRow(kB);
    form.Button5Click();
    EXPECT_EQ(tree_.loads, 1);
    EXPECT_EQ(form.ModalResult(), ui::mrCancel);
    const std::vector<tasks::CategoryRows> tree = tasks::ReadTaskTree();
    ASSERT_EQ(tree.size(), 2u);
    EXPECT_TRUE(tree[0].tasks.empty());
    ASSERT_EQ(tree[1].tasks.size(), 1u);
    const rtask& task = tree[1].tasks[0];
    EXPECT_EQ(task.ftp, "two");
    EXPECT_EQ(task.type, "Upload");
    EXPECT_EQ(task.common, "about");
    EXPECT_EQ(tasks::ReadTaskFiles(task.id), (std::vector<rtaskupdown>{kA, kB}));
    EXPECT_TRUE(TaskTablesClosed());
}

TEST_F(TaskDialogs, EditModeOfATaskWhoseRowIsGoneWritesNothingAndRebuildsTheTree) {
    const std::int32_t category = AddCategory("c");
    const std::int32_t id = AddTask(category, "t", {kA});
    tree_.categories = {{category, "c"}};
    TForm13 form(tree_, folder_);
    form.SetEditMode(id, "t");
    FillLists(form, 0, 0);
    form.Edit1->setText("t");
    form.AddFileRow(kB);
    tasks::DeleteTask(id);
    form.Button5Click();
    EXPECT_EQ(tree_.loads, 1);
    EXPECT_EQ(RowCount(*dm->Ttaskd), 0);
    EXPECT_TRUE(FileRows().empty());
    EXPECT_TRUE(ui_.Calls().empty());
}

TEST_F(TaskDialogs, CancelWritesNothing) {
    tree_.categories = {{AddCategory("c"), "c"}};
    driver_.Next([](QDialog& dialog) {
        auto& form = static_cast<TForm13&>(dialog);
        form.Edit1->setText("n");
        form.AddFileRow(kA);
        ClickButton(dialog, "Button6");
    });
    TForm13 form(tree_, folder_);
    FillLists(form, 0, 0);
    EXPECT_EQ(form.exec(), ui::mrCancel);
    EXPECT_EQ(RowCount(*dm->Ttaskd), 0);
    EXPECT_TRUE(FileRows().empty());
    EXPECT_EQ(tree_.loads, 0);
}

// Download: only the local folder changes; upload: only the remote folder, with the item's full
// local path shown. Every selected row changes, the first one's values are shown.
TEST_F(TaskDialogs, ThePathsDialogChangesEverySelectedRowAndShowsTheFirst) {
    for (const bool download : {true, false}) {
        SCOPED_TRACE(download);
        TForm13 form(tree_, folder_);
        form.SetTaskType(download ? "DownLoad" : "Upload");
        for (const rtaskupdown& row : {kA, kB, kC})
            form.AddFileRow(row);
        form.ListView1->SelectRows({1, 2});
        driver_.Next([&](QDialog& dialog) {
            auto& paths = static_cast<TForm14&>(dialog);
            EXPECT_EQ(Form14, &paths);
            EXPECT_EQ(paths.ComboEdit1->text().toStdString(), download ? "/l/sub/" : "/l/sub/dir");
            EXPECT_EQ(paths.Edit1->text().toStdString(), "/r");
            EXPECT_EQ(paths.ComboEdit1->isEnabled(), download);
            EXPECT_EQ(paths.Edit1->isEnabled(), !download);
            paths.ComboEdit1->setText("/new/");
            paths.Edit1->setText("");
            EXPECT_FALSE(paths.Button2->isEnabled());
            paths.Edit1->setText("/up");
            ClickButton(dialog, "Button2");
        });
        form.Button1Click();
        EXPECT_EQ(Form14, nullptr);
        const std::string local = download ? "/new/" : "";
        const std::string remote = download ? "" : "/up";
        std::vector<rtaskupdown> expected{kA, kB, kC};
        for (const int row : {1, 2}) {
            if (download)
                expected[static_cast<std::size_t>(row)].local = local;
            else
                expected[static_cast<std::size_t>(row)].ftp = remote;
        }
        EXPECT_EQ(form.FileRecords, expected);
        const auto* rows = static_cast<QStandardItemModel*>(form.ListView1->Model());
        for (int row = 0; row < 3; ++row) {
            const rtaskupdown& record = expected[static_cast<std::size_t>(row)];
            EXPECT_EQ(rows->item(row, 2)->text().toStdString(), record.local);
            EXPECT_EQ(rows->item(row, 3)->text().toStdString(), record.ftp);
        }

        // Cancel changes nothing.
        driver_.Next([](QDialog& dialog) {
            static_cast<TForm14&>(dialog).Edit1->setText("/other");
            static_cast<TForm14&>(dialog).ComboEdit1->setText("/other/");
            ClickButton(dialog, "Button1");
        });
        form.Button1Click();
        EXPECT_EQ(form.FileRecords, expected);
    }
}

TEST_F(TaskDialogs, TheFolderButtonPutsTheChosenFolderIntoTheLocalField) {
    TForm14 paths;
    paths.Preset(true, "/l/", "/r");
    ui_.AnswerFolder("/chosen").AnswerFolder(std::nullopt);
    paths.ComboEdit1ButtonClick();
    EXPECT_EQ(paths.ComboEdit1->text().toStdString(), "/chosen");
    paths.ComboEdit1ButtonClick();
    EXPECT_EQ(paths.ComboEdit1->text().toStdString(), "/chosen");
}

TEST_F(TaskDialogs, HelpOpensTheTopicOfTheTaskType) {
    TForm13 form(tree_, folder_);
    form.Button7Click();
    form.SetTaskType("download");
    form.Button7Click();
    EXPECT_EQ(help_.requests,
              (std::vector<ui::HelpRequest>{{folder_ + "Zantrope.hlp", "newitem22"},
                                            {folder_ + "Zantrope.hlp", "newitem12"}}));
}

// The page's Add task: a download task of the selected remote rows on the page's site, which
// cannot be changed, with the tree's first category.
TEST_F(TaskDialogs, APagesAddTaskOpensADownloadTaskOfItsSelection) {
    connection_testing::QuietPageHost pageHost({"other", "mine"}, {"first", "second"});
    Tfb page(pageHost);
    page.FSiteName = "mine";
    page.FCurrentDir = "/pub/x";
    for (const auto& [name, type] : std::vector<std::pair<std::string, std::string>>{
             {"folder", "Folder"}, {"skip", ""}, {"f1", ""}, {"f2", ""}}) {
        page.AddDisplayEntry(name, type, "1", "2026-01-02 03:04:00", "u", "g", "rw-", "r--", "r--");
    }
    page.RemoteItems->SetRowCount(static_cast<int>(page.FDisplayList.size()));
    page.ListView2->SelectRows({0, 2, 3});
    tree_.categories = {{4, "first"}, {9, "second"}};
    TPageDialogBox box(host_, folder_);
    EXPECT_EQ(box.ShowAddTask(page), ui::mrCancel);  // no task tree: nothing shown
    box.SetTaskTree(&tree_);
    driver_.Next([](QDialog& dialog) {
        auto& form = static_cast<TForm13&>(dialog);
        EXPECT_EQ(form.TaskType(), "Download");
        EXPECT_EQ(form.ComboBoxEx2->currentText().toStdString(), "mine");
        EXPECT_FALSE(form.ComboBoxEx2->isEnabled());
        EXPECT_EQ(form.ComboBoxEx1->currentText().toStdString(), "first");
        EXPECT_EQ(form.ComboBoxEx1->currentData().toInt(), 4);
        ASSERT_EQ(form.FileRecords.size(), 3u);
        const std::vector<bool> folders{true, false, false};
        const std::vector<std::string> names{"folder", "f1", "f2"};
        for (std::size_t row = 0; row < 3; ++row) {
            EXPECT_EQ(form.FileRecords[row].isfolder, folders[row]);
            EXPECT_EQ(form.FileRecords[row].files, names[row]);
            EXPECT_EQ(form.FileRecords[row].ftp, "/pub/x");
            EXPECT_FALSE(form.FileRecords[row].local.empty());
        }
        ClickButton(dialog, "Button6");
    });
    EXPECT_EQ(box.ShowAddTask(page), ui::mrCancel);
    EXPECT_EQ(driver_.DialogsDriven(), 1);
}

}  // namespace
}  // namespace dialogs::testing
