// The main window's side of the window-layout file: [MAIN] for the window, [FTP] for pages.
#include <algorithm>

#include <QSplitter>
#include <QTabWidget>

#include "connection/tfb.h"
#include "mainwindow/main_form.h"
#include "mainwindow/window_layout.h"
#include "platform/ui/list_view.h"

namespace {

ui::ViewStyle ListStyle(mainwindow::ViewStyle style) {
    switch (style) {
        case mainwindow::ViewStyle::kLargeIcons:
            return ui::ViewStyle::kLargeIcons;
        case mainwindow::ViewStyle::kList:
            return ui::ViewStyle::kList;
        case mainwindow::ViewStyle::kSmallIcons:
            return ui::ViewStyle::kSmallIcons;
        case mainwindow::ViewStyle::kReport:
            break;
    }
    return ui::ViewStyle::kReport;
}

int ViewCode(ui::ViewStyle style) {
    switch (style) {
        case ui::ViewStyle::kLargeIcons:
            return mainwindow::CodeOfViewStyle(mainwindow::ViewStyle::kLargeIcons);
        case ui::ViewStyle::kList:
            return mainwindow::CodeOfViewStyle(mainwindow::ViewStyle::kList);
        case ui::ViewStyle::kSmallIcons:
            return mainwindow::CodeOfViewStyle(mainwindow::ViewStyle::kSmallIcons);
        case ui::ViewStyle::kReport:
            break;
    }
    return mainwindow::CodeOfViewStyle(mainwindow::ViewStyle::kReport);
}

// Applies a stored view code; any other number leaves the list's style.
void ApplyViewCode(ui::ListView& list, int code) {
    if (const std::optional<mainwindow::ViewStyle> style = mainwindow::ViewStyleOfCode(code))
        list.SetStyle(ListStyle(*style));
}

}  // namespace

void TForm1::LoadMainLayout() {
    const mainwindow::MainLayout layout = mainwindow::ReadMainLayout(LayoutPath());
    if (layout.p2 >= 0 && layout.p2 <= 2)
        PageControl2->setCurrentIndex(layout.p2);
    if (layout.localPath != "-1")
        FLocalPath = layout.localPath;
    QList<int> sizes = Splitter1->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    Splitter1->setSizes({layout.pwidth, std::max(total - layout.pwidth, 1)});
    ApplyViewCode(*ListView1, layout.ftpSiteView);
}

void TForm1::SaveMainLayout() {
    mainwindow::MainLayout layout;
    layout.p2 = PageControl2->currentIndex();
    layout.localPath = FLocalPath;
    layout.pwidth = PageControl2->width();
    layout.ftpSiteView = ViewCode(ListView1->Style());
    mainwindow::WriteMainLayout(LayoutPath(), layout);
}

void TForm1::LoadPageLayout(Tfb& frame) {
    const mainwindow::PageLayout layout = mainwindow::ReadPageLayout(LayoutPath());
    frame.SetLogHeight(layout.info);
    frame.SetQueueHeight(layout.updown);
    ApplyViewCode(*frame.ListView2, layout.lvcView);
}

void TForm1::SavePageLayout(Tfb& frame) {
    mainwindow::PageLayout layout;
    layout.info = frame.LogHeight();
    layout.updown = frame.QueueHeight();
    layout.lvcView = ViewCode(frame.ListView2->Style());
    mainwindow::WritePageLayout(LayoutPath(), layout);
}
