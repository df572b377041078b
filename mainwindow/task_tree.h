#pragma once
// The tasks page of the main window ("&Tasks"): its toolbar, the read-only task tree
// `TreeView2` (categories at the top level, their tasks below), the description memo and the
// tree's popup menu `Poptask`. It loads the tree from the task tables, follows the node the
// user sees chosen (mainwindow::ChosenNode: a current node that is not selected is none) with
// the buttons, the popup, the commands and the description, opens the category and task
// dialogs for a new category or the chosen node, deletes the chosen category (with its tasks)
// or task without a question, expands and collapses the tree (a collapse hands the choice of
// a task to its category), and hands the chosen task to OnExecute.
//
// A category node carries its `task.id`, a task node its `rtask` record (owned by FTaskItems
// until the next load), so edits and deletes reach the rows of the node the user selected even
// when names repeat. It is the task dialogs' host (TTaskTreeHost). Table errors pass on to the
// handler guard; the action stops where it is.
#include <QObject>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/task_tables.h"
#include "dialogs/task_tree_host.h"

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

class TTaskTree : public QObject, public TTaskTreeHost {
    Q_OBJECT

  public:
    // Builds the page on `sheet`. Dialogs are modal to `dialogParent`; `programFolder` (ending
    // in "/") holds the help file; `siteNames` gives the stored sites in the site list's order.
    TTaskTree(QWidget& sheet, QWidget& dialogParent, std::string programFolder,
              std::function<std::vector<std::string>()> siteNames);
    ~TTaskTree() override;

    QToolBar* ToolBar3;
    QToolButton* ToolButton34;  // reload
    QToolButton* ToolButton23;  // "New category"
    QToolButton* ToolButton26;  // "Edit"
    QToolButton* ToolButton18;  // "Delete", disabled at creation
    QToolButton* ToolButton17;  // "Execute", disabled at creation
    QToolButton* ToolButton21;  // "Expand"
    QToolButton* ToolButton22;  // "Collapse"
    QToolButton* ToolButton25;  // "Help"
    QTreeWidget* TreeView2;
    QLabel* Label3;  // "Description"
    QPlainTextEdit* Memo1;
    QMenu* Poptask;
    QAction* Edit2;
    QAction* Delete3;
    QAction* Execute2;

    // The records of the task nodes of the last load.
    std::vector<std::unique_ptr<rtask>> FTaskItems;

    // Runs with a copy of the selected task's record (Execute).
    std::function<void(const rtask& task)> OnExecute;

    // The record of the chosen task node; nullptr when no task node is chosen.
    const rtask* SelectedTask() const;
    // The category id of a category node (-1 for a task node).
    static std::int32_t CategoryIdOf(const QTreeWidgetItem& node);
    // The node's image of ImageList6: 0 category, 1 upload task, 2 download task.
    static int ImageOf(const QTreeWidgetItem& node);

    // ---- handlers ----
    void TreeView2Change();
    void PoptaskPopup();
    void ToolButton23Click();
    void ToolButton26Click();
    void ToolButton18Click();
    void ToolButton17Click();
    void ToolButton21Click();
    void ToolButton22Click();
    void ToolButton25Click();

    // A new upload task of `files` in the task dialog (add mode): the stored sites with the
    // first chosen, the categories with the first chosen.
    void ShowNewUploadTask(const std::vector<rtaskupdown>& files);

    // ---- the task dialogs' host ----
    void AddCategoryNode(const TTaskCategory& category) override;
    void RenameCategoryNode(std::int32_t id, const std::string& name) override;
    void LoadTaskTree() override;
    std::vector<TTaskCategory> TreeCategories() const override;

  private:
    void BuildControls(QWidget& sheet);
    void ConnectHandlers();
    QTreeWidgetItem* AddCategory(std::int32_t id, const std::string& name);
    void EditTask(const rtask& task, const QTreeWidgetItem& category);

    QWidget& dialogParent_;
    std::string programFolder_;
    std::function<std::vector<std::string>()> siteNames_;
};
