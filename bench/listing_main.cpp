// A folder of 100,000 entries listed into a connection page, against curl's raw LIST of the
// same folder, both from the same private vsftpd in the same run. Ours is timed from the
// listing command (CWD, TYPE, PWD, LIST) to the sorted list painted in the page (offscreen);
// curl from its start to its exit with the raw listing written. Also the longest gap between
// two turns of the event loop while the page lists (a zero-interval timer counts the turns; the
// paint that ends our time comes after the page has returned to the loop, so it is no gap).
// Needs root (vsftpd). Prints every time, the best of each and the ratio ours/curl.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QTreeView>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/bench_page.h"
#include "connection/page_session.h"
#include "connection/tfb.h"
#include "platform/ui/list_view.h"
#include "platform/ui/owner_data_model.h"
#include "tests/ftp_servers/child_process.h"
#include "tests/ftp_servers/temp_folder.h"
#include "tests/ftp_servers/vsftpd_server.h"

namespace {

constexpr int kEntries = 100000;
constexpr int kRounds = 3;
using bench::BenchHost;
using bench::Clock;
using bench::SecondsSince;

// Empty files of a few extensions, so the type names and the sort have work to do.
void MakeFolder(const std::string& folder) {
    ::mkdir(folder.c_str(), 0755);
    static const char* const kExtensions[] = {"txt", "jpg", "zip", "html", "dat"};
    char name[64];
    for (int i = 0; i < kEntries; ++i) {
        std::snprintf(name, sizeof name, "/file%06d.%s", (i * 7919) % kEntries, kExtensions[i % 5]);
        const int fd = ::open((folder + name).c_str(), O_CREAT | O_WRONLY, 0644);
        if (fd < 0)
            throw std::runtime_error("cannot create " + folder + name);
        ::close(fd);
    }
}

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    try {
        ftptest::VsftpdServer server;
        const ftptest::FtpAccount& account = server.account();
        MakeFolder(account.local_folder + "big");
        const std::string folder = account.remote_folder + "big";
        const std::string url = "ftp://" + account.user + ":" + account.password + "@" +
                                account.host + ":" + std::to_string(account.port) + folder + "/";
        ftptest::TempFolder local("listing-bench");

        BenchHost host;
        Tfb page(host);
        page.resize(1000, 700);
        page.show();
        bench::PointPageAt(page, account);
        page.IdFTP1.RecvBufferSize = 65536;
        {
            auto exchange = page.Session().Guard().TryBegin();
            page.IdFTP1.Connect(true, 10000);
        }

        std::vector<double> ours, curl, loopGaps;
        for (int round = 0; round < kRounds; ++round) {
            {
                const Clock::time_point start = Clock::now();
                ftptest::ChildProcess child({"/usr/bin/curl", "-s", "-S", "--disable-epsv", "-o",
                                             local.File("list.txt"), url},
                                            local.File("curl.log"), false);
                if (child.Wait() != 0)
                    throw std::runtime_error("curl failed (log " + local.File("curl.log") + ")");
                curl.push_back(SecondsSince(start));
            }
            {
                page.ClearRemoteLists();
                QApplication::processEvents();
                bench::LoopGaps gaps;
                const Clock::time_point start = Clock::now();
                gaps.Start();
                {
                    auto exchange = page.Session().Guard().TryBegin();
                    page.ChangeDirAndList(folder);
                }
                // The page is done: the window is back in its loop, whose next turn paints.
                const double longestGap = gaps.Stop();
                // Painted: the rows the view shows are asked for and drawn.
                page.ListView2->ReportView()->viewport()->repaint();
                const double seconds = SecondsSince(start);
                ours.push_back(seconds);
                loopGaps.push_back(longestGap);
                if (page.RemoteItems->RowCount() != kEntries)
                    throw std::runtime_error(
                        "the page shows " + std::to_string(page.RemoteItems->RowCount()) + " rows");
            }
        }
        page.Disconnect();

        std::printf("vsftpd on 127.0.0.1, a folder of %d entries, passive mode, %d rounds\n",
                    kEntries, kRounds);
        auto line = [](const char* who, const std::vector<double>& times) {
            std::printf("  %-5s", who);
            for (double t : times)
                std::printf(" %7.3f s", t);
            std::printf("   best %7.3f s\n", *std::min_element(times.begin(), times.end()));
        };
        line("ours", ours);
        line("curl", curl);
        std::printf("  ratio ours/curl (best runs): %.3f\n",
                    *std::min_element(ours.begin(), ours.end()) /
                        *std::min_element(curl.begin(), curl.end()));
        std::printf("  longest gap between two event-loop turns, per round:");
        for (double gap : loopGaps)
            std::printf(" %.1f ms", gap * 1000.0);
        std::printf("\n");
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "listing_bench: %s\n", e.what());
        return 1;
    }
}
