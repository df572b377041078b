#pragma once
// The waiting loop of every blocking call: one step at a time, at most the anti-freeze's step
// (50 ms), with the message pump run between steps and at least once a step while data flows.
#include <cstdint>
#include <functional>

namespace ftp {

class ProgressWait {
  public:
    // timeoutMs: time allowed without progress; 0 or less waits without limit. onTimeout throws
    // the error that the caller reports for a time-out.
    ProgressWait(int timeoutMs, std::function<void()> onTimeout);

    // Waits up to one step for `events` (poll flags) on fd, and no longer than until a step has
    // passed since the last pump; pumps when it has. stillCurrent is checked before the poll and
    // after every pump: false throws EIdClosedSocket. Returns true when fd is ready (the caller
    // then moves bytes and calls Progress). Calls onTimeout when the time without progress is up.
    bool Step(int fd, short events, const std::function<bool()>& stillCurrent);

    // Bytes moved: restarts the time-out. Also pumps when a step has passed since the last pump,
    // so a transfer that never waits still lets window messages through; stillCurrent is then
    // checked as in Step.
    void Progress(const std::function<bool()>& stillCurrent);

  private:
    void PumpIfDue(const std::function<bool()>& stillCurrent, bool force);
    void CheckTimeout();

    int timeoutMs_;
    std::function<void()> onTimeout_;
    std::int64_t lastProgress_;
};

}  // namespace ftp
