#include "dialogs/site_dialog.h"

#include <iterator>

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "dialogs/dialog_widgets.h"
#include "dialogs/dialogs_host.h"
#include "dialogs/field_limits.h"
#include "dialogs/options_dialog.h"
#include "platform/os/clock.h"
#include "platform/os/program_folder.h"
#include "platform/ui/handler_guard.h"
#include "platform/ui/help_service.h"
#include "platform/ui/integer_edit.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/qt_text.h"
#include "platform/ui/spin_edit.h"
#include "platform/ui/ui_services.h"
#include "shared/tdm.h"

TForm4* Form4 = nullptr;

namespace {

using dialogs::MakeButton;
using dialogs::Named;

constexpr const char* kAddCaption = "New FTP Site";
constexpr const char* kNone = "None";

QCheckBox* MakeCheckBox(QWidget* parent, const char* name, const char* caption, bool checked) {
    auto* box = Named(new QCheckBox(QString::fromLatin1(caption), parent), name);
    box->setChecked(checked);
    return box;
}

ui::SpinEdit* MakeSpinEdit(QWidget* parent, const char* name, int value) {
    auto* spin = Named(new ui::SpinEdit(parent), name);
    spin->SetValue(value);
    return spin;
}

// A label with `caption`; the label of `field` (its accessible name) when one is given.
QLabel* MakeLabel(QWidget* parent, const char* caption, QWidget* field = nullptr) {
    auto* label = new QLabel(QString::fromLatin1(caption), parent);
    label->setBuddy(field);
    return label;
}

// The entry named `name` from index 1 on (index 0 is the built-in "None"), first or last.
int FindEntry(const QComboBox& list, const std::string& name, bool last) {
    const QString text = ui::ToQt(name);
    if (last) {
        for (int index = list.count() - 1; index >= 1; --index) {
            if (list.itemText(index) == text)
                return index;
        }
        return -1;
    }
    for (int index = 1; index < list.count(); ++index) {
        if (list.itemText(index) == text)
            return index;
    }
    return -1;
}

}  // namespace

TForm4::TForm4(TDialogsHost& host, QWidget* parent) : ui::ModalDialog(parent), host_(host) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QString::fromLatin1(kAddCaption));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    auto* column = new QVBoxLayout(this);
    auto* nameRow = new QHBoxLayout;
    Edit5 = Named(new QLineEdit(this), "Edit5");
    nameRow->addWidget(MakeLabel(this, "Name", Edit5));
    nameRow->addWidget(Edit5, 1);
    column->addLayout(nameRow);

    PageControl1 = Named(new QTabWidget(this), "PageControl1");
    BuildLoginPage();
    BuildAdvancePage();
    column->addWidget(PageControl1, 1);

    auto* buttons = new QHBoxLayout;
    Button5 = MakeButton(this, "Button5", "&Help");
    Button1 = MakeButton(this, "Button1", "&OK");
    Button2 = MakeButton(this, "Button2", "&Cancel");
    Button1->setDefault(true);
    buttons->addWidget(Button5);
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    column->addLayout(buttons);
    setLayout(column);
    column->setSizeConstraint(QLayout::SetFixedSize);  // a fixed border

    connect(CheckBox1, &QCheckBox::toggled, this, ui::Guarded([this] { CheckBox1Click(); }));
    connect(CheckBox4, &QCheckBox::toggled, this, ui::Guarded([this] { CheckBox4Click(); }));
    connect(Button3, &QPushButton::clicked, this, ui::Guarded([this] { Button3Click(); }));
    connect(Button4, &QPushButton::clicked, this, ui::Guarded([this] { Button4Click(); }));
    connect(Button5, &QPushButton::clicked, this, ui::Guarded([this] { Button5Click(); }));
    connect(Button1, &QPushButton::clicked, this, ui::Guarded([this] { Button1Click(); }));
    SetButtonModalResult(Button2, ui::mrCancel);
    // The keyboard goes from the name through the login page's fields in their order.
    QWidget* order[] = {Edit5, Edit1, Edit2, Edit3, Edit4, CheckBox1, Memo1, Edit6};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    CheckBox1Click();
    CheckBox4Click();
    dialogs::LimitToFields(*dm->Tftpsite, {{Edit5, "name"},
                                           {Edit1, "address"},
                                           {Edit3, "username"},
                                           {Edit4, "password"},
                                           {Edit6, "defaultpath"}});
    Form4 = this;
}

