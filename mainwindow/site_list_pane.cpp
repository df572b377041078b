#include "mainwindow/site_list_pane.h"
#include "mainwindow/named_controls.h"

#include <QAbstractItemView>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStandardItemModel>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "dialogs/dialogs_host.h"
#include "dialogs/site_dialog.h"
#include "dialogs/site_table.h"
#include "mainwindow/site_rows.h"
#include "platform/ui/handler_guard.h"
#include "platform/ui/list_view.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/qt_text.h"
#include "platform/ui/shared_icons.h"
#include "platform/ui/ui_services.h"
#include "shared/tdm.h"
#include "shared/text_fields.h"

namespace {

using mainwindow::AddMenuItem;

constexpr const char* kNewSiteItem = "NewFTPSite";

QToolButton* AddButton(QToolBar& bar, const char* name, const char* hint,
                       QStyle::StandardPixmap icon, bool enabled) {
    return mainwindow::AddToolButton(bar, name, hint, ui::StyleIcon(icon), enabled);
}

// The icon with a pixmap of `size` pixels: themes often hold some sizes only, and an icon is
// never drawn larger than its largest pixmap.
QIcon WithSize(const QIcon& icon, int size) {
    const QSize wanted(size, size);
    if (icon.actualSize(wanted) == wanted)
        return icon;
    QIcon sized = icon;
    sized.addPixmap(icon.pixmap(icon.actualSize(QSize(512, 512)))
                        .scaled(wanted, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    return sized;
}

// Image 0 the new-site item, image 1 a stored site; the icon theme's, else the style's; in
// the sizes of the large (32 pixels) and the small (16 pixels) views. Made once per image and
// shared by every row.
QIcon SiteImage(int image) {
    return ui::SharedIcon(QStringLiteral("site list:%1").arg(image), [image] {
        const QIcon icon = image == 0 ? ui::ThemedIcon("folder-new", QStyle::SP_FileDialogNewFolder)
                                      : ui::ThemedIcon("network-server", QStyle::SP_DriveNetIcon);
        return WithSize(WithSize(icon, 32), 16);
    });
}

QList<QStandardItem*> SiteItem(const std::string& caption, int image,
                               const std::vector<std::string>& subItems) {
    QList<QStandardItem*> row;
    auto* first = new QStandardItem(SiteImage(image), ui::ToQt(caption));
    row.append(first);
    for (const std::string& text : subItems) {
        auto* cell = new QStandardItem(ui::ToQt(text));
        cell->setEditable(false);
        row.append(cell);
    }
    return row;
}

}  // namespace

TSiteListPane::TSiteListPane(QWidget& sheet, QWidget& menuOwner, int& viewStep,
                             TDialogsHost& dialogsHost)
    : QObject(&sheet), viewStep_(viewStep), dialogsHost_(dialogsHost) {
    setObjectName(QStringLiteral("SiteListPane"));
    BuildControls(sheet);
    BuildMenus(menuOwner);
    ConnectHandlers();
    ClearSiteList();
}

TSiteListPane::~TSiteListPane() {
    // The list outlives the pane when both go with the sheet: its handlers must not run on a
    // pane that is gone.
    ListView1->OnSelectItem = nullptr;
    ListView1->OnDblClick = nullptr;
    ListView1->OnEdited = nullptr;
}

void TSiteListPane::BuildControls(QWidget& sheet) {
    auto* column = new QVBoxLayout(&sheet);
    column->setContentsMargins(0, 0, 0, 0);
    ToolBar1 = new QToolBar(&sheet);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolButton37 =
        AddButton(*ToolBar1, "ToolButton37", "Quick connect", QStyle::SP_MediaPlay, true);
    ToolBar1->addSeparator();
    ToolButton2 = AddButton(*ToolBar1, "ToolButton2", "Edit FTP site",
                            QStyle::SP_FileDialogDetailedView, false);
    ToolButton9 = AddButton(*ToolBar1, "ToolButton9", "Delete", QStyle::SP_TrashIcon, false);
    ToolButton3 = AddButton(*ToolBar1, "ToolButton3", "Connection", QStyle::SP_DriveNetIcon, false);
    ToolBar1->addSeparator();
    ToolButton5 =
        AddButton(*ToolBar1, "ToolButton5", "View style", QStyle::SP_FileDialogListView, true);
    ToolButton5->setPopupMode(QToolButton::MenuButtonPopup);
    ToolBar1->addSeparator();
    ToolButton4 = AddButton(*ToolBar1, "ToolButton4", "Help", QStyle::SP_DialogHelpButton, true);
    column->addWidget(ToolBar1);

    Splitter2 = new QSplitter(Qt::Vertical, &sheet);
    Splitter2->setObjectName(QStringLiteral("Splitter2"));
    ListView1 = new ui::ListView(Splitter2);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->SetAccessibleName(QStringLiteral("FTP Site"));
    siteItems_ = new QStandardItemModel(0, 4, ListView1);
    siteItems_->setHorizontalHeaderLabels({QStringLiteral("Name"), QStringLiteral("FTP Address"),
                                           QStringLiteral("Create date"),
                                           QStringLiteral("Latest access")});
    ListView1->SetModel(siteItems_);
    // The user edits a caption in place by clicking the selected item or pressing the edit
    // key, as well as through "Rename".
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(ListView1->ReportView()),
                                    static_cast<QAbstractItemView*>(ListView1->IconView())})
        view->setEditTriggers(QAbstractItemView::SelectedClicked |
                              QAbstractItemView::EditKeyPressed);
    auto* description = new QWidget(Splitter2);
    auto* box = new QVBoxLayout(description);
    box->setContentsMargins(2, 2, 2, 2);
    Label1 = new QLabel(QStringLiteral("FTP site description"), description);
    Label1->setObjectName(QStringLiteral("Label1"));
    Memo2 = new QPlainTextEdit(description);
    Memo2->setObjectName(QStringLiteral("Memo2"));
    Memo2->setReadOnly(true);
    Label1->setBuddy(Memo2);  // the memo's accessible name
    box->addWidget(Label1);
    box->addWidget(Memo2, 1);
    Splitter2->addWidget(ListView1);
    Splitter2->addWidget(description);
    Splitter2->setStretchFactor(0, 3);
    Splitter2->setStretchFactor(1, 1);
    column->addWidget(Splitter2, 1);
}

