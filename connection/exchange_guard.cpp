#include "connection/exchange_guard.h"

#include <QTimer>

#include <utility>

#include "platform/ui/handler_guard.h"

TExchangeGuard::Exchange::Exchange(TExchangeGuard& guard) : guard_(guard) {
    ++guard_.active_;
}

TExchangeGuard::Exchange::~Exchange() {
    guard_.Ended();
}

TExchangeGuard::TExchangeGuard(QObject& context) : context_(context) {}

std::optional<TExchangeGuard::Exchange> TExchangeGuard::TryBegin() {
    if (Busy())
        return std::nullopt;
    return std::optional<Exchange>(std::in_place, *this);
}

void TExchangeGuard::RunOrDefer(std::function<void()> command) {
    if (!Busy() && deferred_.empty()) {
        command();
        return;
    }
    deferred_.push_back(std::move(command));
}

void TExchangeGuard::Ended() {
    --active_;
    if (active_ > 0 || deferred_.empty() || drainPosted_)
        return;
    // The exchange that ended is still on the stack: the waiting commands run from the event
    // loop, and are dropped with the context.
    drainPosted_ = true;
    QTimer::singleShot(0, &context_, [this] { RunDeferred(); });
}

void TExchangeGuard::RunDeferred() {
    drainPosted_ = false;
    // One at a time: a command that starts an exchange holds the rest back until it has ended,
    // and its end posts the next drain.
    while (!Busy() && !deferred_.empty()) {
        std::function<void()> command = std::move(deferred_.front());
        deferred_.pop_front();
        ui::RunGuarded(command);
    }
}
