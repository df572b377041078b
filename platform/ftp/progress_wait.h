#pragma once
// The waiting loop of every blocking call. With the anti-freeze's OnWait, a step looks at the
// socket alone for up to a millisecond (never past a due pump), then sleeps on the socket and
// the window system at once and pumps as soon as either wakes it; without it, a step polls the
// socket for at most the anti-freeze's step (50 ms) and pumps between steps. While data flows
// the pump runs at least every BusyPumpMs (5 ms).
#include <cstdint>
#include <functional>

namespace ftp {

class ProgressWait {
  public:
    // timeoutMs: time allowed without progress; 0 or less waits without limit. onTimeout throws
    // the error that the caller reports for a time-out.
    ProgressWait(int timeoutMs, std::function<void()> onTimeout);

    // Waits for `events` (poll flags) on fd, pumping: until fd is ready or a window message is
    // pending (OnWait), or up to one step and no longer than until a step has passed since the
    // last pump (without it). stillCurrent is checked before the wait and after every pump:
    // false throws EIdClosedSocket. Returns true when fd is ready (the caller then moves bytes
    // and calls Progress). Calls onTimeout when the time without progress is up.
    bool Step(int fd, short events, const std::function<bool()>& stillCurrent);

    // Bytes moved: restarts the time-out. Also pumps when BusyPumpMs have passed since the last
    // pump, so a transfer that never waits still lets window messages through; stillCurrent is
    // then checked as in Step.
    void Progress(const std::function<bool()>& stillCurrent);

  private:
    bool WaitingStep(int fd, short events, const std::function<bool()>& stillCurrent);
    bool PollingStep(int fd, short events, const std::function<bool()>& stillCurrent);
    void PumpIfDue(const std::function<bool()>& stillCurrent, bool force, int dueMs);
    // Milliseconds left until the time-out, capped at `cap`; `cap` without a time-out.
    int TimeLeft(int cap) const;
    void CheckTimeout();

    int timeoutMs_;
    std::function<void()> onTimeout_;
    std::int64_t lastProgress_;
};

}  // namespace ftp
