#include "platform/ftp/progress_wait.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "platform/ftp/id_anti_freeze.h"
#include "platform/ftp/id_exceptions.h"
#include "platform/os/clock.h"

namespace ftp {
namespace {

struct TimedOut : std::runtime_error {
    TimedOut() : std::runtime_error("timed out") {}
};

// Two connected sockets; the test writes into one to make the other readable.
class SocketPair : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, fds_), 0); }
    void TearDown() override {
        ::close(fds_[0]);
        ::close(fds_[1]);
    }
    int fds_[2] = {-1, -1};
};

const auto kAlways = [] { return true; };

TEST_F(SocketPair, SilenceEndsInTheTimeOutAfterPumpingEveryStep) {
    TIdAntiFreeze antiFreeze;
    int pumps = 0;
    antiFreeze.OnIdle = [&] { ++pumps; };
    ProgressWait wait(200, [] { throw TimedOut(); });
    const std::int64_t start = os::TickCountMs();
    EXPECT_THROW(
        {
            for (;;)
                wait.Step(fds_[0], POLLIN, kAlways);
        },
        TimedOut);
    EXPECT_GE(os::TickCountMs() - start, 200);
    EXPECT_GE(pumps, 3);  // 200 ms in steps of at most 50 ms
}

TEST_F(SocketPair, ReadyDescriptorAndProgressRestartTheClock) {
    ProgressWait wait(150, [] { throw TimedOut(); });
    ASSERT_EQ(::write(fds_[1], "x", 1), 1);
    EXPECT_TRUE(wait.Step(fds_[0], POLLIN, kAlways));
    // Progress every 50 ms keeps a 150 ms time-out from firing for far longer than 150 ms.
    for (int i = 0; i < 6; ++i) {
        EXPECT_FALSE(wait.Step(fds_[1], POLLPRI, kAlways));
        wait.Progress(kAlways);
    }
}

TEST_F(SocketPair, ProgressWithoutWaitingStillPumps) {
    TIdAntiFreeze antiFreeze;
    int pumps = 0;
    antiFreeze.OnIdle = [&] { ++pumps; };
    ProgressWait wait(0, [] { throw TimedOut(); });
    const std::int64_t start = os::TickCountMs();
    while (os::TickCountMs() - start < 160)
        wait.Progress(kAlways);
    EXPECT_GE(pumps, 10);  // every 5 ms; a pump per 50 ms step would give at most 4
}

// With OnWait, a step hands its socket to the pump's wait and pumps nothing else; the wait
// is bounded by the time left, and what the wait runs is checked as any pump.
TEST_F(SocketPair, AWaitingPumpGetsTheSocketAndTheTimeLeft) {
    TIdAntiFreeze antiFreeze;
    int idles = 0;
    std::vector<int> waits;
    antiFreeze.OnIdle = [&] { ++idles; };
    antiFreeze.OnWait = [&](int fd, short events, int timeoutMs) {
        EXPECT_EQ(fd, fds_[0]);
        EXPECT_EQ(events, POLLIN);
        waits.push_back(timeoutMs);
        pollfd entry{fd, events, 0};
        ::poll(&entry, 1, timeoutMs);
    };
    ProgressWait silent(200, [] { throw TimedOut(); });
    EXPECT_THROW(
        {
            for (;;)
                silent.Step(fds_[0], POLLIN, kAlways);
        },
        TimedOut);
    ASSERT_FALSE(waits.empty());
    for (int timeoutMs : waits) {
        EXPECT_GT(timeoutMs, 0);
        EXPECT_LE(timeoutMs, 200);
    }
    EXPECT_EQ(idles, 0);

    ProgressWait ready(0, [] { throw TimedOut(); });
    ASSERT_EQ(::write(fds_[1], "x", 1), 1);
    EXPECT_TRUE(ready.Step(fds_[0], POLLIN, kAlways));
    char byte = 0;
    ASSERT_EQ(::read(fds_[0], &byte, 1), 1);  // silent again: the next steps wait

    bool open = true;
    antiFreeze.OnWait = [&](int, short, int) { open = false; };  // a handler closing it
    EXPECT_THROW(ready.Step(fds_[0], POLLIN, [&] { return open; }), EIdClosedSocket);
    antiFreeze.OnWait = [&](int, short, int) { throw TimedOut(); };  // a pump's own error
    EXPECT_THROW(ready.Step(fds_[0], POLLIN, kAlways), TimedOut);
}

TEST_F(SocketPair, ConnectionClosedByAPumpFailsTheWait) {
    TIdAntiFreeze antiFreeze;
    bool open = true;
    antiFreeze.OnIdle = [&] { open = false; };  // a nested handler closing the connection
    ProgressWait wait(0, [] { throw TimedOut(); });
    EXPECT_THROW(wait.Step(fds_[0], POLLIN, [&] { return open; }), EIdClosedSocket);
    EXPECT_THROW(wait.Step(fds_[0], POLLIN, [&] { return open; }), EIdClosedSocket);
}

}  // namespace
}  // namespace ftp
