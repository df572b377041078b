#pragma once
// The anti-freeze: the message pump every blocking FTP call runs while it waits. Waits go in
// steps of at most IdleTimeOut milliseconds (capped at 50) with OnIdle called between steps.
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
    int IdleTimeOut = 50;  // milliseconds; values outside 1..50 use 50

    // The anti-freeze in effect, or nullptr.
    static TIdAntiFreeze* Current();

    // Calls OnIdle of the anti-freeze in effect, if any.
    static void DoProcess();

    // The step length of waits in milliseconds (1..50).
    static int StepMs();
};

}  // namespace ftp
