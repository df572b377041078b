#include "connection/page_lifetime.h"

#include <utility>

TPageLifetime::Run::Run(TPageLifetime& lifetime)
    : lifetime_(lifetime), generation_(lifetime.generation_) {
    ++lifetime_.runs_;
}

TPageLifetime::Run::~Run() {
    lifetime_.RunEnded();
}

bool TPageLifetime::Run::Stopped() const {
    // A new generation means a close came in between, even if the page was opened again:
    // the run's view of the queue and the connection is no longer the page's.
    return lifetime_.shutDown_ || lifetime_.generation_ != generation_;
}

void TPageLifetime::MarkClosed() {
    closed_ = true;
    ++generation_;
}

void TPageLifetime::Reopen() {
    if (!shutDown_)
        closed_ = false;
}

void TPageLifetime::ShutDown(std::function<void()> release) {
    if (shutDown_)
        return;
    shutDown_ = true;
    closed_ = true;
    ++generation_;
    release_ = std::move(release);
    if (runs_ == 0 && release_)
        std::exchange(release_, nullptr)();
}

void TPageLifetime::RunEnded() {
    --runs_;
    // The last run has left the page: the release it was holding back may go now.
    if (runs_ == 0 && shutDown_ && release_)
        std::exchange(release_, nullptr)();
}
