#include "mainwindow/main_form.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "connection/tfb.h"
#include "mainwindow/banner_bar.h"
#include "mainwindow/list_file.h"
#include "mainwindow/tab_sheet.h"
#include "mainwindow/tdm.h"
#include "platform/ftp/id_exceptions.h"
#include "platform/ui/list_view.h"
#include "platform/ui/qt_text.h"

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
    PageControl1 = new QTabWidget(Splitter1);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    TabSheet1 = new TTabSheet(*PageControl1, QStringLiteral("TabSheet1"), "FTP Site", 0);
    BuildSiteList(TabSheet1);
    Splitter1->addWidget(PageControl2);
    Splitter1->addWidget(PageControl1);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({kLeftWidth, 1000});
    PageControl1->tabBar()->installEventFilter(this);
    statusBar()->setObjectName(QStringLiteral("StatusBar"));

    BuildMenus();
    ConnectHandlers();
    ClearSiteList();
    FormCreate();
}

void TForm1::FormCreate() {
    // The local bookmarks only: no table is touched before the first show, and the data
    // module does not exist yet.
    FLocalBookmarks = mainwindow::ReadListFile(programFolder_ + mainwindow::kLocalBookmarksFile);
}

TForm1::~TForm1() {
    // Frames and sheets go with their page control. Their destruction must not run the
    // window's handlers, which would act on a window that is no longer whole; the error
    // handler goes back first for the same reason.
    errorHandler_.reset();
    ListView1->OnSelectItem = nullptr;
    ListView1->OnDblClick = nullptr;
    ListView1->OnEdited = nullptr;
    PageControl1->tabBar()->removeEventFilter(this);
    PageControl1->blockSignals(true);
}

std::string TForm1::LayoutPath() const {
    return programFolder_ + "forminfo.ini";
}

void TForm1::BuildLeftSide() {
    PageControl2 = new QTabWidget(Splitter1);
    PageControl2->setObjectName(QStringLiteral("PageControl2"));
    TabSheet2 = new QWidget(PageControl2);
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    auto* localColumn = new QVBoxLayout(TabSheet2);
    localColumn->setContentsMargins(0, 0, 0, 0);
    auto* localTools = new QToolBar(TabSheet2);
    localTools->setObjectName(QStringLiteral("ToolBar4"));
    ToolButton35 = new QToolButton(localTools);
    ToolButton35->setObjectName(QStringLiteral("ToolButton35"));
    ToolButton35->setText(QStringLiteral("Upload"));
    ToolButton35->setToolTip(QStringLiteral("Upload"));
    ToolButton35->setEnabled(false);
    localTools->addWidget(ToolButton35);
    localColumn->addWidget(localTools);
    localColumn->addStretch(1);
    TabSheet3 = new QWidget(PageControl2);
    TabSheet3->setObjectName(QStringLiteral("TabSheet3"));
    TabSheet4 = new QWidget(PageControl2);
    TabSheet4->setObjectName(QStringLiteral("TabSheet4"));
    PageControl2->addTab(TabSheet2, QStringLiteral("&Local File"));
    PageControl2->addTab(TabSheet3, QStringLiteral("&History"));
    PageControl2->addTab(TabSheet4, QStringLiteral("&Tasks"));
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
    std::exception_ptr firstError;
    for (int number = PageCounter; number >= 1; --number)
        ShutDownPage(number, firstError);
    SaveMainLayout();
    if (firstError)
        std::rethrow_exception(firstError);
}

void TForm1::ShutDownPage(int number, std::exception_ptr& firstError) {
    Tfb* frame = FindFrame(number);
    if (frame == nullptr)
        return;
    // A layout that cannot be written must not keep the page connected: the error is
    // reported once the pages are shut down.
    try {
        SavePageLayout(*frame);
    } catch (...) {
        if (!firstError)
            firstError = std::current_exception();
    }
    frame->Timer1->stop();
    frame->Timer2->stop();
    try {
        frame->Disconnect();
    } catch (...) {
    }
    QWidget* sheet = frame->parentWidget();
    try {
        delete frame;
    } catch (...) {
    }
    try {
        delete sheet;
    } catch (...) {
    }
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
