#include "platform/ui/message_wait.h"

#include <poll.h>

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>

#include "platform/ui/message_pump.h"

namespace ui {

namespace {

// Ends a wait at the first event the loop delivers, whatever it is (a window message, the
// socket, the time). The socket watch goes before that event's handler runs: the handler may
// close the descriptor (or open another under its number) and run a loop of its own, which must
// not look at a stale descriptor. And the loop is told not to block again, so the wait returns
// once the events at hand are done: some dispatchers serve the posted events first and would
// then block all the same.
class WakeOnFirstEvent : public QObject {
  public:
    WakeOnFirstEvent(QSocketNotifier& socket, QAbstractEventDispatcher& dispatcher)
        : socket_(socket), dispatcher_(dispatcher) {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~WakeOnFirstEvent() override { QCoreApplication::instance()->removeEventFilter(this); }
    WakeOnFirstEvent(const WakeOnFirstEvent&) = delete;
    WakeOnFirstEvent& operator=(const WakeOnFirstEvent&) = delete;

  protected:
    bool eventFilter(QObject*, QEvent*) override {
        if (!woken_) {
            woken_ = true;
            socket_.setEnabled(false);
            dispatcher_.interrupt();
            // Nested loops of the handlers that follow need no filter of this wait.
            QCoreApplication::instance()->removeEventFilter(this);
        }
        return false;
    }

  private:
    QSocketNotifier& socket_;
    QAbstractEventDispatcher& dispatcher_;
    bool woken_ = false;
};

}  // namespace

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
    const WakeOnFirstEvent wake(socket, *dispatcher);
    // Posted deletions wait for the outer loop, as in ProcessMessages.
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

std::function<void(int fd, short events, int timeoutMs)> MessageWait() {
    return [](int fd, short events, int timeoutMs) { WaitForMessages(fd, events, timeoutMs); };
}

}  // namespace ui
