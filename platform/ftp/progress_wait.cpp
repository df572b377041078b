#include "platform/ftp/progress_wait.h"

#include <poll.h>

#include "platform/ftp/id_anti_freeze.h"
#include "platform/ftp/id_exceptions.h"
#include "platform/os/clock.h"

namespace ftp {

namespace {
// When the pump last ran (UI thread only): a transfer whose socket is always ready still lets
// the window messages through once a step.
std::int64_t lastPumpTick = 0;
}  // namespace

ProgressWait::ProgressWait(int timeoutMs, std::function<void()> onTimeout)
    : timeoutMs_(timeoutMs), onTimeout_(std::move(onTimeout)), lastProgress_(os::TickCountMs()) {}

void ProgressWait::Progress(const std::function<bool()>& stillCurrent) {
    lastProgress_ = os::TickCountMs();
    PumpIfDue(stillCurrent, false);
}

void ProgressWait::CheckTimeout() {
    if (timeoutMs_ > 0 && os::TickCountMs() - lastProgress_ >= timeoutMs_)
        onTimeout_();
}

void ProgressWait::PumpIfDue(const std::function<bool()>& stillCurrent, bool force) {
    const std::int64_t now = os::TickCountMs();
    if (force || now - lastPumpTick >= TIdAntiFreeze::StepMs()) {
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
    int stepMs = TIdAntiFreeze::StepMs();
    // No longer than until the pump is due: a wait that began late in a step would otherwise
    // keep the window without a pump for almost two steps.
    const std::int64_t untilPump = stepMs - (os::TickCountMs() - lastPumpTick);
    if (untilPump < stepMs)
        stepMs = untilPump > 0 ? static_cast<int>(untilPump) : 0;
    if (timeoutMs_ > 0) {
        const std::int64_t left = timeoutMs_ - (os::TickCountMs() - lastProgress_);
        if (left < stepMs)
            stepMs = left > 0 ? static_cast<int>(left) : 0;
    }
    pollfd entry{fd, events, 0};
    const int result = ::poll(&entry, 1, stepMs);
    const bool ready = result > 0 && (entry.revents & (events | POLLERR | POLLHUP)) != 0;
    PumpIfDue(stillCurrent, !ready);
    if (!ready)
        CheckTimeout();
    return ready;
}

}  // namespace ftp
