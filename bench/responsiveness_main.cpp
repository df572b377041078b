// How soon a connection page serves the window while it waits for its server. A thread posts
// an event every 5 ms (as the window system or an assistive tool sends them) and the delay from
// posting to handling is recorded while a page downloads a file the server sends in paced
// chunks, while the server delays a listing by 2 s, and while a connect goes unanswered (to a
// numeric address and to a name). Goals: a median delay of at most 5 ms and a longest of at
// most 15 ms in each. Then the processor time of a page that waits 10 s for a server that never
// answers (a connect, a command), whose goal is under 0.1 s. Our scripted server and a
// listener that never accepts, both on loopback; needs no root.
#include <sys/resource.h>

#include <QApplication>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/bench_database.h"
#include "bench/bench_page.h"
#include "connection/page_session.h"
#include "connection/rupdown.h"
#include "connection/tfb.h"
#include "mainwindow/engine_lifetime.h"
#include "platform/ftp/id_exceptions.h"
#include "platform/ui/testing/event_latency_probe.h"
#include "tests/ftp_servers/server_fixture.h"
#include "tests/ftp_servers/silent_listener.h"
#include "tests/ftp_servers/slow_server_script.h"
#include "tests/ftp_servers/temp_folder.h"

namespace {

constexpr int kRounds = 3;
constexpr int kIntervalMs = 5;
constexpr double kMedianGoalMs = 5;
constexpr double kLongestGoalMs = 15;
constexpr int kSilentMs = 10000;
constexpr double kCpuGoalSeconds = 0.1;
constexpr int kConnectWaitMs = 2000;

struct Scenario {
    const char* name;
    std::function<void()> wait;
    std::vector<double> medians{}, longest{}, seconds{};
    std::vector<std::size_t> events{};
};

double CpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// A download of `name` from the page's folder into `localPath`.
rupdown DownloadEntry(const std::string& name, const std::string& localPath, std::int64_t size) {
    rupdown entry;
    entry.direction = 1;
    entry.name = name;
    entry.lopath = localPath;
    entry.ftppath = "0";  // the page's folder
    entry.size = size;
    return entry;
}

// Connects `page` to host:port, a listener that never answers: returns at the time-out.
void ConnectUnanswered(Tfb& page, const std::string& host, int port, int timeoutMs) {
    page.IdFTP1.Host = host;
    page.IdFTP1.Port = port;
    const TExchangeGuard::Exchange exchange(page.Session().Guard());
    try {
        page.IdFTP1.Connect(true, timeoutMs);
    } catch (const ftp::EIdConnectTimeout&) {
        return;
    }
    throw std::runtime_error("the silent listener answered a connect");
}

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    try {
        ftptest::SlowServerPacing pacing;
        pacing.slowLists = kRounds;
        ftptest::ScriptedServer server(ftptest::ScriptedServer::Mode::kFtp,
                                       ftptest::SlowServerScript(pacing));
        ftptest::SilentListener silent;
        ftptest::TempFolder local("responsiveness-bench");

        // The queue run writes its history rows into a database of its own.
        const EngineLifetime engine;
        const bench::BenchDatabase data(local.File("all.dat"));

        bench::BenchHost host;
        auto page = std::make_unique<Tfb>(host);
        page->resize(1000, 700);
        page->show();
        bench::PointPageAt(*page, {"127.0.0.1", server.port(), "alice", "secret", "/", ""});
        page->FSite.transfermode = "binary";
        {
            const TExchangeGuard::Exchange exchange(page->Session().Guard());
            page->IdFTP1.Connect(true, 10000);
            page->FStartDir = "/";
            page->FCurrentDir = "/";
            page->ChangeDirAndList("/");  // the one listing the server does not delay
        }
        auto waiting = std::make_unique<Tfb>(host);

        Scenario scenarios[] = {
            {"paced download (100 chunks of 1000 bytes, 20 ms apart)",
             [&] {
                 const rupdown entry = DownloadEntry("slow.bin", local.File("slow.bin"),
                                                     ftptest::SlowFileSize(pacing));
                 page->AddQueueEntry(entry);
                 page->StartQueueRun(false);
                 if (!page->FQueue.empty() || std::filesystem::file_size(entry.lopath) !=
                                                  static_cast<std::uintmax_t>(entry.size))
                     throw std::runtime_error("the paced download failed");
                 std::filesystem::remove(entry.lopath);
             }},
            {"listing delayed by 2 s",
             [&] {
                 const TExchangeGuard::Exchange exchange(page->Session().Guard());
                 page->ChangeDirAndList("/");
                 if (page->FDisplayList.size() != 1)
                     throw std::runtime_error("the delayed listing did not arrive");
             }},
            {"unanswered connect to 127.0.0.1 (2 s)",
             [&] { ConnectUnanswered(*waiting, "127.0.0.1", silent.port(), kConnectWaitMs); }},
            {"unanswered connect to localhost (2 s)",
             [&] { ConnectUnanswered(*waiting, "localhost", silent.port(), kConnectWaitMs); }},
        };
        for (int round = 0; round < kRounds; ++round) {
            for (Scenario& scenario : scenarios) {
                ui::testing::EventLatencyProbe probe(kIntervalMs);
                const bench::Clock::time_point start = bench::Clock::now();
                probe.Start();
                scenario.wait();
                probe.Stop();
                scenario.seconds.push_back(bench::SecondsSince(start));
                scenario.events.push_back(probe.Delays().size());
                scenario.medians.push_back(probe.MedianDelay());
                scenario.longest.push_back(probe.LongestDelay());
            }
        }

        // Nothing posts events now: what the waits cost on their own.
        const double connectStart = CpuSeconds();
        const bench::Clock::time_point connectClock = bench::Clock::now();
        ConnectUnanswered(*waiting, "127.0.0.1", silent.port(), kSilentMs);
        const double connectCpu = CpuSeconds() - connectStart;
        const double connectWall = bench::SecondsSince(connectClock);
        const double replyStart = CpuSeconds();
        const bench::Clock::time_point replyClock = bench::Clock::now();
        page->IdFTP1.ReadTimeout = kSilentMs;
        try {
            const TExchangeGuard::Exchange exchange(page->Session().Guard());
            page->IdFTP1.SendCmd("STAT");
            throw std::runtime_error("the silent server answered STAT");
        } catch (const ftp::EIdReadTimeout&) {
        }
        const double replyCpu = CpuSeconds() - replyStart;
        const double replyWall = bench::SecondsSince(replyClock);
        waiting.reset();
        page.reset();

        std::printf("a connection page waiting, an event posted every %d ms, %d rounds\n",
                    kIntervalMs, kRounds);
        bool met = true;
        for (const Scenario& scenario : scenarios) {
            const double median =
                *std::max_element(scenario.medians.begin(), scenario.medians.end());
            const double longest =
                *std::max_element(scenario.longest.begin(), scenario.longest.end());
            const bool ok = median <= kMedianGoalMs && longest <= kLongestGoalMs;
            met = met && ok;
            std::printf("  %s\n    events per round:", scenario.name);
            for (std::size_t i = 0; i < scenario.events.size(); ++i)
                std::printf(" %zu in %.2f s", scenario.events[i], scenario.seconds[i]);
            std::printf("\n    median delay per round:");
            for (double m : scenario.medians)
                std::printf(" %.2f ms", m);
            std::printf("\n    longest delay per round:");
            for (double l : scenario.longest)
                std::printf(" %.2f ms", l);
            std::printf("\n    goal (median <= %.0f ms, longest <= %.0f ms): %s\n", kMedianGoalMs,
                        kLongestGoalMs, ok ? "met" : "NOT met");
        }
        const bool cpuOk = connectCpu < kCpuGoalSeconds && replyCpu < kCpuGoalSeconds;
        std::printf("  processor time of a page waiting on a silent server:\n");
        std::printf("    unanswered connect: %.3f s over %.1f s\n", connectCpu, connectWall);
        std::printf("    unanswered command: %.3f s over %.1f s\n", replyCpu, replyWall);
        std::printf("    goal (under %.1f s each): %s\n", kCpuGoalSeconds,
                    cpuOk ? "met" : "NOT met");
        std::printf("all goals %s\n", met && cpuOk ? "met" : "NOT met");
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "responsiveness_bench: %s\n", e.what());
        return 1;
    }
}
