#pragma once
// The twin proxy and SOCKS entry dialogs (TForm5 and TForm7) share this base: it adds one row
// of `proxy` / `socks` (the add caption) or changes one (any other caption; the options dialog
// presets the controls with ShowValues and puts the row's name into OldName). OK checks the
// name and the address, writes the row (EntryTable), then brings the options dialog's list
// (through `Form2`) and, when the site dialog is open, its drop-down list (through `Form4`)
// up to date. What differs between the twins is an EntryDesign.
//
// Handlers run under the handler guard: a table error ends OK with the dialog open and what
// was typed kept, and reaches the application error handler.
#include <QStringList>

#include <string>

#include "dialogs/entry_table.h"
#include "platform/ui/modal_dialog.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace ui {
class IntegerEdit;
}

namespace dialogs {

// What makes one of the twins.
struct EntryDesign {
    EntryKind kind;
    const char* formName;       // "Form5"
    const char* designCaption;  // "Proxy"
    const char* addCaption;     // "Add Proxy"
    // Object names and labels of the name, address, port and type controls.
    const char* nameEdit;
    const char* addressEdit;
    const char* addressLabel;
    const char* portEdit;
    const char* portLabel;
    const char* typeList;
    const char* typeLabel;
    QStringList types;
    int designType;  // the type selected at creation, -1 for none
    int designPort;
    const char* emptyAddressMessage;
};

}  // namespace dialogs

class TEntryDialog : public ui::ModalDialog {
    Q_OBJECT

  public:
    ~TEntryDialog() override;

    // Edit mode: the row's name when the dialog opened, the key OK finds it by.
    std::string OldName;

    QCheckBox* CheckBox1;  // "Login"
    QLineEdit* Edit2;      // "Username"
    QLineEdit* Edit3;      // "Password"
    QPushButton* Button1;  // "&OK"
    QPushButton* Button2;  // "&Cancel"

    // Add mode: the caption is the design's add caption.
    bool AddMode() const;
    // What the controls hold, as the row is written.
    dialogs::EntryValues Values() const;
    // Presets every control from a row (the "Login" box runs its handler when it changes).
    void ShowValues(const dialogs::EntryValues& entry);

    void CheckBox1Click();
    void Button1Click();

  protected:
    TEntryDialog(const dialogs::EntryDesign& design, QWidget* parent);

    QLineEdit* nameEdit_;
    QLineEdit* addressEdit_;
    ui::IntegerEdit* portEdit_;
    QComboBox* typeList_;

  private:
    void Refuse(const std::string& message, QLineEdit& focus);

    const dialogs::EntryDesign& design_;
};
