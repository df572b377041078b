#include "dialogs/task_paths_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "dialogs/dialog_widgets.h"
#include "dialogs/field_limits.h"
#include "platform/ui/control_sizes.h"
#include "platform/ui/handler_guard.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/qt_text.h"
#include "platform/ui/tool_buttons.h"
#include "platform/ui/ui_services.h"
#include "shared/tdm.h"

TForm14* Form14 = nullptr;

namespace {

// A field that cannot be changed shows a silver background.
void Lock(QLineEdit& field) {
    field.setEnabled(false);
    QPalette palette = field.palette();
    palette.setColor(QPalette::Disabled, QPalette::Base, QColor(0xC0, 0xC0, 0xC0));
    field.setPalette(palette);
}

}  // namespace

TForm14::TForm14(QWidget* parent) : ui::ModalDialog(parent) {
    using dialogs::MakeButton;
    using dialogs::Named;
    setObjectName(QStringLiteral("Form14"));
    setWindowTitle(QStringLiteral("Edit"));
    setWindowFlags(Qt::Dialog | Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    auto* column = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    ComboEdit1 = Named(new QLineEdit(this), "ComboEdit1");
    ComboEdit1->setMinimumWidth(ui::ScaledWidth(*ComboEdit1, 300));
    ComboEdit1Button = Named(new QToolButton(this), "ComboEdit1Button");
    ComboEdit1Button->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    ui::SetHint(*ComboEdit1Button, QStringLiteral("Browse"));
    Edit1 = Named(new QLineEdit(QStringLiteral("/"), this), "Edit1");
    grid->addWidget(dialogs::LabelFor(this, "Local :", ComboEdit1), 0, 0);
    grid->addWidget(ComboEdit1, 0, 1);
    grid->addWidget(ComboEdit1Button, 0, 2);
    grid->addWidget(dialogs::LabelFor(this, "Ftp path", Edit1), 1, 0);
    grid->addWidget(Edit1, 1, 1, 1, 2);
    column->addLayout(grid);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    Button2 = MakeButton(this, "Button2", "&Apply");
    Button1 = MakeButton(this, "Button1", "&Cancel");
    Button2->setDefault(true);
    buttons->addWidget(Button2);
    buttons->addWidget(Button1);
    column->addLayout(buttons);
    column->setSizeConstraint(QLayout::SetFixedSize);

    connect(Edit1, &QLineEdit::textChanged, this, ui::Guarded([this] { Edit1Change(); }));
    connect(ComboEdit1Button, &QToolButton::clicked, this,
            ui::Guarded([this] { ComboEdit1ButtonClick(); }));
    connect(Button2, &QPushButton::clicked, this, ui::Guarded([this] { Button2Click(); }));
    SetButtonModalResult(Button1, ui::mrCancel);
    dialogs::LimitToFields(*dm->Ttaskd2, {{ComboEdit1, "local"}, {Edit1, "ftp"}});
    Form14 = this;
}

TForm14::~TForm14() {
    if (Form14 == this)
        Form14 = nullptr;
}

void TForm14::showEvent(QShowEvent* event) {
    ui::ModalDialog::showEvent(event);
    if (centreOn_ != nullptr && !event->spontaneous())
        adjustPosition(centreOn_);
}

void TForm14::Preset(bool download, const std::string& local, const std::string& remote) {
    ComboEdit1->setText(ui::ToQt(local));
    Edit1->setText(ui::ToQt(remote));
    if (download) {
        Lock(*Edit1);
    } else {
        Lock(*ComboEdit1);
        ComboEdit1Button->setEnabled(false);
    }
}

void TForm14::Edit1Change() {
    Button2->setEnabled(!Edit1->text().isEmpty());
}

void TForm14::ComboEdit1ButtonClick() {
    // The browser starts at the desktop's root, the home folder here.
    if (const auto folder = ui::BrowseForFolder("Browse for Folder", ""))
        ComboEdit1->setText(ui::ToQt(*folder));
}

void TForm14::Button2Click() {
    if (OnApply)
        OnApply(ui::FromQt(ComboEdit1->text()), ui::FromQt(Edit1->text()));
    SetModalResult(ui::mrOk);
}
