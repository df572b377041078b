#include "platform/ftp/progress_wait.h"

#include <poll.h>

#include <algorithm>

#include "platform/ftp/id_anti_freeze.h"
#include "platform/ftp/id_exceptions.h"
#include "platform/os/clock.h"

namespace ftp {

namespace {
// When the pump last ran (UI thread only): a transfer whose socket is always ready still lets
// the window messages through every few milliseconds.
std::int64_t lastPumpTick = 0;

// The longest look at the socket alone before a waiting step sleeps on the window system too.
constexpr std::int64_t kQuickLookMs = 1;

// The longest sleep of a waiting step. Window messages and the socket wake it at once; the
// bound only keeps a wait from depending on that alone.
constexpr int kLongestWaitMs = 500;

bool Ready(int fd, short events, int timeoutMs) {
    pollfd entry{fd, events, 0};
    const int result = ::poll(&entry, 1, timeoutMs);
    return result > 0 && (entry.revents & (events | POLLERR | POLLHUP)) != 0;
}
}  // namespace

ProgressWait::ProgressWait(int timeoutMs, std::function<void()> onTimeout)
    : timeoutMs_(timeoutMs), onTimeout_(std::move(onTimeout)), lastProgress_(os::TickCountMs()) {}

void ProgressWait::Progress(const std::function<bool()>& stillCurrent) {
    lastProgress_ = os::TickCountMs();
    PumpIfDue(stillCurrent, false, TIdAntiFreeze::BusyPumpMs());
}

void ProgressWait::CheckTimeout() {
    if (timeoutMs_ > 0 && os::TickCountMs() - lastProgress_ >= timeoutMs_)
        onTimeout_();
}

int ProgressWait::TimeLeft(int cap) const {
    if (timeoutMs_ <= 0)
        return cap;
    const std::int64_t left = timeoutMs_ - (os::TickCountMs() - lastProgress_);
    if (left >= cap)
        return cap;
    return left > 0 ? static_cast<int>(left) : 0;
}

void ProgressWait::PumpIfDue(const std::function<bool()>& stillCurrent, bool force, int dueMs) {
    const std::int64_t now = os::TickCountMs();
    if (force || now - lastPumpTick >= dueMs) {
        lastPumpTick = now;
        TIdAntiFreeze::DoProcess();
        // The pump may have run a handler that closed or replaced this connection.
        if (!stillCurrent())
            throw EIdClosedSocket();
    }
}

bool ProgressWait::Step(int fd, short events, const std::function<bool()>& stillCurrent) {
    if (!stillCurrent())
        throw EIdClosedSocket();
    const bool ready = TIdAntiFreeze::CanWait() ? WaitingStep(fd, events, stillCurrent)
                                                : PollingStep(fd, events, stillCurrent);
    if (!ready)
        CheckTimeout();
    return ready;
}

bool ProgressWait::WaitingStep(int fd, short events, const std::function<bool()>& stillCurrent) {
    // At full speed a socket that has nothing at one moment has something microseconds later,
    // tens of thousands of times per gigabyte: a short look at the socket alone spares those
    // the window system's wait, which costs far more than a poll. The look never holds back a
    // pump that is due, so a window message still waits no longer than a busy transfer's pump.
    const std::int64_t untilPump = TIdAntiFreeze::BusyPumpMs() - (os::TickCountMs() - lastPumpTick);
    const int quickMs = static_cast<int>(std::clamp<std::int64_t>(untilPump, 0, kQuickLookMs));
    if (quickMs > 0 && Ready(fd, events, TimeLeft(quickMs))) {
        PumpIfDue(stillCurrent, false, TIdAntiFreeze::BusyPumpMs());
        return true;
    }
    const int waitMs = TimeLeft(kLongestWaitMs);
    if (waitMs > 0) {
        TIdAntiFreeze::DoWait(fd, events, waitMs);
        lastPumpTick = os::TickCountMs();
        // The wait ran the window messages: a handler may have closed or replaced this
        // connection, and then the descriptor is no longer this call's to look at.
        if (!stillCurrent())
            throw EIdClosedSocket();
    }
    return Ready(fd, events, 0);
}

bool ProgressWait::PollingStep(int fd, short events, const std::function<bool()>& stillCurrent) {
    int stepMs = TIdAntiFreeze::StepMs();
    // No longer than until the pump is due: a wait that began late in a step would otherwise
    // keep the window without a pump for almost two steps.
    const std::int64_t untilPump = stepMs - (os::TickCountMs() - lastPumpTick);
    if (untilPump < stepMs)
        stepMs = untilPump > 0 ? static_cast<int>(untilPump) : 0;
    const bool ready = Ready(fd, events, TimeLeft(stepMs));
    PumpIfDue(stillCurrent, !ready, TIdAntiFreeze::StepMs());
    return ready;
}

}  // namespace ftp
