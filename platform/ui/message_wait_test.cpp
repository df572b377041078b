#include "platform/ui/message_wait.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/ui/testing/qt_test_environment.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kLongWaitMs = 20000;  // never reached when the wait wakes as it should

// Two connected sockets; writing into one makes the other readable.
struct SocketPair {
    SocketPair() { EXPECT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds), 0); }
    ~SocketPair() {
        for (int fd : fds)
            if (fd >= 0)
                ::close(fd);
    }
    int fds[2] = {-1, -1};
};

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The wait ends for the first of: its socket (now or later, from another thread), a message
// posted from another thread, a timer of this thread, its time. Each of these ends a wait of
// 20 s long before that.
TEST(MessageWait, WakesForTheSocketOrAMessageWhicheverComesFirst) {
    struct Case {
        const char* name;
        std::function<void(SocketPair&, bool& ran, std::thread& other)> arrange;
        short events;
        bool handlerRuns;
    };
    const Case cases[] = {
        {"socket readable already",
         [](SocketPair& pair, bool&, std::thread&) { ASSERT_EQ(::write(pair.fds[1], "x", 1), 1); },
         POLLIN, false},
        {"socket writable", [](SocketPair&, bool&, std::thread&) {}, POLLOUT, false},
        {"socket readable later",
         [](SocketPair& pair, bool&, std::thread& other) {
             other = std::thread([fd = pair.fds[1]] {
                 std::this_thread::sleep_for(std::chrono::milliseconds(30));
                 EXPECT_EQ(::write(fd, "x", 1), 1);
             });
         },
         POLLIN, false},
        {"message posted from another thread",
         [](SocketPair&, bool& ran, std::thread& other) {
             other = std::thread([&ran] {
                 std::this_thread::sleep_for(std::chrono::milliseconds(30));
                 QMetaObject::invokeMethod(
                     qApp, [&ran] { ran = true; }, Qt::QueuedConnection);
             });
         },
         POLLIN, true},
        {"timer of this thread",
         [](SocketPair&, bool& ran, std::thread&) {
             QTimer::singleShot(30, qApp, [&ran] { ran = true; });
         },
         POLLIN, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SocketPair pair;
        bool ran = false;
        std::thread other;
        c.arrange(pair, ran, other);
        const Clock::time_point start = Clock::now();
        // A wait may return early; it is called until its reason to end is there.
        for (int turns = 0; turns < 100; ++turns) {
            ui::WaitForMessages(pair.fds[0], c.events, kLongWaitMs);
            pollfd entry{pair.fds[0], c.events, 0};
            if (c.handlerRuns ? ran : ::poll(&entry, 1, 0) == 1)
                break;
        }
        if (other.joinable())
            other.join();
        EXPECT_EQ(ran, c.handlerRuns);
        EXPECT_LT(SecondsSince(start), kLongWaitMs / 2000.0);
    }
    SocketPair silent;
    const Clock::time_point start = Clock::now();
    ui::WaitForMessages(silent.fds[0], POLLIN, 50);
    EXPECT_LT(SecondsSince(start), kLongWaitMs / 2000.0);
}

// A handler run by the wait closes the watched descriptor and waits on another socket, made
// before the close or after it (then under the same number): the outer watch is gone by then,
// so no loop looks at a stale descriptor (Qt would warn of an invalid socket), and every wait
// returns.
TEST(MessageWait, AHandlerMayCloseOrReuseTheWatchedDescriptor) {
    static std::vector<std::string> warnings;
    for (const bool reuse : {false, true}) {
        SCOPED_TRACE(reuse ? "number reused" : "closed");
        warnings.clear();
        const QtMessageHandler previous =
            qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
                warnings.push_back(text.toStdString());
            });
        SocketPair outer;
        const int watched = outer.fds[0];
        bool nestedDone = false;
        QTimer::singleShot(0, qApp, [&] {
            std::unique_ptr<SocketPair> nested;
            if (!reuse)
                nested = std::make_unique<SocketPair>();
            ::close(outer.fds[0]);
            outer.fds[0] = -1;
            if (reuse) {
                nested = std::make_unique<SocketPair>();  // the lowest free number
                EXPECT_EQ(nested->fds[0], watched);
            }
            ui::WaitForMessages(nested->fds[0], POLLIN, 30);
            QTimer::singleShot(0, qApp, [] {});
            ui::WaitForMessages(nested->fds[0], POLLIN, 30);
            nestedDone = true;
        });
        ui::WaitForMessages(watched, POLLIN, kLongWaitMs);
        qInstallMessageHandler(previous);
        EXPECT_TRUE(nestedDone);
        EXPECT_EQ(warnings, std::vector<std::string>{});
    }
}

}  // namespace
