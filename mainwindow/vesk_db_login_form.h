#pragma once
// The database engine's password prompt, "Database Login": asked when a database file is
// enciphered and no known password opens it.
//
// The form is built in code (no form description), 281 x 154 client pixels, centred on the
// screen, the system's message font. It is shown modally and freed when it closes.
#include <string>

#include "platform/ui/modal_dialog.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

class TVeskDBLoginForm : public ui::ModalDialog {
    Q_OBJECT

  public:
    // fileName is shown read-only in DatabaseEdit; the dialog is owned by `parent`.
    explicit TVeskDBLoginForm(const std::string& fileName, QWidget* parent = nullptr);

    QFrame* BackPanel;
    QLabel* DatabaseLabel;
    QLabel* PasswordLabel;
    QLineEdit* DatabaseEdit;
    QLineEdit* PasswordEdit;
    QPushButton* OkButton;
    QPushButton* CancelButton;
};

// Shows the dialog for fileName. OK: true with the typed text in password; Cancel: false and
// password unchanged. Needs the application object; never throws.
bool VeskLoginDialog(const std::string& fileName, std::string& password);

// Makes VeskLoginDialog the engine's password prompt for the rest of the program's run.
void InstallVeskLoginPrompt();
