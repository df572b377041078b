#include "mainwindow/main_form.h"

#include <QCloseEvent>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "connection/quick_connect_target.h"
#include "connection/tfb.h"
#include "dialogs/about_dialog.h"
#include "dialogs/bookmark_manager.h"
#include "dialogs/bookmark_rows.h"
#include "dialogs/options_dialog.h"
#include "dialogs/page_dialog_box.h"
#include "dialogs/product_links.h"
#include "dialogs/quick_connect_dialog.h"
#include "mainwindow/banner_bar.h"
#include "mainwindow/connection_pages.h"
#include "mainwindow/force_local_folders.h"
#include "mainwindow/history_page.h"
#include "mainwindow/history_rerun.h"
#include "mainwindow/layout_keeper.h"
#include "mainwindow/local_bookmarks.h"
#include "mainwindow/local_file_pane.h"
#include "mainwindow/local_task_rows.h"
#include "mainwindow/main_transfers.h"
#include "mainwindow/site_list_pane.h"
#include "mainwindow/site_rows.h"
#include "mainwindow/task_run.h"
#include "mainwindow/task_tree.h"
#include "platform/ftp/id_exceptions.h"
#include "platform/os/program_folder.h"
#include "platform/ui/help_service.h"
#include "platform/ui/qt_text.h"
#include "platform/ui/shared_icons.h"
#include "platform/ui/shell_list_view.h"
#include "platform/ui/ui_services.h"
#include "shared/list_file.h"
#include "shared/open_table.h"
#include "shared/tab_sheet.h"
#include "shared/tdm.h"

TForm1* Form1 = nullptr;

namespace {

constexpr const char* kTitle = "Zantrope FREE Edition";
constexpr const char* kDatabaseFile = "all.dat";
constexpr const char* kBookmarkDatabaseFile = "FTPBookmark.dat";
constexpr const char* kBookmarkTable = "bookmark";
constexpr int kLeftWidth = 307;

}  // namespace

TForm1::TForm1(std::string programFolder, QWidget* parent)
    : QMainWindow(parent), programFolder_(std::move(programFolder)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromLatin1(kTitle));
    errorHandler_ = std::make_unique<ui::ScopedApplicationErrorHandler>(
        [this](std::exception_ptr error) { ApplicationEvents1Exception(error); });

    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    ZezovozPanel1 = new TBannerBar(central);
    column->addWidget(ZezovozPanel1);
    Splitter1 = new QSplitter(Qt::Horizontal, central);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    column->addWidget(Splitter1, 1);
    setCentralWidget(central);

    BuildLeftSide();
    BuildTasksPage();
    PageControl1 = new QTabWidget(Splitter1);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    TabSheet1 = new TTabSheet(*PageControl1, QStringLiteral("TabSheet1"), "FTP Site", 0);
    sites_ = new TSiteListPane(*TabSheet1, *this, FSiteViewStep, *this);
    ToolBar1 = sites_->ToolBar1;
    ToolButton37 = sites_->ToolButton37;
    ToolButton2 = sites_->ToolButton2;
    ToolButton9 = sites_->ToolButton9;
    ToolButton3 = sites_->ToolButton3;
    ToolButton5 = sites_->ToolButton5;
    ToolButton4 = sites_->ToolButton4;
    ListView1 = sites_->ListView1;
    Splitter2 = sites_->Splitter2;
    Label1 = sites_->Label1;
    Memo2 = sites_->Memo2;
    Pbrowser = sites_->Pbrowser;
    Connect1 = sites_->Connect1;
    New1 = sites_->New1;
    Edit1 = sites_->Edit1;
    Delete1 = sites_->Delete1;
    R1 = sites_->R1;
    Refresh1 = sites_->Refresh1;
    view2 = sites_->view2;
    MenuItem1 = sites_->MenuItem1;
    MenuItem2 = sites_->MenuItem2;
    MenuItem3 = sites_->MenuItem3;
    MenuItem4 = sites_->MenuItem4;
    Splitter1->addWidget(PageControl2);
    Splitter1->addWidget(PageControl1);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({kLeftWidth, 1000});
    PageControl1->tabBar()->installEventFilter(this);
    statusBar()->setObjectName(QStringLiteral("StatusBar"));

    layout_ = std::make_unique<TLayoutKeeper>(programFolder_ + "forminfo.ini", *Splitter1,
                                              *PageControl2, *ListView1, *local_);
    pages_ =
        new TConnectionPages(*PageControl1, *ToolButton35, *this, *layout_, PageCounter, *this);
    pageDialogs_ = std::make_unique<TPageDialogBox>(*this, programFolder_);
    pageDialogs_->SetTaskTree(tasks_);
    pages_->SetPageDialogs(pageDialogs_.get());
    transfers_ = std::make_unique<TMainTransfers>(*local_, [this] { return ActiveFrame(); });
    rerun_ = std::make_unique<THistoryRerun>(
        []() -> Tdm& { return *dm; },
        [this](const std::string& name) { return pages_->OpenSitePage(name, false); });
    PopupMenu1 = pages_->PopupMenu1;
    Closepage1 = pages_->Closepage1;
    Closeall1 = pages_->Closeall1;
    ConnectHandlers();
    FormCreate();
}

