#pragma once
// What the page benchmarks share: times on a steady clock, the longest gap between two turns
// of the event loop, a page host that asks nothing, and a connection page pointed at a test
// server's account.
#include <QTimer>

#include <algorithm>
#include <chrono>

#include "connection/testing/quiet_page_host.h"
#include "connection/tfb.h"
#include "platform/ftp/id_ftp.h"
#include "tests/ftp_servers/ftp_account.h"

namespace bench {

using Clock = std::chrono::steady_clock;

inline double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The longest time between two calls of Turn (one per turn of the event loop).
struct Gaps {
    Clock::time_point last = Clock::now();
    double longest = 0;
    void Turn() {
        const Clock::time_point now = Clock::now();
        longest = std::max(longest, std::chrono::duration<double>(now - last).count());
        last = now;
    }
};

// The longest gap between two turns of the event loop from Start to Stop, counted by a
// zero-interval timer (one firing per turn): how long the window went without a pump.
class LoopGaps {
  public:
    LoopGaps() {
        QObject::connect(&ticker_, &QTimer::timeout, [this] { gaps_.Turn(); });
    }
    void Start() {
        gaps_ = Gaps{};
        ticker_.start(0);
    }
    // The longest gap in seconds.
    double Stop() {
        gaps_.Turn();
        ticker_.stop();
        return gaps_.longest;
    }

  private:
    Gaps gaps_;
    QTimer ticker_;
};

// The host of a page that lives without the main window.
using BenchHost = connection_testing::QuietPageHost;

// Points `page` at `account`: passive, with a read time-out of 60 s; the buffer sizes stay.
inline void PointPageAt(Tfb& page, const ftptest::FtpAccount& account) {
    page.IdFTP1.Host = account.host;
    page.IdFTP1.Port = account.port;
    page.IdFTP1.Username = account.user;
    page.IdFTP1.Password = account.password;
    page.IdFTP1.Passive = true;
    page.IdFTP1.ReadTimeout = 60000;
}

}  // namespace bench