void TSiteListPane::BuildMenus(QWidget& menuOwner) {
    Pbrowser = new QMenu(&menuOwner);
    Pbrowser->setObjectName(QStringLiteral("Pbrowser"));
    Connect1 = AddMenuItem(*Pbrowser, "Connect1", "Connect");
    QFont bold = Connect1->font();
    bold.setBold(true);
    Connect1->setFont(bold);
    Pbrowser->setDefaultAction(Connect1);
    Pbrowser->addSeparator();
    New1 = AddMenuItem(*Pbrowser, "New1", "New ");
    Edit1 = AddMenuItem(*Pbrowser, "Edit1", "Edit");
    Delete1 = AddMenuItem(*Pbrowser, "Delete1", "Delete");
    Pbrowser->addSeparator();
    R1 = AddMenuItem(*Pbrowser, "R1", "Rename");
    Pbrowser->addSeparator();
    Refresh1 = AddMenuItem(*Pbrowser, "Refresh1", "Refresh");
    ShowSiteMenuItems(false);
    ListView1->SetPopupMenu(Pbrowser);

    view2 = new QMenu(&menuOwner);
    view2->setObjectName(QStringLiteral("view2"));
    auto* group = new QActionGroup(view2);
    MenuItem1 = AddMenuItem(*view2, "MenuItem1", "Large icon");
    MenuItem2 = AddMenuItem(*view2, "MenuItem2", "List");
    MenuItem3 = AddMenuItem(*view2, "MenuItem3", "Small icon");
    MenuItem4 = AddMenuItem(*view2, "MenuItem4", "Report");
    for (QAction* item : {MenuItem1, MenuItem2, MenuItem3, MenuItem4}) {
        item->setCheckable(true);
        group->addAction(item);
    }
    MenuItem4->setChecked(true);
    ToolButton5->setMenu(view2);
}

