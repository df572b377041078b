#include "dialogs/task_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTreeView>
#include <QVBoxLayout>

#include <optional>

#include "dialogs/dialog_widgets.h"
#include "dialogs/field_limits.h"
#include "dialogs/task_images.h"
#include "dialogs/task_paths_dialog.h"
#include "dialogs/task_tables.h"
#include "platform/ui/control_sizes.h"
#include "platform/ui/handler_guard.h"
#include "platform/ui/help_service.h"
#include "platform/ui/list_view.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/qt_text.h"
#include "shared/tdm.h"

TForm13* Form13 = nullptr;

namespace {

constexpr const char* kAddCaption = "Create new task";
constexpr int kLocalColumn = 2;
constexpr int kFtpColumn = 3;

QStandardItem* Cell(const std::string& text) {
    auto* cell = new QStandardItem(ui::ToQt(text));
    cell->setEditable(false);
    return cell;
}

}  // namespace

TForm13::TForm13(TTaskTreeHost& tree, std::string programFolder, QWidget* parent)
    : ui::ModalDialog(parent), tree_(tree), programFolder_(std::move(programFolder)) {
    using dialogs::MakeButton;
    using dialogs::Named;
    setObjectName(QStringLiteral("Form13"));
    setWindowTitle(QString::fromLatin1(kAddCaption));
    auto* column = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    Edit1 = Named(new QLineEdit(this), "Edit1");
    ComboBoxEx1 = Named(new QComboBox(this), "ComboBoxEx1");
    ComboBoxEx2 = Named(new QComboBox(this), "ComboBoxEx2");
    grid->addWidget(dialogs::LabelFor(this, "Name", Edit1), 0, 0);
    grid->addWidget(Edit1, 0, 1);
    grid->addWidget(dialogs::LabelFor(this, "Task category", ComboBoxEx1), 1, 0);
    grid->addWidget(ComboBoxEx1, 1, 1);
    grid->addWidget(dialogs::LabelFor(this, "FTP server", ComboBoxEx2), 2, 0);
    grid->addWidget(ComboBoxEx2, 2, 1);
    grid->setColumnStretch(1, 1);
    column->addLayout(grid);

    PageControl1 = Named(new QTabWidget(this), "PageControl1");
    TabSheet1 = Named(new QWidget(PageControl1), "TabSheet1");
    auto* files = new QHBoxLayout(TabSheet1);
    ListView1 = Named(new ui::ListView(TabSheet1), "ListView1");
    ListView1->SetAccessibleName(QStringLiteral("Files"));
    rows_ = new QStandardItemModel(0, 4, ListView1);
    rows_->setHorizontalHeaderLabels({QString(), QStringLiteral("Name"),
                                      QStringLiteral("Local path"), QStringLiteral("Ftp path")});
    ListView1->SetModel(rows_);
    ListView1->SetMultiSelect(true);
    QHeaderView* header = ListView1->ReportView()->header();
    ui::SetScaledColumnWidths(*ListView1->ReportView(), {{0, 18}, {1, 120}, {2, 180}});
    header->setStretchLastSection(true);
    files->addWidget(ListView1, 1);
    auto* side = new QVBoxLayout;
    Button1 = MakeButton(TabSheet1, "Button1", "&Edit");
    Button4 = MakeButton(TabSheet1, "Button4", "&Delete");
    Button1->setEnabled(false);
    Button4->setEnabled(false);
    side->addWidget(Button1);
    side->addWidget(Button4);
    side->addStretch(1);
    files->addLayout(side);
    PageControl1->addTab(TabSheet1, QStringLiteral("Upload"));
    TabSheet2 = Named(new QWidget(PageControl1), "TabSheet2");
    auto* description = new QVBoxLayout(TabSheet2);
    Memo1 = Named(new QPlainTextEdit(TabSheet2), "Memo1");
    Memo1->setAccessibleName(QStringLiteral("Description"));
    description->addWidget(Memo1);
    PageControl1->addTab(TabSheet2, QStringLiteral("Description"));
    column->addWidget(PageControl1, 1);

    auto* buttons = new QHBoxLayout;
    Button7 = MakeButton(this, "Button7", "&Help");
    Button5 = MakeButton(this, "Button5", "&OK");
    Button6 = MakeButton(this, "Button6", "&Cancel");
    Button5->setDefault(true);
    Button5->setEnabled(false);
    buttons->addWidget(Button7);
    buttons->addStretch(1);
    buttons->addWidget(Button5);
    buttons->addWidget(Button6);
    column->addLayout(buttons);
    resize(ui::ScaledSize(*this, 560, 400));

    // The lists count as changed when the user picks an item; a caller's preset does not.
    connect(Edit1, &QLineEdit::textChanged, this, ui::Guarded([this] { Edit1Change(); }));
    connect(ComboBoxEx1, &QComboBox::activated, this, ui::Guarded([this] { Edit1Change(); }));
    connect(ComboBoxEx2, &QComboBox::activated, this, ui::Guarded([this] { Edit1Change(); }));
    ListView1->OnSelectItem = [this] { ListView1SelectItem(); };
    ListView1->OnDblClick = [this] { Button1Click(); };
    connect(Button4, &QPushButton::clicked, this, ui::Guarded([this] { Button4Click(); }));
    connect(Button1, &QPushButton::clicked, this, ui::Guarded([this] { Button1Click(); }));
    connect(Button5, &QPushButton::clicked, this, ui::Guarded([this] { Button5Click(); }));
    connect(Button7, &QPushButton::clicked, this, ui::Guarded([this] { Button7Click(); }));
    SetButtonModalResult(Button6, ui::mrCancel);
    dialogs::LimitToFields(*dm->Ttaskd, {{Edit1, "name"}});
    Edit1->setFocus();
    Form13 = this;
}