void TForm1::FormCreate() {
    // The local bookmarks only: no table is touched before the first show, and the data
    // module does not exist yet.
    LoadLocalBookmarks();
}

void TForm1::ConnectHandlers() {
    sites_->OnOpenSite = [this](const std::string& name) { OpenSitePage(name, false); };
    pages_->OnNewSitePage = [this](const std::string& name, Tfb& frame) {
        LoadPageBookmarks(name, frame);
    };
    sites_->OnSiteRenamed = [this](const std::string& oldName, const std::string& newName) {
        pages_->RenameSitePages(oldName, newName);
    };
    bookmarks_->OnAdd = [this] { ToolButton28Click(); };
    bookmarks_->OnGoTo = [this](const std::string& folder) { local_->SetRoot(folder); };
    bookmarks_->OnManage = [this] { Bookmarkmanager1Click(); };
    history_->OnExecute = [this](const rhd& record) { rerun_->Execute(record); };
    connect(ToolButton28, &QToolButton::clicked, this,
            ui::Guarded([this] { ToolButton28Click(); }));
    connect(ToolButton35, &QToolButton::clicked, this,
            ui::Guarded([this] { ToolButton35Click(); }));
    ShellListView1->OnDragOver = [this](const ui::ListDrag& drag) {
        return ShellListView1DragOver(drag);
    };
    ShellListView1->OnDragDrop = [this](const ui::ListDrag& drag) { ShellListView1DragDrop(drag); };
    connect(ZezovozPanel1->SpeedButton2, &QToolButton::clicked, this,
            ui::Guarded([this] { SpeedButton2Click(); }));
    connect(ZezovozPanel1->SpeedButton1, &QToolButton::clicked, this,
            ui::Guarded([this] { SpeedButton1Click(); }));
    connect(ZezovozPanel1->SpeedButton3, &QToolButton::clicked, this,
            ui::Guarded([this] { SpeedButton3Click(); }));
    connect(ZezovozPanel1->SpeedButton4, &QToolButton::clicked, this,
            ui::Guarded([this] { SpeedButton4Click(); }));
    connect(ZezovozPanel1->SpeedButton6, &QToolButton::clicked, this,
            ui::Guarded([this] { SpeedButton6Click(); }));
    connect(ToolButton37, &QToolButton::clicked, this,
            ui::Guarded([this] { ToolButton37Click(); }));
    connect(ZezovozPanel1->SpeedButton5, &QToolButton::clicked, this,
            ui::Guarded([this] { SpeedButton5Click(); }));
    connect(ToolButton4, &QToolButton::clicked, this, ui::Guarded([this] { ToolButton4Click(); }));
    connect(ToolButton36, &QToolButton::clicked, this,
            ui::Guarded([this] { ToolButton36Click(); }));
    connect(ToolButton30, &QToolButton::clicked, this,
            ui::Guarded([this] { ToolButton30Click(); }));
    tasks_->OnExecute = [this](const rtask& task) { taskRun_->Execute(task); };
}

TForm1::~TForm1() {
    // Frames and sheets go with their page control. Their destruction must not run the
    // window's handlers, which would act on a window that is no longer whole; the error
    // handler goes back first for the same reason.
    errorHandler_.reset();
    sites_->OnOpenSite = nullptr;
    sites_->OnSiteRenamed = nullptr;
    pages_->OnNewSitePage = nullptr;
    bookmarks_->OnAdd = nullptr;
    bookmarks_->OnGoTo = nullptr;
    bookmarks_->OnManage = nullptr;
    history_->OnExecute = nullptr;
    ShellListView1->OnDragOver = nullptr;
    ShellListView1->OnDragDrop = nullptr;
    tasks_->OnExecute = nullptr;
    PageControl1->tabBar()->removeEventFilter(this);
    PageControl1->blockSignals(true);
}

