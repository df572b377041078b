#include "mainwindow/connection_pages.h"
#include "mainwindow/named_controls.h"

#include <exception>
#include <utility>

#include <QAction>
#include <QMenu>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "connection/page_host.h"
#include "connection/tfb.h"
#include "mainwindow/layout_keeper.h"
#include "platform/ui/handler_guard.h"
#include "platform/ui/message_pump.h"
#include "shared/tab_sheet.h"

namespace {

using mainwindow::AddMenuItem;

QString FrameName(int number) {
    return QStringLiteral("fr") + QString::number(number);
}

// The child frame of `sheet` with that name, compared without regard to letter case; a frame
// that is shut down (and waits to be freed) is no page any more.
Tfb* FrameOn(QWidget& sheet, const QString& name) {
    for (QObject* child : sheet.children()) {
        auto* frame = qobject_cast<Tfb*>(child);
        if (frame != nullptr && !frame->Lifetime().IsShutDown() &&
            frame->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return frame;
    }
    return nullptr;
}

}  // namespace

TConnectionPages::TConnectionPages(QTabWidget& pageControl, QToolButton& uploadButton,
                                   TPageHost& host, TLayoutKeeper& layout,
                                   std::int32_t& pageCounter, QWidget& menuOwner)
    : QObject(&pageControl),
      pageControl_(pageControl),
      uploadButton_(uploadButton),
      host_(host),
      layout_(layout),
      pageCounter_(pageCounter) {
    setObjectName(QStringLiteral("ConnectionPages"));
    PopupMenu1 = new QMenu(&menuOwner);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    Closepage1 = AddMenuItem(*PopupMenu1, "Closepage1", "Close current page");
    PopupMenu1->addSeparator();
    Closeall1 = AddMenuItem(*PopupMenu1, "Closeall1", "Close all");
    connect(Closepage1, &QAction::triggered, this, ui::Guarded([this] { CloseActivePage(); }));
    connect(Closeall1, &QAction::triggered, this, ui::Guarded([this] { Closeall1Click(); }));
    connect(&pageControl_, &QTabWidget::currentChanged, this, ui::Guarded([this] {
        if (!changingPage_)
            PageControl1Change();
    }));
}

void TConnectionPages::SetActivePage(int index) {
    // A change the program makes runs no page-change handler.
    const bool wasChanging = std::exchange(changingPage_, true);
    pageControl_.setCurrentIndex(index);
    changingPage_ = wasChanging;
}

Tfb* TConnectionPages::ActiveFrame() const {
    auto* sheet = qobject_cast<TTabSheet*>(pageControl_.currentWidget());
    if (sheet == nullptr)
        return nullptr;
    return FrameOn(*sheet, FrameName(sheet->Tag()));
}

TTabSheet* TConnectionPages::FindSitePage(const std::string& name) const {
    // The site-list sheet is never a site's page, whatever the site is called.
    for (int index = 1; index < pageControl_.count(); ++index) {
        auto* sheet = qobject_cast<TTabSheet*>(pageControl_.widget(index));
        if (sheet != nullptr && sheet->Caption() == name)
            return sheet;
    }
    return nullptr;
}

Tfb* TConnectionPages::FindFrame(int number) const {
    const QString name = FrameName(number);
    for (int index = 0; index < pageControl_.count(); ++index) {
        if (Tfb* frame = FrameOn(*pageControl_.widget(index), name))
            return frame;
    }
    return nullptr;
}

Tfb* TConnectionPages::OpenSitePage(const std::string& name, bool quickConnect) {
    ui::ProcessMessages();
    if (TTabSheet* sheet = FindSitePage(name)) {
        const bool wasVisible = sheet->TabVisible();
        sheet->SetTabVisible(true);
        SetActivePage(sheet->PageIndex());
        Tfb* frame = FrameOn(*sheet, FrameName(sheet->Tag()));
        if (frame == nullptr)
            return nullptr;
        // Held across the connect: it tells whether the page was closed while it pumped, and
        // keeps a page shut down meanwhile from being freed under this call.
        const TPageLifetime::Run opening(frame->Lifetime());
        if (!wasVisible)
            frame->ConnectSite(quickConnect);
        return opening.Stopped() ? nullptr : frame;
    }
    const int number = ++pageCounter_;
    auto* sheet =
        new TTabSheet(pageControl_, QStringLiteral("tab") + QString::number(number), name, number);
    auto* layout = new QVBoxLayout(sheet);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* frame = new Tfb(host_, sheet);
    frame->setObjectName(FrameName(number));
    frame->setProperty("Tag", number);
    frame->FSiteName = name;
    frame->SetDialogs(pageDialogs_);
    layout->addWidget(frame);
    host_.SetPageImage(*frame, 0);  // a new page is disconnected until its connect succeeds
    layout_.LoadPageLayout(*frame);
    SetActivePage(sheet->PageIndex());
    const TPageLifetime::Run opening(frame->Lifetime());
    frame->ConnectSite(quickConnect);
    // The Upload button follows the new page first: an error while its bookmarks are read
    // must not leave the button of the page before.
    PageControl1Change();
    const auto newSitePage = OnNewSitePage;
    if (!quickConnect && newSitePage && !frame->Lifetime().IsShutDown())
        newSitePage(name, *frame);
    return opening.Stopped() ? nullptr : frame;
}

void TConnectionPages::HideTab(TTabSheet& sheet) {
    const bool wasChanging = std::exchange(changingPage_, true);
    sheet.SetTabVisible(false);
    changingPage_ = wasChanging;
}

void TConnectionPages::CloseActivePage() {
    Tfb* frame = ActiveFrame();
    if (frame == nullptr)
        return;
    const std::exception_ptr layoutError = frame->ClosePage();
    HideTab(*static_cast<TTabSheet*>(frame->parentWidget()));
    if (layoutError)
        std::rethrow_exception(layoutError);
}

void TConnectionPages::Closeall1Click() {
    std::exception_ptr firstLayoutError;
    for (Tfb* frame : Frames()) {
        std::exception_ptr layoutError = frame->ClosePage();
        if (layoutError && !firstLayoutError)
            firstLayoutError = layoutError;
        HideTab(*static_cast<TTabSheet*>(frame->parentWidget()));
    }
    if (firstLayoutError)
        std::rethrow_exception(firstLayoutError);
}

std::exception_ptr TConnectionPages::ShutDownAll() {
    std::exception_ptr firstLayoutError;
    for (Tfb* frame : Frames()) {
        // The sheet goes with its frame: it owns it, and without it the tab would stay.
        std::exception_ptr layoutError = frame->ShutDown(frame->parentWidget());
        if (layoutError && !firstLayoutError)
            firstLayoutError = layoutError;
    }
    return firstLayoutError;
}

void TConnectionPages::RenameSitePages(const std::string& oldName, const std::string& newName) {
    // Every page of the site follows the new name, its frame included, so that it reads the
    // renamed row when it connects again.
    for (int index = 1; index < pageControl_.count(); ++index) {
        auto* sheet = qobject_cast<TTabSheet*>(pageControl_.widget(index));
        if (sheet == nullptr || sheet->Caption() != oldName)
            continue;
        sheet->SetCaption(newName);
        if (Tfb* frame = FindFrame(sheet->Tag()))
            frame->FSiteName = newName;
    }
}

std::vector<Tfb*> TConnectionPages::Frames() const {
    std::vector<Tfb*> frames;
    for (int number = pageCounter_; number >= 1; --number) {
        if (Tfb* frame = FindFrame(number))
            frames.push_back(frame);
    }
    return frames;
}

void TConnectionPages::PageControl1MouseDown(Qt::MouseButton button, const QPoint& position) {
    if (button != Qt::RightButton)
        return;
    const int index = pageControl_.tabBar()->tabAt(position);
    if (index < 0)
        return;  // no tab under the pointer: nothing to act on
    SetActivePage(index);
    if (index != 0)
        PopupMenu1->popup(pageControl_.tabBar()->mapToGlobal(position));
}

void TConnectionPages::PageControl1Change() {
    if (pageControl_.currentIndex() == 0) {
        uploadButton_.setEnabled(false);
        return;
    }
    if (Tfb* frame = ActiveFrame())
        uploadButton_.setEnabled(frame->Connected());
}
