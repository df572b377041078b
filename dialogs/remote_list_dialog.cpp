#include "dialogs/remote_list_dialog.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/dialog_widgets.h"
#include "dialogs/dialogs_host.h"
#include "dialogs/history_combo.h"
#include "platform/ui/control_sizes.h"
#include "platform/ui/handler_guard.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/qt_text.h"
#include "platform/ui/typed_text_combo.h"

namespace dialogs {

namespace {

constexpr int kComboWidth = 220;  // the box's width at a font of 6 pixels a character

}  // namespace

TRemoteListDialog::TRemoteListDialog(TDialogsHost& host, std::string historyPath,
                                     const char* objectName, const char* caption, const char* label,
                                     const char* actionCaption, QWidget* parent)
    : ui::ModalDialog(parent), host_(host) {
    setObjectName(QString::fromLatin1(objectName));
    setWindowTitle(QString::fromLatin1(caption));
    // A tool window: a title and the close box, no minimise or maximise, a fixed size.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    auto* row = new QHBoxLayout(this);
    fields_ = new QVBoxLayout;
    Label1 = Named(new QLabel(QString::fromLatin1(label), this), "Label1");
    ComboBox1 = Named(new QComboBox(this), "ComboBox1");
    ui::KeepTypedText(*ComboBox1);
    ComboBox1->setMinimumWidth(ui::ScaledWidth(*ComboBox1, kComboWidth));
    Label1->setBuddy(ComboBox1);
    history_ = std::make_unique<THistoryCombo>(*ComboBox1, std::move(historyPath));
    fields_->addWidget(Label1);
    fields_->addWidget(ComboBox1);
    row->addLayout(fields_, 1);
    row->setAlignment(fields_, Qt::AlignTop);

    auto* buttons = new QVBoxLayout;
    Button2 = MakeButton(this, "Button2", actionCaption);
    Button1 = MakeButton(this, "Button1", "&Close");
    Button3 = MakeButton(this, "Button3", "Clear history");
    Button2->setDefault(true);
    buttons->addWidget(Button2);
    buttons->addWidget(Button1);
    buttons->addWidget(Button3);
    buttons->addStretch(1);
    row->addLayout(buttons);
    row->setSizeConstraint(QLayout::SetFixedSize);

    connect(Button2, &QPushButton::clicked, this, ui::Guarded([this] { Button2Click(); }));
    connect(Button1, &QPushButton::clicked, this, ui::Guarded([this] { Button1Click(); }));
    connect(Button3, &QPushButton::clicked, this, ui::Guarded([this] { Button3Click(); }));
}

TRemoteListDialog::~TRemoteListDialog() = default;

void TRemoteListDialog::FirstShown() {
    FormShow();
}

void TRemoteListDialog::FormShow() {
    history_->Load();
    ComboBox1->setFocus();
}

void TRemoteListDialog::Button1Click() {
    SetModalResult(ui::mrCancel);
}

void TRemoteListDialog::Button3Click() {
    history_->Clear();
}

std::string TRemoteListDialog::Text() const {
    return ui::FromQt(ComboBox1->currentText());
}

Tfb* TRemoteListDialog::ActivePage() const {
    return host_.ActivePage();
}

}  // namespace dialogs
