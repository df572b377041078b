#pragma once
// The anti-freeze: the message pump every blocking FTP call runs while it waits.
//
// With OnWait set, a wait sleeps on its socket and on the window system at once and returns
// to the pump as soon as either has something, so a pending window event is served within
// moments. Without it, waits go in steps of at most IdleTimeOut milliseconds (capped at 50)
// with OnIdle called between steps. Either way a transfer whose socket never makes it wait
// still calls OnIdle at least every BusyPumpMs.
//
// The anti-freeze in effect is the newest one alive (one per page; the newest page wins); when it
// is destroyed the previous one still alive is in effect again. Without any, waits still go in
// steps but pump nothing. Objects must be created and destroyed on the thread that makes FTP
// calls.
#include <functional>

namespace ftp {

class TIdAntiFreeze {
  public:
    TIdAntiFreeze();
    ~TIdAntiFreeze();
    TIdAntiFreeze(const TIdAntiFreeze&) = delete;
    TIdAntiFreeze& operator=(const TIdAntiFreeze&) = delete;

    // Runs pending window messages and returns. May run handlers that call the FTP component
    // again (nested calls); exceptions it throws propagate out of the waiting FTP call.
    std::function<void()> OnIdle;
    // Optional. Waits until fd is ready for `events` (poll flags: POLLIN or POLLOUT), a window
    // message is pending or timeoutMs (> 0) have passed, whichever comes first, and runs the
    // pending window messages before it returns, as OnIdle does (same nesting, same exceptions).
    // May return early for no reason; the caller looks at fd itself.
    std::function<void(int fd, short events, int timeoutMs)> OnWait;
    int IdleTimeOut = 50;  // milliseconds; values outside 1..50 use 50

    // The anti-freeze in effect, or nullptr.
    static TIdAntiFreeze* Current();

    // Calls OnIdle of the anti-freeze in effect, if any.
    static void DoProcess();

    // Whether the anti-freeze in effect has OnWait.
    static bool CanWait();
    // Calls OnWait of the anti-freeze in effect; CanWait() must hold.
    static void DoWait(int fd, short events, int timeoutMs);

    // The step length of waits without OnWait in milliseconds (1..50).
    static int StepMs();
    // The longest time between two pumps of a transfer that never waits (1..5 ms).
    static int BusyPumpMs();
};

}  // namespace ftp
