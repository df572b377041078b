#pragma once
// TForm4, the FTP site dialog: creates a stored site ("New FTP Site", add mode) or changes one
// (any other caption, edit mode; the caller sets "Edit FTP Site", presets the controls with
// ShowValues and puts the site's name into OldName). OK checks the name and the address,
// writes one `ftpsite` row (SiteTable) and has the main window rebuild its site list. The two
// "Option..." buttons open the options dialog on its "Proxy" or "Socks" page; while it is
// open, the proxy and SOCKS lists here follow what is added, renamed and removed there.
//
// Life: one at a time, in the global `Form4` from creation to destruction (the proxy and
// SOCKS dialogs test it). The caller shows it modally and frees it when it has closed.
// Handlers run under the handler guard: a table error ends OK with the dialog open and what
// was typed kept, and reaches the application error handler.
#include <string>

#include "dialogs/entry_table.h"
#include "dialogs/site_table.h"
#include "platform/ui/modal_dialog.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QWidget;
class TDialogsHost;

namespace ui {
class IntegerEdit;
class SpinEdit;
}  // namespace ui

class TForm4 : public ui::ModalDialog {
    Q_OBJECT

  public:
    // `host` must outlive the dialog.
    explicit TForm4(TDialogsHost& host, QWidget* parent = nullptr);
    ~TForm4() override;

    // Edit mode: the site's name when the dialog opened, the key OK finds its row by.
    std::string OldName;

    // ---- components ----
    QLineEdit* Edit5;  // "Name"
    QTabWidget* PageControl1;
    QWidget* TabSheet1;       // "Login Information"
    QLineEdit* Edit1;         // "FTP Address"
    ui::IntegerEdit* Edit2;   // "Port"
    QLineEdit* Edit3;         // "UserName"
    QLineEdit* Edit4;         // "PassWord"
    QCheckBox* CheckBox1;     // "View Password"
    QPlainTextEdit* Memo1;    // "Comment"
    QLineEdit* Edit6;         // "Default FTP path"
    QWidget* TabSheet2;       // "Advance Option"
    QComboBox* ComboBox1;     // "Proxy"
    QPushButton* Button3;     // "Option..." beside the proxy list
    QComboBox* ComboBox2;     // "Socks"
    QPushButton* Button4;     // "Option..." beside the SOCKS list
    QCheckBox* CheckBox2;     // "Use passive transffer(PASV)"
    QCheckBox* CheckBox3;     // "Auto-refresh"
    ui::SpinEdit* SpinEdit1;  // "Timeout", 0 to 99999 seconds
    ui::SpinEdit* SpinEdit2;  // "Number of retries", no bounds
    ui::SpinEdit* SpinEdit3;  // "Retry Delay", 1 to 9999 seconds
    QCheckBox* CheckBox4;     // hidden: "Create new connection when uploading/downloading"
    QLabel* Label12;          // hidden: "Max simultaneous jobs"
    ui::SpinEdit* SpinEdit4;  // hidden, 1 to 10
    QPushButton* Button5;     // "&Help"
    QPushButton* Button1;     // "&OK"
    QPushButton* Button2;     // "&Cancel"

    // Add mode: the caption is "New FTP Site".
    bool AddMode() const;

    // What the controls hold, as a row is written ("None" for a list without selection).
    dialogs::SiteSettings Values() const;
    // Presets every control from a row; each list selects its first entry equal to the row's
    // proxy (SOCKS) name and keeps its selection when none is.
    void ShowValues(const dialogs::SiteSettings& site);

    // The proxy list (ComboBox1) or the SOCKS list (ComboBox2).
    QComboBox& EntryList(dialogs::EntryKind kind) const;
    // What the options dialog and the entry dialogs do to those lists: append a name, put a
    // new name in place of the first entry with the old one, delete the last entry with a
    // name. The built-in "None" at the head of a list is never replaced or deleted.
    void AppendEntry(dialogs::EntryKind kind, const std::string& name);
    void RenameEntry(dialogs::EntryKind kind, const std::string& oldName,
                     const std::string& newName);
    void RemoveEntry(dialogs::EntryKind kind, const std::string& name);

    // ---- handlers ----
    void FormShow();
    void FillProxySocksLists();
    void CheckBox1Click();
    void Button3Click();
    void Button4Click();
    void CheckBox4Click();
    void Button5Click();
    void Button1Click();

  protected:
    void FirstShown() override;

  private:
    void BuildLoginPage();
    void BuildAdvancePage();
    void OpenOptions(int page);
    void Refuse(const std::string& message, QWidget& focus, bool loginPage);

    TDialogsHost& host_;
};

// The open site dialog, null while there is none.
extern TForm4* Form4;
