#pragma once
// The progress panel of a page's queue run (Panel3): the counter "total/done" (Panel5), the
// gauge (Gauge1) and the speed (Label3, e.g. "32.00KB/S"), fed by the FTP component's work
// events. Sizes are 64-bit throughout; the gauge, a 32-bit bar, counts in units of 2^shift
// bytes, the smallest shift that fits the total, so files above 2 GiB move it from 0 to its
// end as smaller ones do (and a file below 2 GiB counts in bytes).
//
// Work events while no run is in progress (`busy` false) only note the start time.
#include <cstdint>
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
    // "0KB/S" and the gauge at 0; the counter keeps its text.
    void Reset();

    // The total as Begin was given it (the counter shows it; -1 for a size the server did not
    // tell).
    std::int64_t Total() const { return total_; }
    std::string SpeedText() const;

    // The speed text of `bytes` in `elapsedMs` milliseconds: KB per second with two decimals
    // and the user's decimal separator, then "KB/S".
    static std::string FormatSpeed(std::int64_t bytes, std::int64_t elapsedMs);
    // The gauge's shift for `total` bytes.
    static int ShiftFor(std::int64_t total);

  private:
    QLabel& counter_;
    QProgressBar& gauge_;
    QLabel& speed_;
    std::int64_t total_ = 0;
    std::int64_t gaugeTotal_ = 0;
    int shift_ = 0;
    std::int64_t startTick_ = 0;
};