TForm13::~TForm13() {
    ListView1->OnSelectItem = nullptr;
    ListView1->OnDblClick = nullptr;
    if (Form13 == this)
        Form13 = nullptr;
}

void TForm13::SetTaskType(const std::string& type) {
    PageControl1->setTabText(0, ui::ToQt(type));
}

std::string TForm13::TaskType() const {
    return ui::FromQt(PageControl1->tabText(0));
}

bool TForm13::IsDownload() const {
    return tasks::IsDownloadType(TaskType());
}

void TForm13::SetEditMode(std::int32_t id, const std::string& name) {
    TaskId = id;
    OldName = name;
    setWindowTitle(QStringLiteral("Edit task"));
}

bool TForm13::AddMode() const {
    return windowTitle() == QString::fromLatin1(kAddCaption);
}

void TForm13::SetSites(const std::vector<std::string>& names, int selected) {
    ComboBoxEx2->clear();
    for (const std::string& name : names)
        ComboBoxEx2->addItem(task_images::SiteImage(), ui::ToQt(name));
    ComboBoxEx2->setCurrentIndex(selected);
}

void TForm13::SetCategories(const std::vector<TTaskCategory>& categories, int selected) {
    ComboBoxEx1->clear();
    for (const TTaskCategory& category : categories)
        ComboBoxEx1->addItem(task_images::TreeImage(0), ui::ToQt(category.name), category.id);
    ComboBoxEx1->setCurrentIndex(selected);
}

void TForm13::AddFileRow(const rtaskupdown& record) {
    FileRecords.push_back(record);
    auto* caption = new QStandardItem(task_images::FileRowImage(record.isfolder), QString());
    caption->setEditable(false);
    rows_->appendRow({caption, Cell(record.files), Cell(record.local), Cell(record.ftp)});
}

void TForm13::Edit1Change() {
    Button5->setEnabled(!Edit1->text().isEmpty() && ComboBoxEx1->currentIndex() >= 0 &&
                        ComboBoxEx2->currentIndex() >= 0);
}

void TForm13::ListView1SelectItem() {
    const bool selected = ListView1->Selected() >= 0;
    Button1->setEnabled(selected);
    Button4->setEnabled(selected);
}

void TForm13::Button4Click() {
    const std::vector<int> selected = ListView1->SelectedRows();
    if (selected.empty())
        return;
    for (auto row = selected.rbegin(); row != selected.rend(); ++row) {
        FileRecords.erase(FileRecords.begin() + *row);
        rows_->removeRow(*row);
    }
    Button5->setEnabled(!FileRecords.empty());
    ListView1SelectItem();
}

void TForm13::Button1Click() {
    const std::vector<int> selected = ListView1->SelectedRows();
    if (selected.empty())
        return;
    const bool download = IsDownload();
    const rtaskupdown& first = FileRecords[static_cast<std::size_t>(selected.front())];
    TForm14 paths(this);
    // Centred on the window the task dialog is centred on, wherever the task dialog was moved.
    paths.CentreOn(parentWidget());
    paths.Preset(download, download ? first.local : first.local + first.files, first.ftp);
    paths.OnApply = [this, download, selected](const std::string& local,
                                               const std::string& remote) {
        for (const int row : selected) {
            rtaskupdown& record = FileRecords[static_cast<std::size_t>(row)];
            if (download) {
                record.local = local;
                rows_->setItem(row, kLocalColumn, Cell(local));
            } else {
                record.ftp = remote;
                rows_->setItem(row, kFtpColumn, Cell(remote));
            }
        }
    };
    paths.exec();
}

void TForm13::Button5Click() {
    // Delete may have enabled OK without a category or a site.
    if (ComboBoxEx1->currentIndex() < 0 || ComboBoxEx2->currentIndex() < 0)
        return;
    tasks::TaskValues values;
    values.categoryId = ComboBoxEx1->currentData().toInt();
    values.name = ui::FromQt(Edit1->text());
    values.ftp = ui::FromQt(ComboBoxEx2->currentText());
    values.type = TaskType();
    values.common = ui::FromQt(Memo1->toPlainText());
    values.files = FileRecords;
    if (AddMode())
        tasks::AddTask(values);
    else
        tasks::UpdateTask(TaskId, values);
    // Also when a row was gone and nothing was written: the tree then shows what is stored.
    tree_.LoadTaskTree();
    SetModalResult(ui::mrCancel);
}

void TForm13::Button7Click() {
    ui::HelpJump(programFolder_, IsDownload() ? "newitem12" : "newitem22");
}