TForm4::~TForm4() {
    if (Form4 == this)
        Form4 = nullptr;
}

void TForm4::BuildLoginPage() {
    const dialogs::SiteSettings initial;
    TabSheet1 = Named(new QWidget(PageControl1), "TabSheet1");
    auto* grid = new QGridLayout(TabSheet1);
    Edit1 = Named(new QLineEdit(TabSheet1), "Edit1");
    Edit2 = Named(new ui::IntegerEdit(TabSheet1), "Edit2");
    Edit2->SetValue(initial.port);
    Edit3 = Named(new QLineEdit(ui::ToQt(initial.username), TabSheet1), "Edit3");
    Edit4 = Named(new QLineEdit(ui::ToQt(initial.password), TabSheet1), "Edit4");
    // Hidden characters show as "*", whatever the style's own mask character.
    Edit4->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    CheckBox1 = MakeCheckBox(TabSheet1, "CheckBox1", "View Password", initial.vp);
    Memo1 = Named(new QPlainTextEdit(TabSheet1), "Memo1");
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setTabChangesFocus(true);
    Memo1->setPlainText(ui::ToQt(initial.comment));
    Edit6 = Named(new QLineEdit(TabSheet1), "Edit6");
    int row = 0;
    grid->addWidget(MakeLabel(TabSheet1, "FTP Address", Edit1), row, 0);
    grid->addWidget(Edit1, row, 1);
    grid->addWidget(MakeLabel(TabSheet1, "Port", Edit2), row, 2);
    grid->addWidget(Edit2, row++, 3);
    grid->addWidget(MakeLabel(TabSheet1, "UserName", Edit3), row, 0);
    grid->addWidget(Edit3, row++, 1, 1, 3);
    grid->addWidget(MakeLabel(TabSheet1, "PassWord", Edit4), row, 0);
    grid->addWidget(Edit4, row, 1);
    grid->addWidget(CheckBox1, row++, 2, 1, 2);
    grid->addWidget(MakeLabel(TabSheet1, "Comment", Memo1), row, 0, Qt::AlignTop);
    grid->addWidget(Memo1, row++, 1, 1, 3);
    grid->addWidget(MakeLabel(TabSheet1, "Default FTP path", Edit6), row, 0);
    grid->addWidget(Edit6, row++, 1, 1, 3);
    PageControl1->addTab(TabSheet1, QStringLiteral("Login Information"));
}

