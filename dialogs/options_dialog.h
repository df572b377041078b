#pragma once
// TForm2, the options dialog: the anti-idle switch, interval and command list, the transfer
// mode with its ASCII extension list, the buffer sizes, two stored-only settings (hidden
// controls), and the lists of FTP proxies and SOCKS servers.
//
// Two ways of storing: the options row and the command and extension lists are written only
// by OK (which then has every connection page reload its options); a check mark of an entry
// that is stored already, and every change to the proxy and SOCKS lists (through TForm5 and
// TForm7), are written at once and stay written when the dialog is cancelled.
//
// Life: one at a time, in the global `Form2` from creation to destruction (the proxy and SOCKS
// dialogs rely on it while they are open). The opener may turn PageControl1 to a page before
// showing it modally, and frees it when it has closed. Handlers run under the handler guard:
// a table error ends the handler with the dialog open and reaches the application error
// handler; OK can then be pressed again and writes everything anew.
#include <string>
#include <vector>

#include "dialogs/entry_table.h"
#include "dialogs/options_tables.h"
#include "platform/ui/modal_dialog.h"

class QCheckBox;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTreeWidget;
class QWidget;
class TDialogsHost;

namespace ui {
class SpinEdit;
}

class TForm2 : public ui::ModalDialog {
    Q_OBJECT

  public:
    // `host` must outlive the dialog.
    explicit TForm2(TDialogsHost& host, QWidget* parent = nullptr);
    ~TForm2() override;

    // ---- components ----
    QTabWidget* PageControl1;
    QWidget* TabSheet3;          // "Anti-Idle"
    QCheckBox* CheckBox1;        // "Enabled anti-idle"
    ui::SpinEdit* SpinEdit1;     // "Interval", 1 to 99 seconds
    QListWidget* CheckListBox1;  // commands with check marks
    QPushButton* Button9;        // "&Add..."
    QPushButton* Button10;       // "&Delete"
    QWidget* TabSheet4;          // "Transfer"
    QRadioButton* RadioButton1;  // "Auto"
    QRadioButton* RadioButton2;  // "ASCII"
    QRadioButton* RadioButton3;  // "Binary"
    QListWidget* CheckListBox2;  // ASCII extensions with check marks
    QPushButton* Button11;       // "Add..."
    QPushButton* Button12;       // "Delete"
    ui::SpinEdit* SpinEdit2;     // "Recv Buffer size", no bounds
    ui::SpinEdit* SpinEdit3;     // "Send Buffer size", no bounds
    QWidget* GroupBox6;          // hidden: "Transfer complete"
    QRadioButton* RadioButton4;  // "None"
    QRadioButton* RadioButton5;  // "Disconnect"
    QRadioButton* RadioButton6;  // "Quit Application"
    QRadioButton* RadioButton7;  // "Exit Windows"
    QCheckBox* CheckBox2;        // hidden: "Use APPE to resume uploads"
    QWidget* TabSheet1;          // "Proxy"
    QTreeWidget* ListView1;      // "Name", "Server", "Type"
    QPushButton* Button1;        // "&Add..."
    QPushButton* Button2;        // "&Edit..."
    QPushButton* Button5;        // "&Remove"
    QWidget* TabSheet2;          // "Socks"
    QTreeWidget* ListView2;      // "Name", "Host", "Version"
    QPushButton* Button6;        // "&Add..."
    QPushButton* Button7;        // "&Edit..."
    QPushButton* Button8;        // "&Remove"
    QPushButton* Button13;       // "&Help"
    QPushButton* Button3;        // "&OK"
    QPushButton* Button4;        // "&Cancel"

    // What the controls hold, as OK writes it.
    dialogs::OptionsValues Values() const;
    std::vector<dialogs::CheckedText> Commands() const;
    std::vector<dialogs::CheckedText> Extensions() const;

    // The proxy list (ListView1) or the SOCKS list (ListView2).
    QTreeWidget& EntryList(dialogs::EntryKind kind) const;
    // What the entry dialogs do to those lists: a new last row; new texts in the selected row.
    void AppendEntryRow(dialogs::EntryKind kind, const dialogs::EntryRow& row);
    void ChangeSelectedEntryRow(dialogs::EntryKind kind, const dialogs::EntryRow& row);

    // ---- handlers ----
    void FormShow();
    void Button9Click();
    void Button10Click();
    void Button11Click();
    void Button12Click();
    void CheckListBox1ClickCheck(int row);
    void CheckListBox2ClickCheck(int row);
    void Button1Click();
    void Button2Click();
    void Button5Click();
    void Button6Click();
    void Button7Click();
    void Button8Click();
    void Button3Click();
    void Button13Click();

  protected:
    void FirstShown() override;

  private:
    void BuildAntiIdlePage();
    void BuildTransferPage();
    QWidget* BuildEntryPage(dialogs::EntryKind kind);
    // Asks for a text to add to `list`, whose entries are stored in `column` of `table`.
    void AddListText(QListWidget& list, const char* caption, vesk::TVeskTable& table,
                     const char* column);
    void ClickCheck(QListWidget& list, vesk::TVeskTable& table, const char* column, int row);
    void AddEntry(dialogs::EntryKind kind);
    void EditEntry(dialogs::EntryKind kind);
    void RemoveEntry(dialogs::EntryKind kind);

    TDialogsHost& host_;
    // Set while the program fills the lists: their check marks then run no handler.
    bool filling_ = false;
};

// The open options dialog, null while there is none.
extern TForm2* Form2;
