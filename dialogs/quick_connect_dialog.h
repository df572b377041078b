#pragma once
// TForm15, the quick-connect dialog: connects to a server that is not stored as a site. Connect
// has the main window open (or show again) the page captioned with the server text and hands
// it the server, port, user, password and passive mode from this dialog's controls, while the
// dialog is still open; then it remembers the server in `quickftp` (QuickHistory), whether or
// not the connection succeeded, and closes. The server box offers the remembered servers and
// fills the other controls from one when its text equals it. "Save ftp site" hands the typed
// values to a new-site dialog (TForm4).
//
// Life: one at a time, in the global `Form15` from creation to destruction; the caller shows
// it modally and frees it when it has closed. Handlers run under the handler guard: an error
// (a table error, or one raised while the page is opened, which comes before the server is
// remembered) ends the handler with the dialog open and reaches the application error handler.
#include "dialogs/quick_history.h"
#include "platform/ui/modal_dialog.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QToolButton;
class TDialogsHost;

namespace ui {
class IntegerEdit;
}

class TForm15 : public ui::ModalDialog {
    Q_OBJECT

  public:
    // `host` must outlive the dialog.
    explicit TForm15(TDialogsHost& host, QWidget* parent = nullptr);
    ~TForm15() override;

    QComboBox* ComboBox1;       // "Ftp server", editable
    QToolButton* SpeedButton1;  // "Save ftp site"
    ui::IntegerEdit* Edit2;     // "Port"
    QLineEdit* Edit1;           // "Username"
    QLineEdit* Edit3;           // "Password", shown as typed
    QCheckBox* CheckBox1;       // "Use passive transfer(PASV)"
    QPushButton* Button1;       // "Clear &history"
    QPushButton* Button3;       // "C&onnect"
    QPushButton* Button2;       // "&Cancel"

    // What the controls hold, as Connect remembers it.
    dialogs::QuickServer Values() const;

    // ---- handlers ----
    void FormShow();
    void LoadQuickHistory();
    void ComboBox1Change();
    void Button3Click();
    void SaveQuickHistory();
    void Button1Click();
    void SpeedButton1Click();

  protected:
    void FirstShown() override;

  private:
    TDialogsHost& host_;
};

// The open quick-connect dialog, null while there is none.
extern TForm15* Form15;
