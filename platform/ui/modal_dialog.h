#pragma once
// The base of the program's modal dialogs: exec() returns the modal result numbers of
// modal_result.h. Closing the window, Escape and reject() give mrCancel (not Qt's 0); setting
// a modal result closes the dialog with it, and a button can carry one.
#include <QDialog>

class QAbstractButton;

namespace ui {

class ModalDialog : public QDialog {
    Q_OBJECT

  public:
    explicit ModalDialog(QWidget* parent = nullptr);

    // Closes the dialog with `result`; mrNone leaves it open.
    void SetModalResult(int result);
    // The result the dialog was closed with (mrNone while it has not been).
    int ModalResult() const { return result(); }

    // Makes a click of `button` close the dialog with `result` (after the button's other
    // click handlers, as connections run in order).
    void SetButtonModalResult(QAbstractButton* button, int result);

    void reject() override;

  protected:
    // Runs once, under the handler guard, when the dialog is first shown; a dialog shown again
    // does not run it again. The default does nothing.
    virtual void FirstShown() {}
    void showEvent(QShowEvent* event) override;

  private:
    bool shown_ = false;
};

}  // namespace ui
