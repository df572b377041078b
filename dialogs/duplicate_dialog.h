#pragma once
// TForm9, the duplicate-file dialog ("Duplicate file found"): the question a page's queue run
// asks when a queued file or folder already exists on the target side. The page presets both
// sides (Preset) and reads the answer from the modal result:
//   "Overwrite" 6, "Skip" 7, "Resume" 4 (enabled only when offered), "&Cancel" and the close
//   box 2, "Rename" 1 once a new name is accepted (left in the asking page's FRenameTo),
//   "Overwrite all" 6 and "Skip all" 7 (they also switch the asking page's question off with
//   the standing answer 6 or 7), and "&OK" by the choice group: Overwrite 6, Skip 7, Append 5
//   (folders only), Rename 1 with the name typed into Edit1.
// A rename target is refused, with a message and the dialog left open, when an item of that
// name exists on the target side (the remote folder for an upload, the local item's folder for
// a download; "", "." and ".." always exist) or when the asking page's name check refuses it.
//
// The dialog writes into the asking page's answers (TDuplicateAnswers) and nowhere else.
// Life: one at a time, in the global `Form9` from creation to destruction. Handlers run under
// the handler guard: an error of the remote look-up ends the click with the dialog open and
// reaches the application error handler.
#include <string>

#include "connection/duplicate_presets.h"
#include "platform/ui/modal_dialog.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;
class TDuplicateAsker;

class TForm9 : public ui::ModalDialog {
    Q_OBJECT

  public:
    // `asker` is the page that asks; it must outlive the dialog.
    explicit TForm9(TDuplicateAsker& asker, QWidget* parent = nullptr);
    ~TForm9() override;

    // Full local path of the clashing item; a local rename target is looked for in its folder.
    std::string LocalFilePath;

    QLabel* Label16;  // upper heading
    QLabel* Image1;   // upper file picture
    QLabel* Image3;   // upper folder picture
    QLabel* Label1;   // upper name (bold)
    QLabel* Label4;   // upper size
    QLabel* Label6;   // upper modified
    QLabel* Label8;   // upper type
    QLabel* Label9;   // lower heading
    QLabel* Image2;   // lower file picture
    QLabel* Image4;   // lower folder picture
    QLabel* Label2;   // lower name (bold)
    QLabel* Label11;  // lower size
    QLabel* Label13;  // lower modified
    QLabel* Label15;  // lower type

    QPushButton* Button3;  // "Overwrite"
    QPushButton* Button6;  // "Skip"
    QPushButton* Button8;  // "Rename"
    QPushButton* Button9;  // "Resume"
    QPushButton* Button5;  // "Overwrite all"
    QPushButton* Button7;  // "Skip all"
    QPushButton* Button2;  // "&Cancel"
    QPushButton* Button1;  // "&Help"

    // The choice group and its OK.
    QRadioButton* RadioButton1;  // "O&verwrite"
    QRadioButton* RadioButton3;  // "&Skip"
    QRadioButton* CheckBox1;     // "Rename"
    QRadioButton* RadioButton2;  // "Append if the file not exists , else do nothing ."
    QRadioButton* RadioButton4;  // "Resume the download operation . " (hidden)
    QLineEdit* Edit1;            // the new name
    QPushButton* Button4;        // "&OK"

    // Shows one clash: both blocks, the pictures, the local path and the Resume offer.
    void Preset(const TDuplicatePresets& presets);

    // ---- handlers ----
    void FormShow();
    void CheckBox1Click();  // the four visible choices
    void Button3Click();
    void Button6Click();
    void Button9Click();
    void Button2Click();
    void Button5Click();
    void Button7Click();
    void Button8Click();
    void Button4Click();

  protected:
    void FirstShown() override;

  private:
    // True when `name` is taken on the target side (with its message box).
    bool TargetExists(const std::string& name);
    // Hands `name` to the asking page and closes with 1.
    void AcceptRename(const std::string& name);

    TDuplicateAsker& asker_;
    bool download_ = false;
    std::string clashName_;  // the clashing item's name, as the page gave its bytes
};

// The open duplicate-file dialog, null while there is none.
extern TForm9* Form9;