void TSiteListPane::ConnectHandlers() {
    ListView1->OnSelectItem = [this] { ListView1SelectItem(); };
    ListView1->OnDblClick = [this] { ListView1DblClick(); };
    ListView1->OnEdited = [this](int row, std::string& caption) { ListView1Edited(row, caption); };
    connect(Connect1, &QAction::triggered, this, ui::Guarded([this] { ListView1DblClick(); }));
    connect(New1, &QAction::triggered, this, ui::Guarded([this] { FTP2Click(); }));
    connect(Edit1, &QAction::triggered, this, ui::Guarded([this] { Edit1Click(); }));
    connect(ToolButton2, &QToolButton::clicked, this, ui::Guarded([this] { Edit1Click(); }));
    connect(Delete1, &QAction::triggered, this, ui::Guarded([this] { Delete1Click(); }));
    connect(ToolButton9, &QToolButton::clicked, this, ui::Guarded([this] { Delete1Click(); }));
    connect(R1, &QAction::triggered, this, ui::Guarded([this] { R1Click(); }));
    connect(Refresh1, &QAction::triggered, this, ui::Guarded([this] { Refresh1Click(); }));
    connect(ToolButton3, &QToolButton::clicked, this, ui::Guarded([this] { ToolButton3Click(); }));
    connect(ToolButton5, &QToolButton::clicked, this, ui::Guarded([this] { ToolButton5Click(); }));
    // The menu's radio marks follow the user's choice by themselves; the cycle step stays.
    QAction* styles[] = {MenuItem1, MenuItem2, MenuItem3, MenuItem4};
    for (int step = 1; step <= 4; ++step) {
        connect(styles[step - 1], &QAction::triggered, this,
                ui::Guarded([this, step] { ApplySiteViewStyle(step); }));
    }
}

void TSiteListPane::ClearSiteList() {
    siteItems_->removeRows(0, siteItems_->rowCount());
    siteItems_->appendRow(SiteItem(kNewSiteItem, 0, {}));
}

void TSiteListPane::LoadSiteList() {
    siteItems_->removeRows(0, siteItems_->rowCount());
    siteItems_->appendRow(SiteItem(kNewSiteItem, 0, {}));
    for (const mainwindow::SiteRow& site : mainwindow::ReadSiteRows(*dm->Tftpsite))
        siteItems_->appendRow(SiteItem(site.name, 1, {site.address, site.cdate, site.zdate}));
    // A name typed in place takes no more than the name column holds, so a rename is never
    // refused by the table after it was typed. The column's size is read at the first load.
    if (!ListView1->CaptionByteLimit())
        ListView1->SetCaptionByteLimit(shared::TextFieldSizes(*dm->Tftpsite, {"name"}).front());
}

int TSiteListPane::SiteCount() const {
    return siteItems_->rowCount();
}

std::string TSiteListPane::SiteCaption(int row) const {
    QStandardItem* item = siteItems_->item(row, 0);
    return item == nullptr ? std::string() : ui::FromQt(item->text());
}

std::optional<std::string> TSiteListPane::SelectedSite() const {
    const int row = ListView1->Selected();
    if (row <= 0)
        return std::nullopt;
    return SiteCaption(row);
}

void TSiteListPane::ShowSiteMenuItems(bool visible) {
    for (QAction* item : {Connect1, Edit1, Delete1, R1})
        item->setVisible(visible);
}

void TSiteListPane::ListView1SelectItem() {
    const int row = ListView1->Selected();
    const bool site = row > 0;
    ListView1->SetPopupMenu(row == 0 ? nullptr : Pbrowser);
    ShowSiteMenuItems(site);
    for (QToolButton* button : {ToolButton2, ToolButton9, ToolButton3})
        button->setEnabled(site);
    if (!site) {
        Memo2->clear();
        return;
    }
    if (const std::optional<std::string> text =
            mainwindow::SiteDescription(*dm->Tftpsite, SiteCaption(row)))
        Memo2->setPlainText(ui::ToQt(*text));
}

