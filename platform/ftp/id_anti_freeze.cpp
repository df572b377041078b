#include "platform/ftp/id_anti_freeze.h"

#include <algorithm>
#include <vector>

namespace ftp {

namespace {
// Alive anti-freezes in creation order; the last is in effect. Only the UI thread touches it.
std::vector<TIdAntiFreeze*>& Registry() {
    static std::vector<TIdAntiFreeze*> registry;
    return registry;
}
constexpr int kMaxStepMs = 50;
// A transfer at full speed lets the window in this often: an event waits at most this long.
constexpr int kBusyPumpMs = 5;
}  // namespace

TIdAntiFreeze::TIdAntiFreeze() {
    Registry().push_back(this);
}

TIdAntiFreeze::~TIdAntiFreeze() {
    auto& registry = Registry();
    registry.erase(std::remove(registry.begin(), registry.end(), this), registry.end());
}

TIdAntiFreeze* TIdAntiFreeze::Current() {
    auto& registry = Registry();
    return registry.empty() ? nullptr : registry.back();
}

void TIdAntiFreeze::DoProcess() {
    TIdAntiFreeze* current = Current();
    if (current && current->OnIdle) {
        // A copy, so a handler that destroys this anti-freeze does not free the running target.
        std::function<void()> idle = current->OnIdle;
        idle();
    }
}

bool TIdAntiFreeze::CanWait() {
    TIdAntiFreeze* current = Current();
    return current && current->OnWait;
}

void TIdAntiFreeze::DoWait(int fd, short events, int timeoutMs) {
    // A copy for the same reason as in DoProcess.
    std::function<void(int, short, int)> wait = Current()->OnWait;
    wait(fd, events, timeoutMs);
}

int TIdAntiFreeze::StepMs() {
    TIdAntiFreeze* current = Current();
    if (!current || current->IdleTimeOut < 1 || current->IdleTimeOut > kMaxStepMs) {
        return kMaxStepMs;
    }
    return current->IdleTimeOut;
}

int TIdAntiFreeze::BusyPumpMs() {
    return std::min(StepMs(), kBusyPumpMs);
}

}  // namespace ftp
