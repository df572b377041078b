// The window is served while a page waits for its server: during a download the server paces,
// a listing it delays and a connect it never answers, events that arrive are handled within
// moments and a short timer keeps firing. The delays themselves are measured by
// bench/responsiveness_bench; here only that the waits serve the window at all, which a wait
// that pumped once per 50 ms step would not.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>

#include "platform/ui/testing/event_latency_probe.h"
#include "tests/ftp_servers/server_fixture.h"
#include "tests/ftp_servers/silent_listener.h"
#include "tests/ftp_servers/slow_server_script.h"
#include "tests/pages/page_rig.h"

namespace pagetest {
namespace {

constexpr int kIntervalMs = 5;

class PageResponsiveness : public PageRig {
  protected:
    // How many times per millisecond the probe's timer fires while the window does nothing but
    // wait for events: what this machine allows at its present load.
    static double IdleFiringRate() {
        ui::testing::EventLatencyProbe probe(kIntervalMs);
        QElapsedTimer clock;
        probe.Start();
        clock.start();
        while (clock.elapsed() < 500)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        const qint64 elapsedMs = clock.elapsed();
        probe.Stop();
        return static_cast<double>(probe.TimerFirings()) / static_cast<double>(elapsedMs);
    }

    // Runs `wait` (which takes about two seconds) with the probe running, then expects the
    // probe's timer to have fired more often than a pump per 50 ms step would allow (a tenth
    // of what its interval allows) and at least a fifth as often as the interval allows or,
    // on a machine so loaded that even an idle window is served less, half as often as the
    // idle window is, measured just before; and every posted event handled in well under a
    // second.
    void ExpectServedDuring(const std::function<void()>& wait) {
        const double idleRate = IdleFiringRate();
        ui::testing::EventLatencyProbe probe(kIntervalMs);
        QElapsedTimer clock;
        probe.Start();
        clock.start();
        wait();
        const qint64 elapsedMs = clock.elapsed();
        probe.Stop();
        EXPECT_GE(elapsedMs, 1000);  // the server did keep the page waiting
        const double allowed = static_cast<double>(elapsedMs) / kIntervalMs;
        const double expected =
            std::max(allowed / 8, std::min(allowed / 5, idleRate * elapsedMs / 2));
        EXPECT_GE(probe.TimerFirings(), expected)
            << "over " << elapsedMs << " ms, idle rate " << idleRate << " per ms";
        EXPECT_GE(static_cast<double>(probe.Delays().size()), expected);
        EXPECT_LT(probe.LongestDelay(), 1000.0);
    }
};

TEST_F(PageResponsiveness, EventsAreServedWhileThePageWaitsForItsServer) {
    const ftptest::SlowServerPacing pacing;  // 100 chunks at 20 ms, a listing 2 s late
    ftptest::ScriptedServer server(ftptest::ScriptedServer::Mode::kFtp,
                                   ftptest::SlowServerScript(pacing));
    AddServerSite({.name = "slow", .port = server.port(), .user = "alice", .password = "secret"});
    SetOptions(30, {});
    Tfb& frame = OpenSite("slow");
    ASSERT_TRUE(frame.Connected());
    ASSERT_EQ(frame.FDisplayList.size(), 1u);

    {
        SCOPED_TRACE("paced download");
        rupdown entry;
        entry.direction = 1;
        entry.name = "slow.bin";
        entry.lopath = folder_ + "slow.bin";
        entry.ftppath = "0";
        entry.size = ftptest::SlowFileSize(pacing);
        frame.AddQueueEntry(entry);
        ExpectServedDuring([&] { frame.StartQueueRun(false); });
        EXPECT_TRUE(frame.FQueue.empty());
        EXPECT_EQ(std::filesystem::file_size(entry.lopath),
                  static_cast<std::uintmax_t>(ftptest::SlowFileSize(pacing)));
    }
    {
        SCOPED_TRACE("delayed listing");
        ExpectServedDuring([&] { frame.ToolButton2Click(); });
        EXPECT_EQ(frame.FDisplayList.size(), 1u);
        EXPECT_TRUE(frame.Connected());
    }

    ftptest::SilentListener silent;
    for (const char* address : {"127.0.0.1", "localhost"}) {
        SCOPED_TRACE(std::string("connect to a silent server at ") + address);
        const std::string name = std::string("silent ") + address;
        AddServerSite({.name = name,
                       .address = address,
                       .port = silent.port(),
                       .timeout = 2,
                       .nor = 1,
                       .rd = 0});
        Tfb* page = nullptr;
        ExpectServedDuring([&] { page = &OpenSite(name); });
        EXPECT_FALSE(page->Connected());
    }
}

}  // namespace
}  // namespace pagetest
