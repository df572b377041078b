#include "platform/ui/testing/event_latency_probe.h"

#include <QCoreApplication>
#include <QEvent>

#include <algorithm>

namespace ui::testing {

namespace {

const QEvent::Type kProbeEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

class ProbeEvent : public QEvent {
  public:
    explicit ProbeEvent(std::chrono::steady_clock::time_point posted)
        : QEvent(kProbeEvent), posted_(posted) {}
    std::chrono::steady_clock::time_point Posted() const { return posted_; }

  private:
    std::chrono::steady_clock::time_point posted_;
};

double Milliseconds(std::chrono::steady_clock::duration span) {
    return std::chrono::duration<double, std::milli>(span).count();
}

}  // namespace

EventLatencyProbe::EventLatencyProbe(int intervalMs) : intervalMs_(intervalMs) {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(intervalMs_);
    QObject::connect(&timer_, &QTimer::timeout, this, [this] { Fired(); });
}

EventLatencyProbe::~EventLatencyProbe() {
    running_ = false;
    if (poster_.joinable())
        poster_.join();
}

void EventLatencyProbe::Start() {
    delays_.clear();
    firings_ = 0;
    longestGap_ = 0;
    lastFiring_ = Clock::now();
    timer_.start();
    running_ = true;
    poster_ = std::thread([this] {
        Clock::time_point next = Clock::now();
        while (running_) {
            next += std::chrono::milliseconds(intervalMs_);
            std::this_thread::sleep_until(next);
            QCoreApplication::postEvent(this, new ProbeEvent(Clock::now()));
        }
    });
}

void EventLatencyProbe::Stop() {
    running_ = false;
    if (poster_.joinable())
        poster_.join();
    timer_.stop();
    QCoreApplication::sendPostedEvents(this, kProbeEvent);
}

void EventLatencyProbe::Fired() {
    const Clock::time_point now = Clock::now();
    longestGap_ = std::max(longestGap_, Milliseconds(now - lastFiring_));
    lastFiring_ = now;
    ++firings_;
}

bool EventLatencyProbe::event(QEvent* event) {
    if (event->type() != kProbeEvent)
        return QObject::event(event);
    delays_.push_back(Milliseconds(Clock::now() - static_cast<ProbeEvent*>(event)->Posted()));
    return true;
}

double EventLatencyProbe::MedianDelay() const {
    if (delays_.empty())
        return 0;
    std::vector<double> sorted = delays_;
    std::nth_element(sorted.begin(), sorted.begin() + static_cast<long>(sorted.size() / 2),
                     sorted.end());
    return sorted[sorted.size() / 2];
}

double EventLatencyProbe::LongestDelay() const {
    return delays_.empty() ? 0 : *std::max_element(delays_.begin(), delays_.end());
}

}  // namespace ui::testing
