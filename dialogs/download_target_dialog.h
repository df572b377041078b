#pragma once
// TForm10, the download target dialog ("Download"): asks for the local folder into which the
// selected entries of a page's remote list are downloaded. OK creates the folder level by level
// when needed, queues one download entry per selected row on that page (rows already queued for
// the same target are passed over), remembers the folder in the history file "Downloads.dat"
// and closes with modal result 1; the page then runs its queue. Cancel and the close box give 2
// and queue nothing. Empty folder text, a bad character in the single entry's name and a folder
// that cannot be made are reported by error boxes and keep the dialog open.
//
// A name from the server becomes part of a local path only when it is a plain name
// (ftp::IsSafeLocalName); another row is refused with a line in the page's log.
//
// Life: one at a time, in the global `Form10` from creation to destruction; the page's dialogs
// create it, preset it from the page (PresetFromPage), show it modally and free it.
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/modal_dialog.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class Tfb;
namespace dialogs {
class THistoryCombo;
}

class TForm10 : public ui::ModalDialog {
    Q_OBJECT

  public:
    // `page` is the page whose command opened the dialog; it must outlive the dialog.
    // `historyPath` is the history file ("Downloads.dat" of the program's folder).
    TForm10(Tfb& page, std::string historyPath, QWidget* parent = nullptr);
    ~TForm10() override;

    QComboBox* ComboBox1;       // "Download to :"
    QToolButton* SpeedButton1;  // the folder browser
    QPushButton* Button2;       // "&OK"
    QPushButton* Button1;       // "&Cancel"
    QPushButton* Button3;       // "Clear history"
    QLabel* Image1;             // the file picture
    QLabel* Image3;             // the folder picture
    QLabel* Label2;             // the entry's name, or the counts of a selection (bold)
    QLabel* Label4;             // size
    QLabel* Label6;             // modified
    QLabel* Label8;             // type
    QLineEdit* Edit1;           // the single entry's name (never shown)

    // The information box from the page's selection: one row (its name, size, date and type,
    // and its picture) or several (the counts of folders and files, both pictures).
    void PresetFromPage();

    // ---- handlers ----
    void FormShow();
    void ComboBox1Change();
    void SpeedButton1Click();
    void Button3Click();
    void Button2Click();

    // False, with an error box, when `text` holds one of \ * ? " < > | (a folder path: "/"
    // separates its folders).
    static bool CheckPathChars(const std::string& text);
    // False, with an error box, when `name` holds one of \ / : * ? " < > |.
    static bool CheckFileName(const std::string& name);
    // Creates the missing folders of the absolute path `text`, level by level from the root;
    // true when all of them exist afterwards. An empty text gives true and does nothing; a
    // relative one gives false.
    static bool CreateTargetFolders(const std::string& text);

    void LoadDownloadHistory();
    void SaveDownloadHistory();

  protected:
    void FirstShown() override;

  private:
    void QueueSelection(const std::string& folder);

    Tfb& page_;
    std::unique_ptr<dialogs::THistoryCombo> history_;
};

// The open download target dialog, null while there is none.
extern TForm10* Form10;