std::string TForm1::LayoutPath() const {
    return layout_->Path();
}

void TForm1::BuildLeftSide() {
    PageControl2 = new QTabWidget(Splitter1);
    PageControl2->setObjectName(QStringLiteral("PageControl2"));
    TabSheet2 = new QWidget(PageControl2);
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    local_ = new TLocalFilePane(*TabSheet2, *this, FLocalViewStep);
    ToolBar4 = local_->ToolBar4;
    ToolButton19 = local_->ToolButton19;
    ToolButton28 = local_->ToolButton28;
    ToolButton30 = local_->ToolButton30;
    ToolButton35 = local_->ToolButton35;
    ToolButton31 = local_->ToolButton31;
    ToolButton36 = local_->ToolButton36;
    JvDriveCombo1 = local_->JvDriveCombo1;
    ShellListView1 = local_->ShellListView1;
    view = local_->view;
    Largeison1 = local_->Largeison1;
    List2 = local_->List2;
    Smallicon2 = local_->Smallicon2;
    Report2 = local_->Report2;
    bookmarks_ = new TLocalBookmarks(*this, programFolder_ + shared::kLocalBookmarksFile);
    popbookmark = bookmarks_->popbookmark;
    AddBookmark1 = bookmarks_->AddBookmark1;
    Bookmarkmanager1 = bookmarks_->Bookmarkmanager1;
    N2 = bookmarks_->N2;
    ToolButton28->setMenu(popbookmark);
    TabSheet3 = new QWidget(PageControl2);
    TabSheet3->setObjectName(QStringLiteral("TabSheet3"));
    history_ = new THistoryPage(
        *TabSheet3, *this, []() -> Tdm& { return *dm; }, programFolder_);
    ToolBar2 = history_->ToolBar2;
    ToolButton1 = history_->ToolButton1;
    ToolButton6 = history_->ToolButton6;
    ToolButton16 = history_->ToolButton16;
    ToolButton7 = history_->ToolButton7;
    ToolButton11 = history_->ToolButton11;
    ToolButton15 = history_->ToolButton15;
    ToolButton14 = history_->ToolButton14;
    TreeView1 = history_->TreeView1;
    Panel4 = history_->Panel4;
    Label4 = history_->Label4;
    Label6 = history_->Label6;
    Label12 = history_->Label12;
    Label14 = history_->Label14;
    Label2 = history_->Label2;
    Label10 = history_->Label10;
    Phistory = history_->Phistory;
    Execute1 = history_->Execute1;
    Delete2 = history_->Delete2;
    TabSheet4 = new QWidget(PageControl2);
    TabSheet4->setObjectName(QStringLiteral("TabSheet4"));
    PageControl2->addTab(TabSheet2, QStringLiteral("&Local File"));
    PageControl2->addTab(TabSheet3, QStringLiteral("&History"));
    PageControl2->addTab(TabSheet4, QStringLiteral("&Tasks"));
}

void TForm1::BuildTasksPage() {
    tasks_ = new TTaskTree(*TabSheet4, *this, programFolder_, [this] { return SiteNames(); });
    ToolButton34 = tasks_->ToolButton34;
    ToolButton23 = tasks_->ToolButton23;
    ToolButton26 = tasks_->ToolButton26;
    ToolButton18 = tasks_->ToolButton18;
    ToolButton17 = tasks_->ToolButton17;
    ToolButton21 = tasks_->ToolButton21;
    ToolButton22 = tasks_->ToolButton22;
    ToolButton25 = tasks_->ToolButton25;
    TreeView2 = tasks_->TreeView2;
    Memo1 = tasks_->Memo1;
    Poptask = tasks_->Poptask;
    Edit2 = tasks_->Edit2;
    Delete3 = tasks_->Delete3;
    Execute2 = tasks_->Execute2;
    TTaskRun::Needs needs;
    needs.openSitePage = [this](const std::string& site) {
        return pages_->OpenSitePage(site, false);
    };
    needs.forceLocalFolders = [this](const std::string& folder) {
        return ForceLocalFolders(folder);
    };
    taskRun_ = std::make_unique<TTaskRun>(std::move(needs));
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    ui::RunGuarded([this] { FormShow(); });
}

