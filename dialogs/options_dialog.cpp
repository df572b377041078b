#include "dialogs/options_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <utility>

#include "dialogs/dialog_widgets.h"
#include "dialogs/dialogs_host.h"
#include "dialogs/proxy_dialog.h"
#include "dialogs/site_dialog.h"
#include "dialogs/socks_dialog.h"
#include "platform/os/collation.h"
#include "platform/os/program_folder.h"
#include "platform/ui/control_sizes.h"
#include "platform/ui/handler_guard.h"
#include "platform/ui/help_service.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/qt_text.h"
#include "platform/ui/spin_edit.h"
#include "platform/ui/ui_services.h"
#include "shared/tdm.h"
#include "shared/text_fields.h"

TForm2* Form2 = nullptr;

namespace {

using dialogs::MakeButton;
using dialogs::Named;

// The row the user selected, nullptr when none is: the list's current row may be one that is
// not selected (tabbed into, or Ctrl+clicked off), and the buttons act on the selection only.
template <class List>
auto SelectedItem(const List& list) {
    return list.selectedItems().value(0);
}

QRadioButton* MakeRadio(QWidget* parent, const char* name, const char* caption) {
    return Named(new QRadioButton(QString::fromLatin1(caption), parent), name);
}

// A list of texts with a check mark each, laid out in three columns.
class CheckListBox : public QListWidget {
  public:
    explicit CheckListBox(QWidget* parent) : QListWidget(parent) {
        setFlow(QListView::TopToBottom);
        setWrapping(true);
        setResizeMode(QListView::Adjust);
        setSelectionMode(QAbstractItemView::SingleSelection);
    }

  protected:
    void resizeEvent(QResizeEvent* event) override {
        QListWidget::resizeEvent(event);
        setGridSize(QSize(viewport()->width() / 3, fontMetrics().height() + 6));
    }
};

// A list view takes no name from its label: `accessibleName` names it to a screen reader.
QListWidget* MakeCheckList(QWidget* parent, const char* name, const char* accessibleName) {
    QListWidget* list = Named(new CheckListBox(parent), name);
    list->setAccessibleName(QString::fromLatin1(accessibleName));
    return list;
}

void AppendChecked(QListWidget& list, const std::string& text, bool checked) {
    auto* item = new QListWidgetItem(ui::ToQt(text), &list);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

std::vector<dialogs::CheckedText> CheckedTexts(const QListWidget& list) {
    std::vector<dialogs::CheckedText> entries;
    for (int row = 0; row < list.count(); ++row) {
        const QListWidgetItem* item = list.item(row);
        entries.push_back({ui::FromQt(item->text()), item->checkState() == Qt::Checked});
    }
    return entries;
}

// Without blanks and control characters at both ends.
std::string Trimmed(const std::string& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= ' ')
        ++first;
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ')
        --last;
    return text.substr(first, last - first);
}

vesk::TVeskTable& TableOf(dialogs::EntryKind kind) {
    return kind == dialogs::EntryKind::kProxy ? *dm->Tproxy : *dm->Tsocks;
}

void SetRowTexts(QTreeWidgetItem& item, const dialogs::EntryRow& row) {
    item.setText(0, ui::ToQt(row.name));
    item.setText(1, ui::ToQt(row.address));
    item.setText(2, ui::ToQt(row.typeName));
}

// The help topic of each page, by page index.
constexpr const char* kPageTopics[] = {"item29", "item30", "item31", "item32"};

constexpr std::pair<const char*, int> kModes[] = {{"auto", 0}, {"ascii", 1}, {"binary", 2}};
constexpr std::pair<const char*, int> kCompletions[] = {
    {"none", 0}, {"disconnect", 1}, {"quit", 2}, {"exit", 3}};

}  // namespace

