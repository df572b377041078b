#include "dialogs/quick_connect_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "dialogs/dialog_widgets.h"
#include "dialogs/dialogs_host.h"
#include "dialogs/field_limits.h"
#include "dialogs/site_dialog.h"
#include "platform/ui/handler_guard.h"
#include "platform/ui/integer_edit.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/qt_text.h"
#include "platform/ui/tool_buttons.h"
#include "platform/ui/typed_text_combo.h"
#include "shared/tdm.h"

TForm15* Form15 = nullptr;

namespace {

using dialogs::Named;

}  // namespace

TForm15::TForm15(TDialogsHost& host, QWidget* parent) : ui::ModalDialog(parent), host_(host) {
    setObjectName(QStringLiteral("Form15"));
    setWindowTitle(QStringLiteral("Quick connect"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    auto* column = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    ComboBox1 = Named(new QComboBox(this), "ComboBox1");
    ui::KeepTypedText(*ComboBox1);
    SpeedButton1 = Named(new QToolButton(this), "SpeedButton1");
    ui::SetHint(*SpeedButton1, QStringLiteral("Save ftp site"));
    SpeedButton1->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    Edit2 = Named(new ui::IntegerEdit(this), "Edit2");
    Edit2->setAlignment(Qt::AlignRight);
    Edit2->SetValue(21);
    Edit1 = Named(new QLineEdit(this), "Edit1");
    Edit3 = Named(new QLineEdit(this), "Edit3");
    CheckBox1 =
        Named(new QCheckBox(QStringLiteral("Use passive transfer(PASV)"), this), "CheckBox1");
    CheckBox1->setChecked(true);
    grid->addWidget(dialogs::LabelFor(this, "Ftp server", ComboBox1), 0, 0);
    grid->addWidget(ComboBox1, 0, 1);
    grid->addWidget(SpeedButton1, 0, 2);
    grid->addWidget(dialogs::LabelFor(this, "Port", Edit2), 1, 0);
    grid->addWidget(Edit2, 1, 1);
    grid->addWidget(dialogs::LabelFor(this, "Username", Edit1), 2, 0);
    grid->addWidget(Edit1, 2, 1);
    grid->addWidget(dialogs::LabelFor(this, "Password", Edit3), 3, 0);
    grid->addWidget(Edit3, 3, 1);
    grid->addWidget(CheckBox1, 4, 0, 1, 3);
    column->addLayout(grid);
    auto* buttons = new QHBoxLayout;
    Button1 = Named(new QPushButton(QStringLiteral("Clear &history"), this), "Button1");
    Button3 = Named(new QPushButton(QStringLiteral("C&onnect"), this), "Button3");
    Button2 = Named(new QPushButton(QStringLiteral("&Cancel"), this), "Button2");
    Button3->setDefault(true);
    buttons->addWidget(Button1);
    buttons->addStretch(1);
    buttons->addWidget(Button3);
    buttons->addWidget(Button2);
    column->addLayout(buttons);
    column->setSizeConstraint(QLayout::SetFixedSize);  // a fixed border

    // Every change of the server text, typed or picked.
    connect(ComboBox1, &QComboBox::editTextChanged, this,
            ui::Guarded([this] { ComboBox1Change(); }));
    connect(Button3, &QPushButton::clicked, this, ui::Guarded([this] { Button3Click(); }));
    connect(Button1, &QPushButton::clicked, this, ui::Guarded([this] { Button1Click(); }));
    connect(SpeedButton1, &QToolButton::clicked, this,
            ui::Guarded([this] { SpeedButton1Click(); }));
    SetButtonModalResult(Button2, ui::mrCancel);
    dialogs::LimitToFields(*dm->Tquick,
                           {{ComboBox1->lineEdit(), "ftp"}, {Edit1, "user"}, {Edit3, "pass"}});
    ComboBox1->setFocus();
    Form15 = this;
}

TForm15::~TForm15() {
    if (Form15 == this)
        Form15 = nullptr;
}

void TForm15::FirstShown() {
    FormShow();
}

void TForm15::FormShow() {
    LoadQuickHistory();
}

void TForm15::LoadQuickHistory() {
    const std::vector<std::string> servers = dialogs::QuickHistory(*dm->Tquick).Servers();
    // Filling the list changes no server text (an editable box would take its first entry).
    const QString text = ComboBox1->currentText();
    const QSignalBlocker quiet(ComboBox1);
    for (const std::string& server : servers)
        ComboBox1->addItem(ui::ToQt(server));
    ComboBox1->setCurrentIndex(-1);
    ComboBox1->setEditText(text);
}

dialogs::QuickServer TForm15::Values() const {
    return {ui::FromQt(ComboBox1->currentText()), Edit2->Value(), ui::FromQt(Edit1->text()),
            ui::FromQt(Edit3->text()), CheckBox1->isChecked()};
}

void TForm15::ComboBox1Change() {
    const std::optional<dialogs::QuickServer> server =
        dialogs::QuickHistory(*dm->Tquick).Find(ui::FromQt(ComboBox1->currentText()));
    if (!server)
        return;
    Edit1->setText(ui::ToQt(server->user));
    Edit3->setText(ui::ToQt(server->pass));
    Edit2->SetValue(server->port);
    CheckBox1->setChecked(server->pasv);
}

void TForm15::Button3Click() {
    const dialogs::QuickServer server = Values();
    host_.OpenQuickConnectPage(server.ftp, server.port, server.user, server.pass, server.pasv);
    SaveQuickHistory();
    SetModalResult(ui::mrOk);
}

void TForm15::SaveQuickHistory() {
    dialogs::QuickHistory(*dm->Tquick).Save(Values());
}

void TForm15::Button1Click() {
    dialogs::QuickHistory(*dm->Tquick).Clear();
    const QString text = ComboBox1->currentText();
    const QSignalBlocker quiet(ComboBox1);
    ComboBox1->clear();
    ComboBox1->setEditText(text);
}

void TForm15::SpeedButton1Click() {
    const dialogs::QuickServer server = Values();
    if (server.ftp.empty())
        return;
    TForm4 site(host_, this);
    site.Edit1->setText(ui::ToQt(server.ftp));
    site.Edit2->SetValue(server.port);
    site.Edit3->setText(ui::ToQt(server.user));
    site.Edit4->setText(ui::ToQt(server.pass));
    site.CheckBox2->setChecked(server.pasv);
    site.exec();
}