void TForm1::FormShow() {
    vesk::TVeskDatabase& database = *dm->VeskDatabase1;
    database.SetConnected(false);
    database.SetFileName(programFolder_ + kDatabaseFile);
    database.SetConnected(true);
    // The table name after the database name: setting a database name clears the table name.
    dm->Tftpb->SetDatabaseName(programFolder_ + kBookmarkDatabaseFile);
    dm->Tftpb->SetTableName(kBookmarkTable);
    LoadSiteList();
    LoadTaskTree();
    LoadMainLayout();
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (!closed_) {
        closed_ = true;
        ui::RunGuarded([this] { FormClose(); });
    }
    QMainWindow::closeEvent(event);
}

void TForm1::FormClose() {
    // From the highest page number down; a layout that cannot be written keeps no page
    // connected, and its error is reported once every page is shut down.
    const std::exception_ptr firstError = pages_->ShutDownAll();
    SaveMainLayout();
    if (firstError)
        std::rethrow_exception(firstError);
}

void TForm1::ApplicationEvents1Exception(std::exception_ptr error) {
    try {
        if (error)
            std::rethrow_exception(error);
        lastErrorText_ = "unknown error";
    } catch (const ftp::EIdConnClosedGracefully&) {
        lastErrorText_ = "The server closed the connection.";
    } catch (const std::exception& e) {
        lastErrorText_ = e.what();
    } catch (...) {
        lastErrorText_ = "unknown error";
    }
    statusBar()->showMessage(ui::ToQt(lastErrorText_));
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == PageControl1->tabBar() && event->type() == QEvent::MouseButtonPress) {
        const auto* press = static_cast<QMouseEvent*>(event);
        const Qt::MouseButton button = press->button();
        const QPoint position = press->position().toPoint();
        ui::RunGuarded([&] { PageControl1MouseDown(button, position); });
        if (button == Qt::RightButton)
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- site list ----

void TForm1::LoadSiteList() {
    sites_->LoadSiteList();
}

void TForm1::ClearSiteList() {
    sites_->ClearSiteList();
}

void TForm1::ShowSiteMenuItems(bool visible) {
    sites_->ShowSiteMenuItems(visible);
}

void TForm1::DeleteSite(const std::string& name) {
    sites_->DeleteSite(name);
}

std::optional<std::string> TForm1::SelectedSite() const {
    return sites_->SelectedSite();
}

void TForm1::ListView1SelectItem() {
    sites_->ListView1SelectItem();
}

void TForm1::ListView1DblClick() {
    sites_->ListView1DblClick();
}

void TForm1::FTP2Click() {
    sites_->FTP2Click();
}

void TForm1::Edit1Click() {
    sites_->Edit1Click();
}

void TForm1::EditSite(const std::string& name) {
    sites_->EditSite(name);
}

void TForm1::Delete1Click() {
    sites_->Delete1Click();
}

void TForm1::R1Click() {
    sites_->R1Click();
}

void TForm1::ListView1Edited(int row, std::string& caption) {
    sites_->ListView1Edited(row, caption);
}

void TForm1::ToolButton3Click() {
    sites_->ToolButton3Click();
}

void TForm1::ToolButton5Click() {
    sites_->ToolButton5Click();
}

void TForm1::Refresh1Click() {
    sites_->Refresh1Click();
}

int TForm1::SiteCount() const {
    return sites_->SiteCount();
}

std::string TForm1::SiteCaption(int row) const {
    return sites_->SiteCaption(row);
}

// ---- connection pages ----

void TForm1::OpenSitePage(const std::string& name, bool quickConnect) {
    pages_->OpenSitePage(name, quickConnect);
}

void TForm1::OpenQuickConnectPage(const std::string& host, int port, const std::string& user,
                                  const std::string& password, bool passive) {
    // The page reads the server while it loads its settings, inside OpenSitePage.
    const TQuickConnectTarget target{host, port, user, password, passive};
    const TScopedQuickConnectTarget inEffect(target);
    pages_->OpenSitePage(host, true);
}

void TForm1::CloseActivePage() {
    pages_->CloseActivePage();
}

void TForm1::Closeall1Click() {
    pages_->Closeall1Click();
}

void TForm1::PageControl1MouseDown(Qt::MouseButton button, const QPoint& position) {
    pages_->PageControl1MouseDown(button, position);
}

void TForm1::PageControl1Change() {
    pages_->PageControl1Change();
}

Tfb* TForm1::ActiveFrame() const {
    return pages_->ActiveFrame();
}

TTabSheet* TForm1::FindSitePage(const std::string& name) const {
    return pages_->FindSitePage(name);
}

Tfb* TForm1::FindFrame(int number) const {
    return pages_->FindFrame(number);
}

// ---- local file pane ----

void TForm1::ToolButton19Click() {
    local_->ToolButton19Click();
}

void TForm1::JvDriveCombo1Change() {
    local_->JvDriveCombo1Change();
}

void TForm1::ToolButton31Click() {
    local_->ToolButton31Click();
}

void TForm1::Largeison1Click() {
    local_->ApplyLocalViewStyle(1);
}

void TForm1::List2Click() {
    local_->ApplyLocalViewStyle(2);
}

void TForm1::Smallicon2Click() {
    local_->ApplyLocalViewStyle(3);
}

void TForm1::Report2Click() {
    local_->ApplyLocalViewStyle(4);
}

// ---- local bookmarks ----

void TForm1::LoadLocalBookmarks() {
    bookmarks_->LoadLocalBookmarks();
}

std::vector<std::string> TForm1::LocalBookmarks() const {
    return bookmarks_->Folders();
}

void TForm1::ToolButton28Click() {
    bookmarks_->AddFolder(local_->ShownFolder());
}

void TForm1::LocalBookmarkClick(QAction& item) {
    bookmarks_->LocalBookmarkClick(item);
}

void TForm1::Bookmarkmanager1Click() {
    TForm17 dialog(*this, programFolder_ + shared::kLocalBookmarksFile, this);
    dialog.ShowLocalPage();
    dialog.exec();
}

// The site is found by the name the page was opened with: at creation that is the page's site.
void TForm1::LoadPageBookmarks(const std::string& siteName, Tfb& frame) {
    if (dm == nullptr)
        return;
    std::int32_t siteId = 0;
    {
        OpenTable table(*dm->Tftpsite);
        if (!table->Locate("name", siteName))
            return;
        siteId = table->FieldByName("id").AsInteger();
    }
    frame.SetBookmarkPaths(dialogs::ReadSiteBookmarks(*dm->Tftpb, siteId));
}

// ---- transfers started from the main window ----

bool TForm1::ShellListView1DragOver(const ui::ListDrag& drag) const {
    return transfers_->ShellListView1DragOver(drag);
}

void TForm1::ShellListView1DragDrop(const ui::ListDrag& drag) {
    transfers_->ShellListView1DragDrop(drag);
}

void TForm1::ToolButton35Click() {
    transfers_->ToolButton35Click();
}

// ---- tasks page and task runs ----

void TForm1::LoadTaskTree() {
    tasks_->LoadTaskTree();
}

void TForm1::TreeView2Change() {
    tasks_->TreeView2Change();
}

void TForm1::PoptaskPopup() {
    tasks_->PoptaskPopup();
}

void TForm1::ToolButton34Click() {
    tasks_->LoadTaskTree();
}

void TForm1::ToolButton23Click() {
    tasks_->ToolButton23Click();
}

void TForm1::ToolButton26Click() {
    tasks_->ToolButton26Click();
}

void TForm1::ToolButton18Click() {
    tasks_->ToolButton18Click();
}

void TForm1::ToolButton17Click() {
    tasks_->ToolButton17Click();
}

void TForm1::ToolButton21Click() {
    tasks_->ToolButton21Click();
}

void TForm1::ToolButton22Click() {
    tasks_->ToolButton22Click();
}

void TForm1::ToolButton30Click() {
    if (local_->SelectedItems().empty())
        return;
    tasks_->ShowNewUploadTask(LocalTaskRows(*local_));
}

// ---- layout ----

void TForm1::LoadMainLayout() {
    layout_->LoadMainLayout();
}

void TForm1::SaveMainLayout() {
    layout_->SaveMainLayout();
}

void TForm1::LoadPageLayout(Tfb& frame) {
    layout_->LoadPageLayout(frame);
}

// ---- the pages' host ----

void TForm1::SavePageLayout(Tfb& frame) {
    layout_->SavePageLayout(frame);
}

void TForm1::SetUploadEnabled(bool enabled) {
    ToolButton35->setEnabled(enabled);
}

bool TForm1::IsActivePage(const Tfb& frame) const {
    return pages_->ActiveFrame() == &frame;
}

void TForm1::SetPageImage(Tfb& frame, int image) {
    auto* sheet = qobject_cast<TTabSheet*>(frame.parentWidget());
    if (sheet == nullptr)
        return;
    sheet->SetImageIndex(image);
    const QIcon icon = image == 1
                           ? ui::ThemedIcon("network-transmit-receive", QStyle::SP_DriveNetIcon)
                           : ui::ThemedIcon("network-offline", QStyle::SP_DialogNoButton);
    PageControl1->setTabIcon(sheet->PageIndex(), icon);
}

std::vector<std::string> TForm1::SiteNames() const {
    std::vector<std::string> names;
    for (int row = 1; row < sites_->SiteCount(); ++row)
        names.push_back(sites_->SiteCaption(row));
    return names;
}

std::string TForm1::LocalFolder() const {
    return local_->ShownFolder();
}

std::vector<std::string> TForm1::TaskCategories() const {
    std::vector<std::string> categories;
    for (const TTaskCategory& category : tasks_->TreeCategories())
        categories.push_back(category.name);
    return categories;
}

// ---- the dialogs' host ----

void TForm1::SetLocalBookmarks(const std::vector<std::string>& folders) {
    bookmarks_->SetFolders(folders);
}

void TForm1::SaveLocalBookmarks() {
    bookmarks_->SaveLocalBookmarks();
}

std::vector<Tfb*> TForm1::Pages() const {
    return pages_->Frames();
}

Tfb* TForm1::ActivePage() const {
    return ActiveFrame();
}

void TForm1::ReloadPageOptions() {
    // Every page created since start, closed ones included, from the highest number down.
    for (Tfb* frame : pages_->Frames())
        frame->ReloadOptions();
}

QWidget* TForm1::DialogParent() {
    return this;
}

// ---- banner and toolbar commands ----

void TForm1::SpeedButton1Click() {
    TForm2 dialog(*this, this);
    dialog.exec();
}

// An address the desktop has no program for is named in a message.
void TForm1::SpeedButton3Click() {
    ui::ShellOpenOrSay(dialogs::kContactMailLink, dialogs::kContactMail);
}

void TForm1::SpeedButton4Click() {
    ui::ShellOpenOrSay(dialogs::kHomePage, dialogs::kHomePage);
}

void TForm1::SpeedButton6Click() {
    TForm16 dialog(this);
    dialog.exec();
}

void TForm1::SpeedButton2Click() {
    close();
}

void TForm1::ToolButton37Click() {
    TForm15 dialog(*this, this);
    dialog.exec();
}

void TForm1::SpeedButton5Click() {
    ui::HelpFinder(os::ProgramFolder());
}

void TForm1::ToolButton4Click() {
    ui::HelpJump(os::ProgramFolder(), "Newitem");
}

void TForm1::ToolButton36Click() {
    ui::HelpJump(os::ProgramFolder(), "Newitem20");
}

// ---- history page ----

const THistoryItems& TForm1::FHistoryItems() const {
    return history_->FHistoryItems;
}

void TForm1::LoadHistoryTree() {
    history_->LoadHistoryTree();
}

void TForm1::DeleteSiteHistory(std::int32_t siteId) {
    mainwindow::DeleteHistoryOfSite(*dm, siteId);
}

void TForm1::ToolButton1Click() {
    history_->ToolButton1Click();
}

void TForm1::TreeView1Change(QTreeWidgetItem* node) {
    history_->TreeView1Change(node);
}

void TForm1::PhistoryPopup() {
    history_->PhistoryPopup();
}

void TForm1::ToolButton6Click() {
    history_->ToolButton6Click();
}

void TForm1::ToolButton16Click() {
    history_->ToolButton16Click();
}

void TForm1::ToolButton7Click() {
    history_->ToolButton7Click();
}

void TForm1::ToolButton11Click() {
    history_->ToolButton11Click();
}

void TForm1::ToolButton15Click() {
    history_->ToolButton15Click();
}

// ---- local folders of downloads ----

bool TForm1::ForceLocalFolders(const std::string& path) {
    return ForceLocalFolderLevels(path);
}