TForm2::TForm2(TDialogsHost& host, QWidget* parent) : ui::ModalDialog(parent), host_(host) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Options"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    auto* column = new QVBoxLayout(this);
    PageControl1 = Named(new QTabWidget(this), "PageControl1");
    BuildAntiIdlePage();
    BuildTransferPage();
    TabSheet1 = BuildEntryPage(dialogs::EntryKind::kProxy);
    TabSheet2 = BuildEntryPage(dialogs::EntryKind::kSocks);
    column->addWidget(PageControl1, 1);
    auto* buttons = new QHBoxLayout;
    Button13 = MakeButton(this, "Button13", "&Help");
    Button3 = MakeButton(this, "Button3", "&OK");
    Button4 = MakeButton(this, "Button4", "&Cancel");
    Button3->setDefault(true);
    buttons->addWidget(Button13);
    buttons->addStretch(1);
    buttons->addWidget(Button3);
    buttons->addWidget(Button4);
    column->addLayout(buttons);
    setFixedSize(ui::ScaledSize(*this, 520, 400));  // a fixed border

    auto on = [this](QPushButton* button, void (TForm2::*handler)()) {
        connect(button, &QPushButton::clicked, this,
                ui::Guarded([this, handler] { (this->*handler)(); }));
    };
    on(Button9, &TForm2::Button9Click);
    on(Button10, &TForm2::Button10Click);
    on(Button11, &TForm2::Button11Click);
    on(Button12, &TForm2::Button12Click);
    on(Button1, &TForm2::Button1Click);
    on(Button2, &TForm2::Button2Click);
    on(Button5, &TForm2::Button5Click);
    on(Button6, &TForm2::Button6Click);
    on(Button7, &TForm2::Button7Click);
    on(Button8, &TForm2::Button8Click);
    on(Button3, &TForm2::Button3Click);
    on(Button13, &TForm2::Button13Click);
    SetButtonModalResult(Button4, ui::mrCancel);
    connect(CheckListBox1, &QListWidget::itemChanged, this,
            ui::Guarded([this](QListWidgetItem* item) {
                if (!filling_)
                    CheckListBox1ClickCheck(CheckListBox1->row(item));
            }));
    connect(CheckListBox2, &QListWidget::itemChanged, this,
            ui::Guarded([this](QListWidgetItem* item) {
                if (!filling_)
                    CheckListBox2ClickCheck(CheckListBox2->row(item));
            }));
    connect(ListView1, &QTreeWidget::itemDoubleClicked, this,
            ui::Guarded([this] { Button2Click(); }));
    connect(ListView2, &QTreeWidget::itemDoubleClicked, this,
            ui::Guarded([this] { Button7Click(); }));
    Form2 = this;
}

TForm2::~TForm2() {
    if (Form2 == this)
        Form2 = nullptr;
}

void TForm2::BuildAntiIdlePage() {
    TabSheet3 = Named(new QWidget(PageControl1), "TabSheet3");
    auto* page = new QVBoxLayout(TabSheet3);
    // The group's title is the switch.
    auto* group = new QGroupBox(TabSheet3);
    auto* grid = new QGridLayout(group);
    CheckBox1 = Named(new QCheckBox(QStringLiteral("Enabled anti-idle"), group), "CheckBox1");
    CheckBox1->setChecked(true);
    SpinEdit1 = Named(new ui::SpinEdit(group), "SpinEdit1");
    SpinEdit1->SetBounds(1, 99);
    SpinEdit1->SetValue(30);
    CheckListBox1 = MakeCheckList(group, "CheckListBox1", "Command");
    Button9 = MakeButton(group, "Button9", "&Add...");
    Button10 = MakeButton(group, "Button10", "&Delete");
    grid->addWidget(CheckBox1, 0, 0, 1, 4);
    grid->addWidget(dialogs::LabelFor(group, "Interval", SpinEdit1), 1, 0);
    grid->addWidget(SpinEdit1, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("second"), group), 1, 2);
    grid->addWidget(dialogs::LabelFor(group, "Command", CheckListBox1), 2, 0, 1, 4);
    grid->addWidget(CheckListBox1, 3, 0, 1, 4);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button9);
    buttons->addWidget(Button10);
    grid->addLayout(buttons, 4, 0, 1, 4);
    page->addWidget(group);
    PageControl1->addTab(TabSheet3, QStringLiteral("Anti-Idle"));
}

