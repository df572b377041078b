#include "platform/ui/modal_dialog.h"

#include <QAbstractButton>

#include "platform/ui/handler_guard.h"
#include "platform/ui/modal_result.h"

namespace ui {

ModalDialog::ModalDialog(QWidget* parent) : QDialog(parent) {}

void ModalDialog::SetModalResult(int result) {
    if (result != mrNone)
        done(result);
}

void ModalDialog::SetButtonModalResult(QAbstractButton* button, int result) {
    connect(button, &QAbstractButton::clicked, this,
            Guarded([this, result] { SetModalResult(result); }));
}

void ModalDialog::reject() {
    done(mrCancel);
}

void ModalDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    RunGuarded([this] { FirstShown(); });
}

}  // namespace ui
