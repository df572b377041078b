#include "mainwindow/layout_keeper.h"

#include <sys/stat.h>

#include <algorithm>
#include <utility>

#include <QSplitter>
#include <QTabWidget>

#include "connection/tfb.h"
#include "mainwindow/local_file_pane.h"
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

TLayoutKeeper::TLayoutKeeper(std::string path, QSplitter& splitter, QTabWidget& leftPages,
                             ui::ListView& siteList, TLocalFilePane& localPane)
    : path_(std::move(path)),
      splitter_(splitter),
      leftPages_(leftPages),
      siteList_(siteList),
      localPane_(localPane) {}

void TLayoutKeeper::LoadMainLayout() {
    const mainwindow::MainLayout layout = mainwindow::ReadMainLayout(path_);
    // Read: from here on the window shows it, even when a stored folder is refused below.
    mainRead_ = true;
    if (layout.p2 >= 0 && layout.p2 <= 2)
        leftPages_.setCurrentIndex(layout.p2);
    if (layout.localPath != "-1")
        localPane_.SetRoot(layout.localPath);
    QList<int> sizes = splitter_.sizes();
    const int total = sizes.value(0) + sizes.value(1);
    splitter_.setSizes({layout.pwidth, std::max(total - layout.pwidth, 1)});
    ApplyViewCode(siteList_, layout.ftpSiteView);
}

void TLayoutKeeper::SaveMainLayout() {
    if (!mainRead_)
        return;
    mainwindow::MainLayout layout;
    layout.p2 = leftPages_.currentIndex();
    // "-1" keeps the pane's default root at the next start.
    const std::string shown = localPane_.ShownFolder();
    struct stat status {};
    const bool folder = ::stat(shown.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
    layout.localPath = folder ? shown : "-1";
    layout.pwidth = leftPages_.width();
    layout.ftpSiteView = ViewCode(siteList_.Style());
    mainwindow::WriteMainLayout(path_, layout);
}

void TLayoutKeeper::LoadPageLayout(Tfb& frame) {
    const mainwindow::PageLayout layout = mainwindow::ReadPageLayout(path_);
    frame.SetLogHeight(layout.info);
    frame.SetQueueHeight(layout.updown);
    ApplyViewCode(*frame.ListView2, layout.lvcView);
}

void TLayoutKeeper::SavePageLayout(Tfb& frame) {
    mainwindow::PageLayout layout;
    layout.info = frame.LogHeight();
    layout.updown = frame.QueueHeight();
    layout.lvcView = ViewCode(frame.ListView2->Style());
    mainwindow::WritePageLayout(path_, layout);
}