void TForm2::BuildTransferPage() {
    TabSheet4 = Named(new QWidget(PageControl1), "TabSheet4");
    auto* page = new QVBoxLayout(TabSheet4);
    auto* mode = new QGroupBox(QStringLiteral("Transfer Mode"), TabSheet4);
    auto* modeGrid = new QGridLayout(mode);
    RadioButton1 = MakeRadio(mode, "RadioButton1", "Auto");
    RadioButton2 = MakeRadio(mode, "RadioButton2", "ASCII");
    RadioButton3 = MakeRadio(mode, "RadioButton3", "Binary");
    RadioButton1->setChecked(true);
    CheckListBox2 = MakeCheckList(mode, "CheckListBox2", "Extensions in ASCII mode");
    Button11 = MakeButton(mode, "Button11", "Add...");
    Button12 = MakeButton(mode, "Button12", "Delete");
    modeGrid->addWidget(RadioButton1, 0, 0);
    modeGrid->addWidget(RadioButton2, 0, 1);
    modeGrid->addWidget(RadioButton3, 0, 2);
    modeGrid->addWidget(
        dialogs::LabelFor(mode, "Use ASCII mode for files without extensions", CheckListBox2), 1, 0,
        1, 3);
    modeGrid->addWidget(CheckListBox2, 2, 0, 1, 3);
    auto* listButtons = new QHBoxLayout;
    listButtons->addStretch(1);
    listButtons->addWidget(Button11);
    listButtons->addWidget(Button12);
    modeGrid->addLayout(listButtons, 3, 0, 1, 3);
    page->addWidget(mode, 1);

    auto* buffers = new QGroupBox(QStringLiteral("Buffer size"), TabSheet4);
    auto* bufferGrid = new QGridLayout(buffers);
    SpinEdit2 = Named(new ui::SpinEdit(buffers), "SpinEdit2");
    SpinEdit2->SetValue(2048);
    SpinEdit3 = Named(new ui::SpinEdit(buffers), "SpinEdit3");
    SpinEdit3->SetValue(1024);
    bufferGrid->addWidget(dialogs::LabelFor(buffers, "Recv Buffer size", SpinEdit2), 0, 0);
    bufferGrid->addWidget(SpinEdit2, 0, 1);
    bufferGrid->addWidget(dialogs::LabelFor(buffers, "Send Buffer size", SpinEdit3), 1, 0);
    bufferGrid->addWidget(SpinEdit3, 1, 1);
    page->addWidget(buffers);

    // Stored only: loaded and written like the visible controls, acted on by nothing yet.
    GroupBox6 = Named(new QGroupBox(QStringLiteral("Transfer complete"), TabSheet4), "GroupBox6");
    auto* completion = new QHBoxLayout(GroupBox6);
    RadioButton4 = MakeRadio(GroupBox6, "RadioButton4", "None");
    RadioButton5 = MakeRadio(GroupBox6, "RadioButton5", "Disconnect");
    RadioButton6 = MakeRadio(GroupBox6, "RadioButton6", "Quit Application");
    RadioButton7 = MakeRadio(GroupBox6, "RadioButton7", "Exit Windows");
    RadioButton4->setChecked(true);
    for (QRadioButton* radio : {RadioButton4, RadioButton5, RadioButton6, RadioButton7})
        completion->addWidget(radio);
    page->addWidget(GroupBox6);
    GroupBox6->setVisible(false);
    CheckBox2 =
        Named(new QCheckBox(QStringLiteral("Use APPE to resume uploads"), TabSheet4), "CheckBox2");
    CheckBox2->setChecked(true);
    page->addWidget(CheckBox2);
    CheckBox2->setVisible(false);
    PageControl1->addTab(TabSheet4, QStringLiteral("Transfer"));
}

QWidget* TForm2::BuildEntryPage(dialogs::EntryKind kind) {
    const bool proxy = kind == dialogs::EntryKind::kProxy;
    auto* sheet = Named(new QWidget(PageControl1), proxy ? "TabSheet1" : "TabSheet2");
    auto* row = new QHBoxLayout(sheet);
    auto* list = Named(new QTreeWidget(sheet), proxy ? "ListView1" : "ListView2");
    list->setHeaderLabels(proxy ? QStringList{"Name", "Server", "Type"}
                                : QStringList{"Name", "Host", "Version"});
    list->setAccessibleName(proxy ? QStringLiteral("Proxies") : QStringLiteral("Socks servers"));
    list->setRootIsDecorated(false);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto* buttons = new QVBoxLayout;
    auto* add = MakeButton(sheet, proxy ? "Button1" : "Button6", "&Add...");
    auto* edit = MakeButton(sheet, proxy ? "Button2" : "Button7", "&Edit...");
    auto* remove = MakeButton(sheet, proxy ? "Button5" : "Button8", "&Remove");
    buttons->addWidget(add);
    buttons->addWidget(edit);
    buttons->addWidget(remove);
    buttons->addStretch(1);
    row->addWidget(list, 1);
    row->addLayout(buttons);
    if (proxy) {
        ListView1 = list;
        Button1 = add;
        Button2 = edit;
        Button5 = remove;
    } else {
        ListView2 = list;
        Button6 = add;
        Button7 = edit;
        Button8 = remove;
    }
    PageControl1->addTab(sheet, proxy ? QStringLiteral("Proxy") : QStringLiteral("Socks"));
    return sheet;
}

