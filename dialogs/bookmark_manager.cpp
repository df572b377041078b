#include "dialogs/bookmark_manager.h"

#include <QApplication>
#include <QFont>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QStandardItemModel>
#include <QStyle>
#include <QTabWidget>
#include <QTreeView>
#include <QVBoxLayout>

#include "dialogs/bookmark_rows.h"
#include "dialogs/dialog_widgets.h"
#include "dialogs/dialogs_host.h"
#include "platform/ui/control_sizes.h"
#include "platform/ui/handler_guard.h"
#include "platform/ui/list_view.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/qt_text.h"
#include "platform/ui/shared_icons.h"
#include "shared/list_file.h"
#include "shared/tdm.h"

TForm17* Form17 = nullptr;

namespace {

using dialogs::MakeButton;

// The path's own bytes, which need not be valid UTF-8.
constexpr int kPathBytesRole = Qt::UserRole + 1;

// A report list with a narrow untitled column and "Path", called `accessibleName` to a screen
// reader.
ui::ListView* MakeList(QWidget& parent, const char* name, const char* accessibleName,
                       QStandardItemModel*& rows) {
    auto* list = new ui::ListView(&parent);
    list->setObjectName(QString::fromLatin1(name));
    list->SetAccessibleName(QString::fromLatin1(accessibleName));
    rows = new QStandardItemModel(0, 2, list);
    rows->setHorizontalHeaderLabels({QString(), QStringLiteral("Path")});
    list->SetModel(rows);
    ui::SetScaledColumnWidths(*list->ReportView(), {{0, 18}});
    list->ReportView()->header()->setStretchLastSection(true);
    return list;
}

// A row: an empty caption with image 0 and the path as its sub-item.
void AddRow(QStandardItemModel& rows, const std::string& path) {
    const QIcon image = ui::ThemedIcon("folder", QStyle::SP_DirIcon);
    auto* caption = new QStandardItem(image, QString());
    caption->setEditable(false);
    auto* cell = new QStandardItem(ui::ToQt(path));
    cell->setData(ui::BytesData(path), kPathBytesRole);
    cell->setEditable(false);
    rows.appendRow({caption, cell});
}

std::vector<std::string> Paths(const QStandardItemModel& rows) {
    std::vector<std::string> paths;
    for (int row = 0; row < rows.rowCount(); ++row)
        paths.push_back(ui::FromBytesData(rows.item(row, 1)->data(kPathBytesRole)));
    return paths;
}

void RemoveSelected(ui::ListView& list, QStandardItemModel& rows) {
    const int row = list.Selected();
    if (row >= 0)
        rows.removeRow(row);
}

}  // namespace

TForm17::TForm17(TDialogsHost& host, std::string localBookmarksPath, QWidget* parent)
    : ui::ModalDialog(parent), host_(host), localBookmarksPath_(std::move(localBookmarksPath)) {
    setObjectName(QStringLiteral("Form17"));
    setWindowTitle(QStringLiteral("Manage Bookmarks"));
    auto* column = new QVBoxLayout(this);
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    column->addWidget(PageControl1, 1);

    TabSheet1 = new QWidget(PageControl1);
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    auto* local = new QVBoxLayout(TabSheet1);
    ListView1 = MakeList(*TabSheet1, "ListView1", "Local bookmarks", localRows_);
    local->addWidget(ListView1, 1);
    Button3 = MakeButton(TabSheet1, "Button3", "&Delete");
    local->addWidget(Button3, 0, Qt::AlignRight);
    PageControl1->addTab(TabSheet1, QStringLiteral("Local"));

    TabSheet2 = new QWidget(PageControl1);
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    auto* remote = new QVBoxLayout(TabSheet2);
    auto* server = new QHBoxLayout;
    Label2 = new QLabel(QStringLiteral("FTP server :"), TabSheet2);
    Label2->setObjectName(QStringLiteral("Label2"));
    QFont bold = Label2->font();
    bold.setBold(true);
    Label2->setFont(bold);
    Label1 = new QLabel(TabSheet2);
    Label1->setObjectName(QStringLiteral("Label1"));
    server->addWidget(Label2);
    server->addWidget(Label1, 1);
    remote->addLayout(server);
    ListView2 = MakeList(*TabSheet2, "ListView2", "FTP bookmarks", ftpRows_);
    remote->addWidget(ListView2, 1);
    Button4 = MakeButton(TabSheet2, "Button4", "&Delete");
    remote->addWidget(Button4, 0, Qt::AlignRight);
    PageControl1->addTab(TabSheet2, QStringLiteral("FTP"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    Button2 = MakeButton(this, "Button2", "&OK");
    Button1 = MakeButton(this, "Button1", "&Cancel");
    buttons->addWidget(Button2);
    buttons->addWidget(Button1);
    column->addLayout(buttons);
    setFixedSize(ui::ScaledSize(*this, 420, 340));

    connect(Button3, &QPushButton::clicked, this, ui::Guarded([this] { Button3Click(); }));
    connect(Button4, &QPushButton::clicked, this, ui::Guarded([this] { Button4Click(); }));
    connect(Button2, &QPushButton::clicked, this, ui::Guarded([this] { Button2Click(); }));
    connect(Button1, &QPushButton::clicked, this, ui::Guarded([this] { Button1Click(); }));
    Form17 = this;
}

TForm17::~TForm17() {
    if (Form17 == this)
        Form17 = nullptr;
}

void TForm17::ShowLocalPage() {
    PageControl1->setTabVisible(1, false);
    PageControl1->setTabVisible(0, true);
    PageControl1->setCurrentIndex(0);
}

void TForm17::PresetSite(std::int32_t siteId, const std::string& siteName) {
    siteId_ = siteId;
    Label1->setText(ui::ToQt(siteName));
    ftpRows_->removeRows(0, ftpRows_->rowCount());
    for (const std::string& path : dialogs::ReadSiteBookmarks(*dm->Tftpb, siteId))
        AddRow(*ftpRows_, path);
    PageControl1->setTabVisible(0, false);
    PageControl1->setTabVisible(1, true);
    PageControl1->setCurrentIndex(1);
}

bool TForm17::LocalMode() const {
    return PageControl1->isTabVisible(0);
}

std::vector<std::string> TForm17::LocalBookmarks() const {
    return Paths(*localRows_);
}

std::vector<std::string> TForm17::FtpBookmarks() const {
    return Paths(*ftpRows_);
}

void TForm17::showEvent(QShowEvent* event) {
    ui::ModalDialog::showEvent(event);
    if (!event->spontaneous())
        ui::RunGuarded([this] { FormShow(); });
}

void TForm17::FormShow() {
    localRows_->removeRows(0, localRows_->rowCount());
    for (const std::string& path : shared::ReadListFile(localBookmarksPath_))
        AddRow(*localRows_, path);
}

void TForm17::Button3Click() {
    RemoveSelected(*ListView1, *localRows_);
}

void TForm17::Button4Click() {
    RemoveSelected(*ListView2, *ftpRows_);
}

void TForm17::Button2Click() {
    if (LocalMode()) {
        host_.SetLocalBookmarks(LocalBookmarks());
        host_.SaveLocalBookmarks();
    } else {
        dialogs::ReplaceSiteBookmarks(*dm->Tftpb, siteId_, FtpBookmarks());
    }
    SetModalResult(ui::mrOk);
}

void TForm17::Button1Click() {
    SetModalResult(ui::mrCancel);
}