void TForm4::BuildAdvancePage() {
    const dialogs::SiteSettings initial;
    TabSheet2 = Named(new QWidget(PageControl1), "TabSheet2");
    auto* grid = new QGridLayout(TabSheet2);
    ComboBox1 = Named(new QComboBox(TabSheet2), "ComboBox1");
    ComboBox1->addItem(QString::fromLatin1(kNone));
    Button3 = MakeButton(TabSheet2, "Button3", "Option...");
    ComboBox2 = Named(new QComboBox(TabSheet2), "ComboBox2");
    ComboBox2->addItem(QString::fromLatin1(kNone));
    Button4 = MakeButton(TabSheet2, "Button4", "Option...");
    CheckBox2 = MakeCheckBox(TabSheet2, "CheckBox2", "Use passive transffer(PASV)", initial.pasv);
    CheckBox3 = MakeCheckBox(TabSheet2, "CheckBox3", "Auto-refresh", initial.autorefresh);
    SpinEdit1 = MakeSpinEdit(TabSheet2, "SpinEdit1", 0);
    SpinEdit1->SetBounds(0, 99999);
    SpinEdit1->SetValue(initial.timeout);
    SpinEdit2 = MakeSpinEdit(TabSheet2, "SpinEdit2", initial.nor);
    SpinEdit3 = MakeSpinEdit(TabSheet2, "SpinEdit3", 0);
    SpinEdit3->SetBounds(1, 9999);
    SpinEdit3->SetValue(initial.rd);
    CheckBox4 = MakeCheckBox(TabSheet2, "CheckBox4",
                             "Create new connection when uploading/downloading", initial.cnc);
    SpinEdit4 = MakeSpinEdit(TabSheet2, "SpinEdit4", 0);
    Label12 = Named(MakeLabel(TabSheet2, "Max simultaneous jobs", SpinEdit4), "Label12");
    SpinEdit4->SetBounds(1, 10);
    SpinEdit4->SetValue(initial.maxc);
    int row = 0;
    grid->addWidget(MakeLabel(TabSheet2, "Proxy", ComboBox1), row, 0);
    grid->addWidget(ComboBox1, row, 1);
    grid->addWidget(Button3, row++, 2);
    grid->addWidget(MakeLabel(TabSheet2, "Socks", ComboBox2), row, 0);
    grid->addWidget(ComboBox2, row, 1);
    grid->addWidget(Button4, row++, 2);
    grid->addWidget(CheckBox2, row++, 0, 1, 3);
    grid->addWidget(CheckBox3, row++, 0, 1, 3);
    grid->addWidget(MakeLabel(TabSheet2, "Timeout", SpinEdit1), row, 0);
    grid->addWidget(SpinEdit1, row, 1);
    grid->addWidget(MakeLabel(TabSheet2, "second"), row++, 2);
    grid->addWidget(MakeLabel(TabSheet2, "Number of retries", SpinEdit2), row, 0);
    grid->addWidget(SpinEdit2, row++, 1);
    grid->addWidget(MakeLabel(TabSheet2, "Retry Delay", SpinEdit3), row, 0);
    grid->addWidget(SpinEdit3, row, 1);
    grid->addWidget(MakeLabel(TabSheet2, "second"), row++, 2);
    grid->addWidget(CheckBox4, row++, 0, 1, 3);
    grid->addWidget(Label12, row, 0);
    grid->addWidget(SpinEdit4, row++, 1);
    grid->setRowStretch(row, 1);
    // Stored only: the connection page does nothing with them yet.
    CheckBox4->setVisible(false);
    Label12->setVisible(false);
    SpinEdit4->setVisible(false);
    PageControl1->addTab(TabSheet2, QStringLiteral("Advance Option"));
}

bool TForm4::AddMode() const {
    return windowTitle() == QString::fromLatin1(kAddCaption);
}

void TForm4::FirstShown() {
    Edit5->setFocus();
    FormShow();
}

void TForm4::FormShow() {
    // Edit mode: the caller filled the lists before it preset the selections.
    if (AddMode())
        FillProxySocksLists();
}

void TForm4::FillProxySocksLists() {
    for (const std::string& name : dialogs::ReadNames(*dm->Tproxy))
        ComboBox1->addItem(ui::ToQt(name));
    for (const std::string& name : dialogs::ReadNames(*dm->Tsocks))
        ComboBox2->addItem(ui::ToQt(name));
}

dialogs::SiteSettings TForm4::Values() const {
    auto text = [](const QLineEdit* edit) { return ui::FromQt(edit->text()); };
    auto selected = [](const QComboBox* list) {
        return list->currentIndex() < 0 ? std::string(kNone) : ui::FromQt(list->currentText());
    };
    dialogs::SiteSettings site;
    site.name = text(Edit5);
    site.address = text(Edit1);
    site.port = Edit2->Value();
    site.username = text(Edit3);
    site.password = text(Edit4);
    site.vp = CheckBox1->isChecked();
    site.comment = ui::FromQt(Memo1->toPlainText());
    site.defaultpath = text(Edit6);
    site.proxy = selected(ComboBox1);
    site.socks = selected(ComboBox2);
    site.pasv = CheckBox2->isChecked();
    site.autorefresh = CheckBox3->isChecked();
    site.timeout = SpinEdit1->Value();
    site.nor = SpinEdit2->Value();
    site.rd = SpinEdit3->Value();
    site.cnc = CheckBox4->isChecked();
    site.maxc = SpinEdit4->Value();
    return site;
}

