#pragma once
// The task dialog: composes one task, its name, category, site, type (the caption of the file
// page TabSheet1, "Upload" at creation), description and the files and folders it transfers.
// Its callers preset it (Edit on the tasks page, Add task of the local pane and of a page) and
// show it modally. OK saves into `task`/`taskd`/`taskd2` of `dm` and rebuilds the task tree
// through its host: in add mode ("Create new task", the form's own caption) a new task, in edit
// mode ("Edit task") the task TaskId with its file rows replaced in list order. The category is
// reached by the id its list item carries, the task by TaskId, so names need not be unique.
// OK with no category or no site chosen writes nothing and leaves the dialog open; a task or
// category whose row is gone meanwhile writes nothing, and the tree is rebuilt.
//
// The global `Form13` names the dialog while it exists. Table errors in OK pass on to the
// handler guard; rows written before stay written and the dialog stays open.
#include <cstdint>
#include <string>
#include <vector>

#include "connection/rtaskupdown.h"
#include "dialogs/task_tree_host.h"
#include "platform/ui/modal_dialog.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStandardItemModel;
class QTabWidget;

namespace ui {
class ListView;
}

class TForm13 : public ui::ModalDialog {
    Q_OBJECT

  public:
    // `tree` must outlive the dialog; `programFolder` (ending in "/") holds the help file.
    TForm13(TTaskTreeHost& tree, std::string programFolder, QWidget* parent = nullptr);
    ~TForm13() override;

    QLineEdit* Edit1;        // "Name"
    QComboBox* ComboBoxEx1;  // "Task category"; item data: the category's id
    QComboBox* ComboBoxEx2;  // "FTP server"
    QTabWidget* PageControl1;
    QWidget* TabSheet1;  // the file page; its caption is the task type
    QWidget* TabSheet2;  // "Description"
    ui::ListView* ListView1;
    QPlainTextEdit* Memo1;
    QPushButton* Button1;  // "&Edit"
    QPushButton* Button4;  // "&Delete"
    QPushButton* Button5;  // "&OK"
    QPushButton* Button6;  // "&Cancel"
    QPushButton* Button7;  // "&Help"

    // Record i belongs to row i of ListView1.
    std::vector<rtaskupdown> FileRecords;
    // Edit mode: the task's name before editing and its row (taskd.id).
    std::string OldName;
    std::int32_t TaskId = 0;

    // ---- presets ----
    void SetTaskType(const std::string& type);
    std::string TaskType() const;
    bool IsDownload() const;
    // Edit mode for task `id` named `name`.
    void SetEditMode(std::int32_t id, const std::string& name);
    bool AddMode() const;
    // The stored sites (each with the site image); `selected` is chosen, -1 none.
    void SetSites(const std::vector<std::string>& names, int selected);
    // The categories (each with the category image); `selected` is chosen, -1 none.
    void SetCategories(const std::vector<TTaskCategory>& categories, int selected);
    // Appends a record and its row.
    void AddFileRow(const rtaskupdown& record);

    // ---- handlers ----
    void Edit1Change();
    void ListView1SelectItem();
    void Button4Click();
    void Button1Click();
    void Button5Click();
    void Button7Click();

  private:
    TTaskTreeHost& tree_;
    std::string programFolder_;
    QStandardItemModel* rows_;
};

// The task dialog while it exists, else nullptr.
extern TForm13* Form13;
