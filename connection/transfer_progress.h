#pragma once
// The progress panel of a page's queue run (Panel3): the counter "total/done" (Panel5), the
// gauge (Gauge1) and the speed (Label3, e.g. "32.00KB/S"), fed by the FTP component's work
// events. Sizes are 64-bit throughout; the gauge, a 32-bit bar, counts in units of 2^shift
// bytes, the smallest shift that fits the total, so files above 2 GiB move it from 0 to its
// end as smaller ones do (and a file below 2 GiB counts in bytes).
//
// Work events while no run is in progress (`busy` false) only note the start time.
//
// At full speed the component reports tens of thousands of work events a second, and each
// change of the widgets costs tens of microseconds (label texts, the gauge's own repaint
// checks): while a transfer runs the widgets take the newest counts at most once every
// kShowEveryMs, as often as a busy transfer pumps the window, so what the window paints is never
// further behind. The first work event of a transfer shows at once; End, Reset, SpeedText and
// the next Begin show the last counts, so a finished transfer leaves exactly what its last work
// event gives.
#include <cstdint>
#include <optional>
#include <string>

class QLabel;
class QProgressBar;

class TTransferProgress {
  public:
    // The widgets must outlive the object.
    TTransferProgress(QLabel& counter, QProgressBar& gauge, QLabel& speed);

    // A data transfer begins. `total` is the size it counts against (the caller's choice:
    // the resumed rest, the announced count or the file size); 0 or less: unknown.
    void Begin(bool busy, std::int64_t total);
    // `countSoFar` bytes of the transfer have moved; `counterTotal` is the counter's total.
    void Work(bool busy, std::int64_t counterTotal, std::int64_t countSoFar);
    // The data transfer ended (also when it failed): the widgets show its last counts.
    void End();
    // "0KB/S" and the gauge at 0; the counter keeps the text of the last work event.
    void Reset();

    // The total as Begin was given it (the counter shows it; -1 for a size the server did not
    // tell).
    std::int64_t Total() const { return total_; }
    // The speed text of the last work event (shown first if it was not yet).
    std::string SpeedText();

    // The speed text of `bytes` in `elapsedMs` milliseconds: KB per second with two decimals
    // and the user's decimal separator, then "KB/S".
    static std::string FormatSpeed(std::int64_t bytes, std::int64_t elapsedMs);
    // The gauge's shift for `total` bytes.
    static int ShiftFor(std::int64_t total);

    // The longest time the widgets go without the newest counts while a transfer runs.
    static constexpr std::int64_t kShowEveryMs = 5;

  private:
    // The counts of the last work event, until the widgets show them.
    struct Counts {
        std::int64_t counterTotal = 0;
        std::int64_t countSoFar = 0;
        std::int64_t elapsedMs = 0;
    };
    // Puts the pending counts into the widgets; `now` is the tick count of the call.
    void Show(std::int64_t now);
    void ShowPending();

    QLabel& counter_;
    QProgressBar& gauge_;
    QLabel& speed_;
    std::int64_t total_ = 0;
    std::int64_t gaugeTotal_ = 0;
    int shift_ = 0;
    std::int64_t startTick_ = 0;
    Counts last_;
    bool pending_ = false;
    // When the widgets last took counts; nothing since the transfer began.
    std::optional<std::int64_t> shownTick_;
};
