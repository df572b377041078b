// The window is served while a page waits for its server: during a download the server paces,
// a listing it delays and a connect it never answers, events that arrive are handled within
// moments and a short timer keeps firing. The delays themselves are measured by
// bench/responsiveness_bench; here only that the waits serve the window at all, which a wait
// that pumped once per 50 ms step would not.
#include <gtest/gtest.h>

#include <QElapsedTimer>

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
    // Runs `wait` (which takes about two seconds) with the probe running, then expects the
    // probe's timer to have fired at least a fifth as often as its interval allows (a pump
    // per 50 ms step allows a tenth; under the sanitizers on a fully loaded machine the waits
    // that wake for the window gave some three tenths) and every posted event handled in well
    // under a second.
    void ExpectServedDuring(const std::function<void()>& wait) {
        ui::testing::EventLatencyProbe probe(kIntervalMs);
        QElapsedTimer clock;
        probe.Start();
        clock.start();
        wait();
        const qint64 elapsedMs = clock.elapsed();
        probe.Stop();
        EXPECT_GE(elapsedMs, 1000);  // the server did keep the page waiting
        EXPECT_GE(probe.TimerFirings(), elapsedMs / kIntervalMs / 5)
            << "over " << elapsedMs << " ms";
        EXPECT_GE(probe.Delays().size(), static_cast<std::size_t>(elapsedMs / kIntervalMs / 5));
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
