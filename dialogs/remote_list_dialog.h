#pragma once
// What the filter (TForm6) and find (TForm3) dialogs share: a tool window with a label over
// the combo box `ComboBox1` (free text and the input history of a list file), room below it
// for the dialog's own controls, and at the right the default button `Button2`, "&Close"
// (`Button1`, also Escape and the close box: modal result 2) and "Clear history" (`Button3`:
// empties the history and rewrites its file; the dialog stays open). The history is loaded
// when the dialog is first shown. Both act on the main window's active page, asked from the
// dialogs' host when the default button is pressed.
//
// Handlers run under the handler guard.
#include <memory>
#include <string>

#include "platform/ui/modal_dialog.h"

class QComboBox;
class QLabel;
class QPushButton;
class QVBoxLayout;
class TDialogsHost;
class Tfb;

namespace dialogs {

class THistoryCombo;

class TRemoteListDialog : public ui::ModalDialog {
    Q_OBJECT

  public:
    ~TRemoteListDialog() override;

    QLabel* Label1;
    QComboBox* ComboBox1;
    QPushButton* Button2;  // the dialog's action, the default button
    QPushButton* Button1;  // "&Close"
    QPushButton* Button3;  // "Clear history"

    // ---- handlers ----
    void FormShow();
    void Button1Click();
    void Button3Click();
    virtual void Button2Click() = 0;

  protected:
    // `host` must outlive the dialog; `historyPath` is its history file.
    TRemoteListDialog(TDialogsHost& host, std::string historyPath, const char* objectName,
                      const char* caption, const char* label, const char* actionCaption,
                      QWidget* parent);

    // Where a dialog adds its own controls, below the combo box.
    QVBoxLayout& Fields() { return *fields_; }
    THistoryCombo& History() { return *history_; }
    // The text typed or chosen in the combo box.
    std::string Text() const;
    // The main window's active page; null when there is none.
    Tfb* ActivePage() const;

    void FirstShown() override;

  private:
    TDialogsHost& host_;
    std::unique_ptr<THistoryCombo> history_;
    QVBoxLayout* fields_;
};

}  // namespace dialogs
