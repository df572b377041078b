#include "dialogs/entry_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/dialog_widgets.h"
#include "dialogs/field_limits.h"
#include "dialogs/options_dialog.h"
#include "dialogs/site_dialog.h"
#include "platform/ui/handler_guard.h"
#include "platform/ui/integer_edit.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/qt_text.h"
#include "platform/ui/ui_services.h"
#include "shared/tdm.h"

namespace {

using dialogs::Named;
using dialogs::OkCancelRow;

vesk::TVeskTable& TableOf(dialogs::EntryKind kind) {
    return kind == dialogs::EntryKind::kProxy ? *dm->Tproxy : *dm->Tsocks;
}

}  // namespace

TEntryDialog::TEntryDialog(const dialogs::EntryDesign& design, QWidget* parent)
    : ui::ModalDialog(parent), design_(design) {
    setObjectName(QString::fromLatin1(design.formName));
    setWindowTitle(QString::fromLatin1(design.designCaption));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    auto* column = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    nameEdit_ = Named(new QLineEdit(this), design.nameEdit);
    addressEdit_ = Named(new QLineEdit(this), design.addressEdit);
    portEdit_ = Named(new ui::IntegerEdit(this), design.portEdit);
    portEdit_->SetValue(design.designPort);
    typeList_ = Named(new QComboBox(this), design.typeList);
    typeList_->addItems(design.types);
    typeList_->setCurrentIndex(design.designType);
    int row = 0;
    grid->addWidget(dialogs::LabelFor(this, "Name", nameEdit_), row, 0);
    grid->addWidget(nameEdit_, row++, 1);
    grid->addWidget(dialogs::LabelFor(this, design.addressLabel, addressEdit_), row, 0);
    grid->addWidget(addressEdit_, row++, 1);
    grid->addWidget(dialogs::LabelFor(this, design.portLabel, portEdit_), row, 0);
    grid->addWidget(portEdit_, row++, 1);
    grid->addWidget(dialogs::LabelFor(this, design.typeLabel, typeList_), row, 0);
    grid->addWidget(typeList_, row++, 1);
    column->addLayout(grid);

    // The group's title is the "Login" box.
    auto* group = new QGroupBox(this);
    auto* login = new QGridLayout(group);
    CheckBox1 = Named(new QCheckBox(QStringLiteral("Login"), group), "CheckBox1");
    Edit2 = Named(new QLineEdit(group), "Edit2");
    Edit3 = Named(new QLineEdit(group), "Edit3");
    login->addWidget(CheckBox1, 0, 0, 1, 2);
    login->addWidget(dialogs::LabelFor(group, "Username", Edit2), 1, 0);
    login->addWidget(Edit2, 1, 1);
    login->addWidget(dialogs::LabelFor(group, "Password", Edit3), 2, 0);
    login->addWidget(Edit3, 2, 1);
    column->addWidget(group);

    column->addLayout(OkCancelRow(this, Button1, Button2));
    column->setSizeConstraint(QLayout::SetFixedSize);  // a fixed border

    connect(CheckBox1, &QCheckBox::toggled, this, ui::Guarded([this] { CheckBox1Click(); }));
    connect(Button1, &QPushButton::clicked, this, ui::Guarded([this] { Button1Click(); }));
    SetButtonModalResult(Button2, ui::mrCancel);
    CheckBox1Click();
    const dialogs::EntryColumns& columns = dialogs::ColumnsOf(design.kind);
    dialogs::LimitToFields(TableOf(design.kind), {{nameEdit_, columns.name},
                                                  {addressEdit_, columns.address},
                                                  {Edit2, columns.user},
                                                  {Edit3, columns.password}});
    nameEdit_->setFocus();
}

TEntryDialog::~TEntryDialog() = default;

bool TEntryDialog::AddMode() const {
    return windowTitle() == QString::fromLatin1(design_.addCaption);
}

dialogs::EntryValues TEntryDialog::Values() const {
    dialogs::EntryValues entry;
    entry.name = ui::FromQt(nameEdit_->text());
    entry.address = ui::FromQt(addressEdit_->text());
    entry.port = portEdit_->Value();
    entry.login = CheckBox1->isChecked();
    entry.user = ui::FromQt(Edit2->text());
    entry.password = ui::FromQt(Edit3->text());
    entry.type = typeList_->currentIndex();
    entry.typeName = entry.type < 0 ? std::string() : ui::FromQt(typeList_->currentText());
    return entry;
}

void TEntryDialog::ShowValues(const dialogs::EntryValues& entry) {
    nameEdit_->setText(ui::ToQt(entry.name));
    addressEdit_->setText(ui::ToQt(entry.address));
    portEdit_->SetValue(entry.port);
    CheckBox1->setChecked(entry.login);
    Edit2->setText(ui::ToQt(entry.user));
    Edit3->setText(ui::ToQt(entry.password));
    // An index outside the list selects nothing, as -1 does.
    typeList_->setCurrentIndex(entry.type >= 0 && entry.type < typeList_->count() ? entry.type
                                                                                  : -1);
}

void TEntryDialog::CheckBox1Click() {
    const bool on = CheckBox1->isChecked();
    for (QLineEdit* edit : {Edit2, Edit3}) {
        edit->setEnabled(on);
        QPalette colours = edit->palette();
        colours.setColor(QPalette::Base,
                         on ? palette().color(QPalette::Base) : QColor(192, 192, 192));
        edit->setPalette(colours);
    }
}

void TEntryDialog::Refuse(const std::string& message, QLineEdit& focus) {
    ui::MessageDlg(message, ui::MessageKind::kWarning, ui::mbOK);
    focus.setFocus();
}

void TEntryDialog::Button1Click() {
    const dialogs::EntryValues entry = Values();
    if (entry.name.empty())
        return Refuse("Please enter the name.", *nameEdit_);
    if (entry.address.empty())
        return Refuse(design_.emptyAddressMessage, *addressEdit_);
    dialogs::EntryTable table(TableOf(design_.kind), dialogs::ColumnsOf(design_.kind));
    const bool add = AddMode();
    const dialogs::EntryWrite outcome = add ? table.Add(entry) : table.Update(OldName, entry);
    if (outcome == dialogs::EntryWrite::kNameTaken)
        return Refuse("The name " + entry.name + " was existed, please re-enter.", *nameEdit_);
    if (outcome == dialogs::EntryWrite::kWritten) {
        const dialogs::EntryRow row{entry.name, entry.address, entry.typeName};
        if (add) {
            if (Form2 != nullptr)
                Form2->AppendEntryRow(design_.kind, row);
            if (Form4 != nullptr)
                Form4->AppendEntry(design_.kind, entry.name);
        } else {
            if (Form2 != nullptr)
                Form2->ChangeSelectedEntryRow(design_.kind, row);
            if (Form4 != nullptr)
                Form4->RenameEntry(design_.kind, OldName, entry.name);
        }
    }
    SetModalResult(ui::mrOk);
}