void TForm2::FirstShown() {
    FormShow();
}

void TForm2::FormShow() {
    dialogs::OptionsTables tables;
    filling_ = true;
    struct Filling {
        bool& flag;
        ~Filling() { flag = false; }
    } filling{filling_};
    CheckListBox1->clear();
    for (const dialogs::CheckedText& entry :
         tables.ReadList(*dm->Tantiidle, dialogs::kCommandColumn))
        AppendChecked(*CheckListBox1, entry.text, entry.checked);
    CheckListBox2->clear();
    for (const dialogs::CheckedText& entry :
         tables.ReadList(*dm->Tascext, dialogs::kExtensionColumn))
        AppendChecked(*CheckListBox2, entry.text, entry.checked);
    for (const dialogs::EntryKind kind : {dialogs::EntryKind::kProxy, dialogs::EntryKind::kSocks}) {
        EntryList(kind).clear();
        for (const dialogs::EntryRow& row :
             dialogs::EntryTable(TableOf(kind), dialogs::ColumnsOf(kind)).Rows())
            AppendEntryRow(kind, row);
    }

    const dialogs::OptionsValues options = tables.ReadOptions(*dm->Toption);
    CheckBox1->setChecked(options.eanti);
    SpinEdit1->SetValue(options.interval);
    // A text that is none of the choices leaves the choice as it is.
    QRadioButton* modes[] = {RadioButton1, RadioButton2, RadioButton3};
    for (const auto& [text, index] : kModes) {
        if (options.transfermode == text)
            modes[index]->setChecked(true);
    }
    QRadioButton* completions[] = {RadioButton4, RadioButton5, RadioButton6, RadioButton7};
    for (const auto& [text, index] : kCompletions) {
        if (options.transferc == text)
            completions[index]->setChecked(true);
    }
    SpinEdit2->SetValue(options.recvb);
    SpinEdit3->SetValue(options.sendb);
    CheckBox2->setChecked(options.appe);
}

dialogs::OptionsValues TForm2::Values() const {
    dialogs::OptionsValues values;
    values.eanti = CheckBox1->isChecked();
    values.interval = SpinEdit1->Value();
    const QRadioButton* modes[] = {RadioButton1, RadioButton2, RadioButton3};
    for (const auto& [text, index] : kModes) {
        if (modes[index]->isChecked())
            values.transfermode = text;
    }
    const QRadioButton* completions[] = {RadioButton4, RadioButton5, RadioButton6, RadioButton7};
    for (const auto& [text, index] : kCompletions) {
        if (completions[index]->isChecked())
            values.transferc = text;
    }
    values.recvb = SpinEdit2->Value();
    values.sendb = SpinEdit3->Value();
    values.appe = CheckBox2->isChecked();
    return values;
}

std::vector<dialogs::CheckedText> TForm2::Commands() const {
    return CheckedTexts(*CheckListBox1);
}

std::vector<dialogs::CheckedText> TForm2::Extensions() const {
    return CheckedTexts(*CheckListBox2);
}

void TForm2::AddListText(QListWidget& list, const char* caption, vesk::TVeskTable& table,
                         const char* column) {
    // The box takes no more than the column holds, so OK stores what was entered.
    const std::size_t maxBytes = shared::TextFieldSizes(table, {column}).front();
    const std::string text = ui::InputBox(caption, "", "", maxBytes);
    if (Trimmed(text).empty())
        return;
    const std::string upper = os::AsciiUpperText(text);
    for (int row = 0; row < list.count(); ++row) {
        if (os::AsciiUpperText(ui::FromQt(list.item(row)->text())) == upper) {
            list.setCurrentRow(row);
            return;
        }
    }
    filling_ = true;
    AppendChecked(list, upper, true);
    filling_ = false;
}

void TForm2::Button9Click() {
    AddListText(*CheckListBox1, "Input Command", *dm->Tantiidle, dialogs::kCommandColumn);
}

void TForm2::Button11Click() {
    AddListText(*CheckListBox2, "Input filename extension", *dm->Tascext,
                dialogs::kExtensionColumn);
}

void TForm2::Button10Click() {
    delete SelectedItem(*CheckListBox1);
}

void TForm2::Button12Click() {
    delete SelectedItem(*CheckListBox2);
}

