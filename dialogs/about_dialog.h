#pragma once
// TForm16, the About box ("About"): the product's name, edition and version, four links (home
// page, product page, FAQ page, contact mail) and the version history. It opens on its "Info"
// page. Each link label shows its address in blue with a hand cursor; a click asks the shell
// to open it (the mail link a new message with an empty subject); the dialog stays open, and
// when the desktop has no program for the address an error box names it. "&OK" closes it
// with modal result 1.
//
// Life: one at a time, in the global `Form16` from creation to destruction; the banner's
// "About" creates it, shows it modally and frees it when it has closed.
#include "platform/ui/modal_dialog.h"

class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

class TForm16 : public ui::ModalDialog {
    Q_OBJECT

  public:
    explicit TForm16(QWidget* parent = nullptr);
    ~TForm16() override;

    QFrame* Panel1;  // the picture's lowered panel
    QLabel* Image2;
    QTabWidget* PageControl1;
    QWidget* TabSheet1;     // "Info"
    QWidget* TabSheet2;     // "Version history"
    QLabel* Label2;         // the maker's name
    QLabel* Label3;         // the product name's shadow
    QLabel* Label4;         // the product name over it
    QLabel* Label6;         // "FREE Edition"
    QLabel* Label1;         // "Version : 1.2 (Builder 1.279)"
    QLabel* Label7;         // "Homepage"
    QLabel* Label5;         // the home page's address
    QLabel* Label9;         // "Product Page"
    QLabel* Label8;         // the product page's address
    QLabel* Label11;        // "FAQ Page "
    QLabel* Label10;        // the FAQ page's address
    QLabel* Label13;        // "Bug report and support"
    QLabel* Label12;        // the contact mail address
    QPlainTextEdit* Memo1;  // the version history
    QPushButton* Button1;   // "&OK"

    // ---- handlers ----
    void Label5Click();
    void Label8Click();
    void Label10Click();
    void Label12Click();
};

// The open About box, null while there is none.
extern TForm16* Form16;
