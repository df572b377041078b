#pragma once
// How soon the user-interface thread serves what arrives while a long call waits: a thread of
// its own posts an event every few milliseconds (as the window system or an assistive tool
// would send one), stamped with its posting time, and the probe records the delay until the
// event is handled. A timer of the user-interface thread with the same interval counts how
// often it fired and the longest gap between two of its firings.
//
// Create, start and stop on the user-interface thread; Stop joins the posting thread and
// serves what it posted last, so every posted event is in Delays() afterwards.
#include <QObject>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace ui::testing {

class EventLatencyProbe : public QObject {
  public:
    explicit EventLatencyProbe(int intervalMs = 5);
    ~EventLatencyProbe() override;
    EventLatencyProbe(const EventLatencyProbe&) = delete;
    EventLatencyProbe& operator=(const EventLatencyProbe&) = delete;

    void Start();
    void Stop();

    // Posting-to-handling delays in milliseconds, in posting order.
    const std::vector<double>& Delays() const { return delays_; }
    double MedianDelay() const;
    double LongestDelay() const;
    // Firings of the timer and the longest gap between two (from Start to Stop), milliseconds.
    int TimerFirings() const { return firings_; }
    double LongestTimerGap() const { return longestGap_; }

  protected:
    bool event(QEvent* event) override;

  private:
    using Clock = std::chrono::steady_clock;
    void Fired();

    int intervalMs_;
    QTimer timer_;
    std::thread poster_;
    std::atomic<bool> running_{false};
    std::vector<double> delays_;
    int firings_ = 0;
    double longestGap_ = 0;
    Clock::time_point lastFiring_;
};

}  // namespace ui::testing
