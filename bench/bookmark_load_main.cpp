// The local bookmark menu against a bare menu, in one run: a "bookmark.dat" of N folders is
// read into the main window's bookmark menu ("load": what the window's creation waits for),
// then the menu is shown once ("shown": the first click on the menu's arrow, which makes the
// items: one per folder with the shared picture, its folder and its click handler). The peer
// is a plain menu that gets the same N captions read from the same file with one picture
// ("load") and is then shown once: Qt's own floor for a menu of that length. Each time is the
// best of three rounds; the ratios are ours/peer for the load and for load and showing
// together. The memory is the growth of the process's resident size over the first load and
// showing of our menu, per bookmark.
//
// Usage: bookmark_load_bench [count]...  (default: 5000 50000)
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QStyle>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "mainwindow/local_bookmarks.h"
#include "platform/os/testing/temp_folder.h"
#include "shared/list_file.h"

namespace {

using Clock = std::chrono::steady_clock;

long ResidentKb() {
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    statm >> size >> resident;
    return resident * 4;
}

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void ShowOnce(QMenu& menu) {
    menu.popup(QPoint(0, 0));
    QApplication::processEvents();
    menu.hide();
    QApplication::processEvents();
}

struct Times {
    double loadMs = 1e30;
    double shownMs = 1e30;
};

// The best load and showing of three rounds; `round` fills a menu and returns it shown.
Times BestOfThree(const std::function<void(double& loadMs, double& shownMs)>& round) {
    Times best;
    for (int i = 0; i < 3; ++i) {
        double load = 0;
        double shown = 0;
        round(load, shown);
        best.loadMs = std::min(best.loadMs, load);
        best.shownMs = std::min(best.shownMs, shown);
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    std::vector<int> counts;
    for (int i = 1; i < argc; ++i)
        counts.push_back(std::atoi(argv[i]));
    if (counts.empty())
        counts = {5000, 50000};
    const os::testing::TempFolder folder("bookmark-bench");
    const std::string list = folder.File("bookmark.dat");
    std::printf("%10s %9s %9s %6s %9s %9s %6s %12s\n", "bookmarks", "load ms", "peer", "ratio",
                "shown ms", "peer", "total", "KB/bookmark");
    for (const int count : counts) {
        std::vector<std::string> folders;
        for (int i = 0; i < count; ++i)
            folders.push_back("/home/user/projects/folder" + std::to_string(i));
        shared::WriteListFile(list, folders);
        // Measured on the first round, before later ones reuse what earlier ones freed.
        long grownKb = -1;
        const Times ours = BestOfThree([&](double& loadMs, double& shownMs) {
            QWidget owner;
            const long before = ResidentKb();
            const auto start = Clock::now();
            TLocalBookmarks bookmarks(owner, list);
            bookmarks.LoadLocalBookmarks();
            loadMs = MsSince(start);
            const auto shown = Clock::now();
            ShowOnce(*bookmarks.popbookmark);
            shownMs = MsSince(shown);
            if (grownKb < 0)
                grownKb = ResidentKb() - before;
        });
        const QIcon picture = QApplication::style()->standardIcon(QStyle::SP_DirIcon);
        const Times peer = BestOfThree([&](double& loadMs, double& shownMs) {
            QMenu menu;
            const auto start = Clock::now();
            for (const std::string& text : shared::ReadListFile(list))
                menu.addAction(picture,
                               QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
            loadMs = MsSince(start);
            const auto shown = Clock::now();
            ShowOnce(menu);
            shownMs = MsSince(shown);
        });
        std::printf("%10d %9.1f %9.1f %6.2f %9.1f %9.1f %6.2f %12.2f\n", count, ours.loadMs,
                    peer.loadMs, ours.loadMs / peer.loadMs, ours.shownMs, peer.shownMs,
                    (ours.loadMs + ours.shownMs) / (peer.loadMs + peer.shownMs),
                    static_cast<double>(grownKb) / count);
    }
    return 0;
}
