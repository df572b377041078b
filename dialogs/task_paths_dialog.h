#pragma once
// The task paths dialog "Edit": changes, for the file rows selected in the task dialog, the
// local folder of a download task (ComboEdit1, with a folder button that opens the folder
// browser) or the remote folder of an upload task (Edit1). The opener presets it from the first
// selected row; Apply (enabled while the remote path is not empty) hands the texts to OnApply
// and closes with OK; Cancel and the close box change nothing.
//
// The global `Form14` names the dialog while it exists.
#include <functional>
#include <string>

#include "platform/ui/modal_dialog.h"

class QLineEdit;
class QPushButton;
class QToolButton;

class TForm14 : public ui::ModalDialog {
    Q_OBJECT

  public:
    explicit TForm14(QWidget* parent = nullptr);
    ~TForm14() override;

    QLineEdit* ComboEdit1;          // "Local :"
    QToolButton* ComboEdit1Button;  // the folder button of ComboEdit1
    QLineEdit* Edit1;               // "Ftp path", "/" at creation
    QPushButton* Button2;           // "&Apply"
    QPushButton* Button1;           // "&Cancel"

    // A download task: the local folder can be changed, the remote path not. An upload task:
    // `local` is the item's full local path and only the remote path can be changed.
    void Preset(bool download, const std::string& local, const std::string& remote);

    // Runs on Apply with the local folder and the remote path as they stand.
    std::function<void(const std::string& local, const std::string& remote)> OnApply;

    // Shows the dialog centred on `window` (which must outlive it) instead of on its parent.
    void CentreOn(QWidget* window) { centreOn_ = window; }

    void Edit1Change();
    void ComboEdit1ButtonClick();
    void Button2Click();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QWidget* centreOn_ = nullptr;
};

// The task paths dialog while it exists, else nullptr.
extern TForm14* Form14;
