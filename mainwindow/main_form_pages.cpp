// The connection pages of the main window: "tab" + N sheets holding "fr" + N frames, found by
// caption, closed by hiding their tab and shown again, and the Upload button that follows the
// active page.
#include <exception>
#include <utility>

#include <QMenu>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "connection/tfb.h"
#include "mainwindow/main_form.h"
#include "mainwindow/tab_sheet.h"
#include "platform/ui/message_pump.h"

namespace {

QString FrameName(int number) {
    return QStringLiteral("fr") + QString::number(number);
}

// The child frame of `sheet` with that name, compared without regard to letter case.
Tfb* FrameOn(QWidget& sheet, const QString& name) {
    for (QObject* child : sheet.children()) {
        auto* frame = dynamic_cast<Tfb*>(child);
        if (frame != nullptr && frame->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return frame;
    }
    return nullptr;
}

// Steps of closing a page before its tab is hidden. Only the disconnect is guarded here. A
// layout that cannot be written is no reason to keep the page connected: the write error is
// handed back, to be reported once the page is closed.
std::exception_ptr ClosePageSteps(TForm1& form, Tfb& frame) {
    std::exception_ptr layoutError;
    try {
        form.SavePageLayout(frame);
    } catch (...) {
        layoutError = std::current_exception();
    }
    frame.Timer1->stop();
    frame.Timer2->stop();
    try {
        frame.Disconnect();
    } catch (...) {
        // The session is gone either way; closing goes on.
    }
    frame.ClearLists();
    return layoutError;
}

}  // namespace

void TForm1::SetActivePage(int index) {
    // A change the program makes runs no page-change handler.
    const bool wasChanging = std::exchange(changingPage_, true);
    PageControl1->setCurrentIndex(index);
    changingPage_ = wasChanging;
}

Tfb* TForm1::ActiveFrame() const {
    auto* sheet = dynamic_cast<TTabSheet*>(PageControl1->currentWidget());
    if (sheet == nullptr)
        return nullptr;
    return FrameOn(*sheet, FrameName(sheet->Tag()));
}

TTabSheet* TForm1::FindSitePage(const std::string& name) const {
    // The site-list sheet is never a site's page, whatever the site is called.
    for (int index = 1; index < PageControl1->count(); ++index) {
        auto* sheet = dynamic_cast<TTabSheet*>(PageControl1->widget(index));
        if (sheet != nullptr && sheet->Caption() == name)
            return sheet;
    }
    return nullptr;
}

Tfb* TForm1::FindFrame(int number) const {
    const QString name = FrameName(number);
    for (int index = 0; index < PageControl1->count(); ++index) {
        if (Tfb* frame = FrameOn(*PageControl1->widget(index), name))
            return frame;
    }
    return nullptr;
}

void TForm1::OpenSitePage(const std::string& name, bool quickConnect) {
    ui::ProcessMessages();
    if (TTabSheet* sheet = FindSitePage(name)) {
        const bool wasVisible = sheet->TabVisible();
        sheet->SetTabVisible(true);
        SetActivePage(sheet->PageIndex());
        Tfb* frame = FrameOn(*sheet, FrameName(sheet->Tag()));
        if (frame != nullptr && !wasVisible)
            frame->ConnectSite(quickConnect);
        return;
    }
    const int number = ++PageCounter;
    auto* sheet =
        new TTabSheet(*PageControl1, QStringLiteral("tab") + QString::number(number), name, number);
    auto* layout = new QVBoxLayout(sheet);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* frame = new Tfb(sheet);
    frame->setObjectName(FrameName(number));
    frame->setProperty("Tag", number);
    frame->FSiteName = name;
    layout->addWidget(frame);
    LoadPageLayout(*frame);
    SetActivePage(sheet->PageIndex());
    frame->ConnectSite(quickConnect);
    PageControl1Change();
}

void TForm1::CloseActivePage() {
    Tfb* frame = ActiveFrame();
    if (frame == nullptr)
        return;
    std::exception_ptr layoutError;
    try {
        layoutError = ClosePageSteps(*this, *frame);
        auto* sheet = static_cast<TTabSheet*>(frame->parentWidget());
        const bool wasChanging = std::exchange(changingPage_, true);
        sheet->SetTabVisible(false);
        changingPage_ = wasChanging;
    } catch (...) {
        // Closing a page ends silently at its first error; the steps done stay done.
    }
    if (layoutError)
        std::rethrow_exception(layoutError);
}

void TForm1::Closeall1Click() {
    std::exception_ptr firstLayoutError;
    for (int number = PageCounter; number >= 1; --number) {
        Tfb* frame = FindFrame(number);
        if (frame == nullptr)
            continue;
        std::exception_ptr layoutError = ClosePageSteps(*this, *frame);
        if (layoutError && !firstLayoutError)
            firstLayoutError = layoutError;
        const bool wasChanging = std::exchange(changingPage_, true);
        static_cast<TTabSheet*>(frame->parentWidget())->SetTabVisible(false);
        changingPage_ = wasChanging;
    }
    if (firstLayoutError)
        std::rethrow_exception(firstLayoutError);
}

void TForm1::PageControl1MouseDown(Qt::MouseButton button, const QPoint& position) {
    if (button != Qt::RightButton)
        return;
    const int index = PageControl1->tabBar()->tabAt(position);
    if (index < 0)
        return;  // no tab under the pointer: nothing to act on
    SetActivePage(index);
    if (index != 0)
        PopupMenu1->popup(PageControl1->tabBar()->mapToGlobal(position));
}

void TForm1::PageControl1Change() {
    if (PageControl1->currentIndex() == 0) {
        ToolButton35->setEnabled(false);
        return;
    }
    if (Tfb* frame = ActiveFrame())
        ToolButton35->setEnabled(frame->Connected());
}