void TForm2::ClickCheck(QListWidget& list, vesk::TVeskTable& table, const char* column, int row) {
    const QListWidgetItem* item = list.item(row);
    if (item == nullptr)
        return;
    list.setCurrentRow(row);
    // An entry that is not stored yet is written by OK only.
    dialogs::OptionsTables().SetCheckMark(table, column, ui::FromQt(item->text()),
                                          item->checkState() == Qt::Checked);
}

void TForm2::CheckListBox1ClickCheck(int row) {
    ClickCheck(*CheckListBox1, *dm->Tantiidle, dialogs::kCommandColumn, row);
}

void TForm2::CheckListBox2ClickCheck(int row) {
    ClickCheck(*CheckListBox2, *dm->Tascext, dialogs::kExtensionColumn, row);
}

QTreeWidget& TForm2::EntryList(dialogs::EntryKind kind) const {
    return kind == dialogs::EntryKind::kProxy ? *ListView1 : *ListView2;
}

void TForm2::AppendEntryRow(dialogs::EntryKind kind, const dialogs::EntryRow& row) {
    auto* item = new QTreeWidgetItem(&EntryList(kind));
    SetRowTexts(*item, row);
}

void TForm2::ChangeSelectedEntryRow(dialogs::EntryKind kind, const dialogs::EntryRow& row) {
    if (QTreeWidgetItem* item = SelectedItem(EntryList(kind)))
        SetRowTexts(*item, row);
}

void TForm2::AddEntry(dialogs::EntryKind kind) {
    if (kind == dialogs::EntryKind::kProxy) {
        TForm5 entry(this);
        entry.setWindowTitle(QStringLiteral("Add Proxy"));
        entry.exec();
    } else {
        TForm7 entry(this);
        entry.setWindowTitle(QStringLiteral("Add Socks"));
        entry.exec();
    }
}

void TForm2::EditEntry(dialogs::EntryKind kind) {
    const QTreeWidgetItem* item = SelectedItem(EntryList(kind));
    if (item == nullptr)
        return;
    const std::string name = ui::FromQt(item->text(0));
    const std::optional<dialogs::EntryValues> stored =
        dialogs::EntryTable(TableOf(kind), dialogs::ColumnsOf(kind)).Read(name);
    if (!stored)
        return;
    auto edit = [&](TEntryDialog& entry, const char* caption) {
        entry.setWindowTitle(QString::fromLatin1(caption));
        entry.OldName = name;
        entry.ShowValues(*stored);
        entry.exec();
    };
    if (kind == dialogs::EntryKind::kProxy) {
        TForm5 entry(this);
        edit(entry, "Edit Proxy");
    } else {
        TForm7 entry(this);
        edit(entry, "Edit Socks");
    }
}

void TForm2::RemoveEntry(dialogs::EntryKind kind) {
    QTreeWidget& list = EntryList(kind);
    QTreeWidgetItem* item = SelectedItem(list);
    if (item == nullptr)
        return;
    const std::string name = ui::FromQt(item->text(0));
    if (dialogs::EntryTable(TableOf(kind), dialogs::ColumnsOf(kind)).Remove(name) !=
        dialogs::EntryWrite::kWritten)
        return;
    if (Form4 != nullptr)
        Form4->RemoveEntry(kind, name);
    delete item;
}

void TForm2::Button1Click() {
    AddEntry(dialogs::EntryKind::kProxy);
}

void TForm2::Button2Click() {
    EditEntry(dialogs::EntryKind::kProxy);
}

void TForm2::Button5Click() {
    RemoveEntry(dialogs::EntryKind::kProxy);
}

void TForm2::Button6Click() {
    AddEntry(dialogs::EntryKind::kSocks);
}

void TForm2::Button7Click() {
    EditEntry(dialogs::EntryKind::kSocks);
}

void TForm2::Button8Click() {
    RemoveEntry(dialogs::EntryKind::kSocks);
}

void TForm2::Button3Click() {
    dialogs::OptionsTables tables;
    tables.WriteList(*dm->Tantiidle, dialogs::kCommandColumn, Commands());
    tables.WriteList(*dm->Tascext, dialogs::kExtensionColumn, Extensions());
    tables.WriteOptions(*dm->Toption, Values());
    host_.ReloadPageOptions();
    SetModalResult(ui::mrOk);
}

void TForm2::Button13Click() {
    const int page = PageControl1->currentIndex();
    if (page >= 0 && page < 4)
        ui::HelpJump(os::ProgramFolder(), kPageTopics[page]);
}
