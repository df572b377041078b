#pragma once
// The task category dialog: creates a category ("New category", the form's own caption) or
// changes the name and description of one ("Edit category", set by the caller with OldName,
// CategoryId and the fields). OK writes the `task` table of `dm` and brings the task tree up to
// date through its host without a reload: a new node at the end of the top level, or the new
// name on the edited node. A new category may not take a name in use ("The name %s was
// existed, please re-enter."; the dialog stays open); a change of name is not compared.
//
// The global `Form12` names the dialog while it exists. Table errors in OK pass on to the
// handler guard; the dialog then stays open.
#include <cstdint>
#include <string>

#include "platform/ui/modal_dialog.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class TTaskTreeHost;

class TForm12 : public ui::ModalDialog {
    Q_OBJECT

  public:
    // `tree` must outlive the dialog.
    explicit TForm12(TTaskTreeHost& tree, QWidget* parent = nullptr);
    ~TForm12() override;

    QLineEdit* Edit1;       // "Category name"
    QPlainTextEdit* Memo1;  // "Description"
    QPushButton* Button2;   // "&OK", enabled while the name is not empty
    QPushButton* Button1;   // "&Cancel"

    // Edit mode: the category's name before editing, and the row it is (task.id).
    std::string OldName;
    std::int32_t CategoryId = 0;

    // Edit mode for category `id`: caption, OldName and the fields.
    void PresetEdit(std::int32_t id, const std::string& name, const std::string& description);
    bool AddMode() const;

    void Edit1Change();
    void Button2Click();

  private:
    TTaskTreeHost& tree_;
};

// The category dialog while it exists, else nullptr.
extern TForm12* Form12;
