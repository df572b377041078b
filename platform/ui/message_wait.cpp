#include "platform/ui/message_wait.h"

#include <poll.h>

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>

#include "platform/ui/message_pump.h"

namespace ui {

void WaitForMessages(int fd, short events, int timeoutMs) {
    if (timeoutMs <= 0) {
        ProcessMessages();
        return;
    }
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (QCoreApplication::instance() == nullptr || dispatcher == nullptr) {
        pollfd entry{fd, events, 0};
        ::poll(&entry, 1, timeoutMs);
        return;
    }
    // The socket and the time-out become events of the event loop, so the one blocking call of
    // the loop wakes for whichever comes first: the socket, the time, or a window message.
    QSocketNotifier socket(static_cast<qintptr>(fd),
                           (events & POLLOUT) ? QSocketNotifier::Write : QSocketNotifier::Read);
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    timer.start(timeoutMs);
    // Once the loop has woken, the socket is of no more use to this wait, and a handler run
    // inside may close the descriptor (or open another under the same number) and then run a
    // loop of its own (a nested wait, a dialog): the watch must be gone before that loop looks
    // at descriptors, or it would watch a stale one. Every loop tells the dispatcher before it
    // looks (aboutToBlock) or when it runs without blocking (awake); the first aboutToBlock
    // after this point is this wait's own.
    bool blocking = false;
    auto stopWatching = [&socket, &blocking](bool aboutToBlock) {
        if (!blocking && aboutToBlock) {
            blocking = true;
            return;
        }
        if (blocking)
            socket.setEnabled(false);
    };
    QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, &socket,
                     [&stopWatching] { stopWatching(true); });
    QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, &socket,
                     [&stopWatching] { stopWatching(false); });
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

std::function<void(int fd, short events, int timeoutMs)> MessageWait() {
    return [](int fd, short events, int timeoutMs) { WaitForMessages(fd, events, timeoutMs); };
}

}  // namespace ui
