#include "platform/ui/input_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/ui/byte_limit.h"
#include "platform/ui/control_sizes.h"
#include "platform/ui/modal_result.h"

namespace ui {

InputDialog::InputDialog(const QString& caption, const QString& prompt, const QString& text,
                         QWidget* parent, std::size_t maxBytes)
    : ModalDialog(parent), prompt_(new QLabel(prompt, this)), edit_(new QLineEdit(text, this)) {
    setWindowTitle(caption);
    prompt_->setObjectName("Prompt");
    prompt_->setTextFormat(Qt::PlainText);
    edit_->setObjectName("Value");
    if (maxBytes != kNoByteLimit)
        LimitUtf8Bytes(*edit_, maxBytes);
    edit_->selectAll();

    auto* ok = new QPushButton(tr("OK"), this);
    ok->setObjectName("OkButton");
    ok->setDefault(true);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    cancel->setObjectName("CancelButton");
    SetButtonModalResult(ok, mrOk);
    SetButtonModalResult(cancel, mrCancel);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt_);
    layout->addWidget(edit_);
    layout->addLayout(buttons);
    setMinimumWidth(ScaledWidth(*this, 320));
}

QString InputDialog::Text() const {
    return edit_->text();
}

}  // namespace ui