void TSiteListPane::ListView1DblClick() {
    const int row = ListView1->Selected();
    if (row < 0)
        return;
    if (row == 0) {
        // The list is reloaded after the dialog whether or not a site was saved.
        NewSite();
        LoadSiteList();
        return;
    }
    OpenSite(SiteCaption(row));
}

void TSiteListPane::OpenSite(const std::string& name) {
    if (OnOpenSite)
        OnOpenSite(name);
}

void TSiteListPane::NewSite() {
    TForm4 dialog(dialogsHost_, dialogsHost_.DialogParent());
    dialog.exec();
}

void TSiteListPane::FTP2Click() {
    NewSite();
}

void TSiteListPane::Edit1Click() {
    if (const std::optional<std::string> site = SelectedSite())
        EditSite(*site);
}

void TSiteListPane::EditSite(const std::string& name) {
    const std::optional<dialogs::SiteSettings> site = dialogs::SiteTable(*dm->Tftpsite).Read(name);
    if (!site)
        return;
    TForm4 dialog(dialogsHost_, dialogsHost_.DialogParent());
    dialog.FillProxySocksLists();
    dialog.OldName = name;
    dialog.setWindowTitle(QStringLiteral("Edit FTP Site"));
    dialog.ShowValues(*site);
    dialog.exec();
}

void TSiteListPane::ToolButton3Click() {
    if (const std::optional<std::string> site = SelectedSite())
        OpenSite(*site);
}

void TSiteListPane::Delete1Click() {
    const std::optional<std::string> site = SelectedSite();
    if (!site)
        return;
    if (ui::MessageDlg("Are you sure to delete <" + *site + ">?", ui::MessageKind::kConfirmation,
                       ui::mbYesNo) != ui::mrYes)
        return;
    DeleteSite(*site);
    LoadSiteList();
}

void TSiteListPane::DeleteSite(const std::string& name) {
    mainwindow::DeleteSiteWithHistory(*dm, name);
}

void TSiteListPane::R1Click() {
    const int row = ListView1->Selected();
    if (row > 0)
        ListView1->EditCaption(row);
}

void TSiteListPane::ListView1Edited(int row, std::string& caption) {
    const std::string oldName = SiteCaption(row);
    if (row == 0) {
        caption = kNewSiteItem;
        return;
    }
    if (caption == oldName)
        return;
    const mainwindow::RenameOutcome outcome =
        mainwindow::RenameSiteRow(*dm->Tftpsite, oldName, caption);
    if (outcome == mainwindow::RenameOutcome::kNameTaken) {
        ui::MessageDlg("The name " + caption + " was existed, please re-enter.",
                       ui::MessageKind::kWarning, ui::mbOK);
        caption = oldName;
        return;
    }
    if (outcome != mainwindow::RenameOutcome::kRenamed)
        return;
    if (OnSiteRenamed)
        OnSiteRenamed(oldName, caption);
}

void TSiteListPane::ToolButton5Click() {
    viewStep_ = viewStep_ - 1 == 0 ? 4 : viewStep_ - 1;
    ApplySiteViewStyle(viewStep_);
    QAction* marks[] = {MenuItem1, MenuItem2, MenuItem3, MenuItem4};
    marks[viewStep_ - 1]->setChecked(true);
}

void TSiteListPane::Refresh1Click() {
    LoadSiteList();
}

void TSiteListPane::ApplySiteViewStyle(int step) {
    static constexpr ui::ViewStyle kStyles[] = {ui::ViewStyle::kLargeIcons, ui::ViewStyle::kList,
                                                ui::ViewStyle::kSmallIcons, ui::ViewStyle::kReport};
    if (step >= 1 && step <= 4)
        ListView1->SetStyle(kStyles[step - 1]);
}