void TForm4::ShowValues(const dialogs::SiteSettings& site) {
    Edit5->setText(ui::ToQt(site.name));
    Edit1->setText(ui::ToQt(site.address));
    Edit2->SetValue(site.port);
    Edit3->setText(ui::ToQt(site.username));
    Edit4->setText(ui::ToQt(site.password));
    Memo1->setPlainText(ui::ToQt(site.comment));
    SpinEdit1->SetValue(site.timeout);
    SpinEdit2->SetValue(site.nor);
    SpinEdit3->SetValue(site.rd);
    CheckBox1->setChecked(site.vp);  // runs CheckBox1Click when it changes the state
    Edit6->setText(ui::ToQt(site.defaultpath));
    CheckBox2->setChecked(site.pasv);
    CheckBox3->setChecked(site.autorefresh);
    CheckBox4->setChecked(site.cnc);
    SpinEdit4->SetValue(site.maxc);
    for (const auto& [list, name] :
         {std::pair{ComboBox1, &site.proxy}, std::pair{ComboBox2, &site.socks}}) {
        const int index =
            list->findText(ui::ToQt(*name), Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (index >= 0)
            list->setCurrentIndex(index);
    }
}

QComboBox& TForm4::EntryList(dialogs::EntryKind kind) const {
    return kind == dialogs::EntryKind::kProxy ? *ComboBox1 : *ComboBox2;
}

void TForm4::AppendEntry(dialogs::EntryKind kind, const std::string& name) {
    EntryList(kind).addItem(ui::ToQt(name));
}

void TForm4::RenameEntry(dialogs::EntryKind kind, const std::string& oldName,
                         const std::string& newName) {
    QComboBox& list = EntryList(kind);
    const int index = FindEntry(list, oldName, false);
    if (index >= 0)
        list.setItemText(index, ui::ToQt(newName));
}

void TForm4::RemoveEntry(dialogs::EntryKind kind, const std::string& name) {
    QComboBox& list = EntryList(kind);
    const int index = FindEntry(list, name, true);
    if (index < 0)
        return;
    // A removed selection leaves the list without one (OK then stores "None"), where the
    // combo box would pick a neighbour.
    const bool wasSelected = list.currentIndex() == index;
    list.removeItem(index);
    if (wasSelected)
        list.setCurrentIndex(-1);
}

void TForm4::CheckBox1Click() {
    Edit4->setEchoMode(CheckBox1->isChecked() ? QLineEdit::Normal : QLineEdit::Password);
}

void TForm4::CheckBox4Click() {
    const bool on = CheckBox4->isChecked();
    SpinEdit4->setEnabled(on);
    SpinEdit4->setReadOnly(!on);
    QPalette colours = SpinEdit4->palette();
    colours.setColor(QPalette::Base, on ? palette().color(QPalette::Base) : QColor(192, 192, 192));
    SpinEdit4->setPalette(colours);
}

void TForm4::OpenOptions(int page) {
    TForm2 options(host_, this);
    options.PageControl1->setCurrentIndex(page);
    options.exec();
}

void TForm4::Button3Click() {
    OpenOptions(2);
}

void TForm4::Button4Click() {
    OpenOptions(3);
}

void TForm4::Button5Click() {
    ui::HelpJump(os::ProgramFolder(), "Overview");
}

void TForm4::Refuse(const std::string& message, QWidget& focus, bool loginPage) {
    ui::MessageDlg(message, ui::MessageKind::kWarning, ui::mbOK);
    if (loginPage)
        PageControl1->setCurrentWidget(TabSheet1);
    focus.setFocus();
}

void TForm4::Button1Click() {
    const dialogs::SiteSettings site = Values();
    if (site.name.empty())
        return Refuse("Please enter name.", *Edit5, true);
    if (site.address.empty())
        return Refuse("Please enter the address of the FTP site.", *Edit1, true);
    dialogs::SiteTable table(*dm->Tftpsite);
    const std::string stamp = dialogs::FormatSiteStamp(os::Now());
    const dialogs::SiteWrite outcome =
        AddMode() ? table.Add(site, stamp) : table.Update(OldName, site, stamp);
    if (outcome == dialogs::SiteWrite::kNameTaken)
        return Refuse("The name " + site.name + " was existed, please re-enter.", *Edit5, false);
    host_.LoadSiteList();
    SetModalResult(ui::mrOk);
}
