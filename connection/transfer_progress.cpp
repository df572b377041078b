#include "connection/transfer_progress.h"

#include <QLabel>
#include <QProgressBar>

#include <algorithm>
#include <limits>

#include "platform/os/clock.h"
#include "platform/ui/locale_text.h"
#include "platform/ui/qt_text.h"

TTransferProgress::TTransferProgress(QLabel& counter, QProgressBar& gauge, QLabel& speed)
    : counter_(counter), gauge_(gauge), speed_(speed) {}

int TTransferProgress::ShiftFor(std::int64_t total) {
    int shift = 0;
    while ((total >> shift) > std::numeric_limits<int>::max())
        ++shift;
    return shift;
}

std::string TTransferProgress::FormatSpeed(std::int64_t bytes, std::int64_t elapsedMs) {
    const double seconds = static_cast<double>(elapsedMs) / 1000.0;
    return ui::FormatFixed2(static_cast<double>(bytes) / 1024.0 / seconds) + "KB/S";
}

void TTransferProgress::Begin(bool busy, std::int64_t total) {
    ShowPending();
    startTick_ = os::TickCountMs();
    if (!busy)
        return;
    shownTick_.reset();
    total_ = total;
    gaugeTotal_ = std::max<std::int64_t>(total, 0);
    shift_ = ShiftFor(gaugeTotal_);
    gauge_.setRange(0, static_cast<int>(gaugeTotal_ >> shift_));
}

void TTransferProgress::Work(bool busy, std::int64_t counterTotal, std::int64_t countSoFar) {
    if (!busy)
        return;
    // Measured on a steady clock, so a transfer across midnight or a clock change still gives
    // its true speed. The time is the event's, whenever the widgets show it.
    const std::int64_t now = os::TickCountMs();
    last_ = Counts{counterTotal, countSoFar, now - startTick_};
    pending_ = true;
    if (!shownTick_ || now - *shownTick_ >= kShowEveryMs)
        Show(now);
}

void TTransferProgress::End() {
    ShowPending();
}

void TTransferProgress::ShowPending() {
    if (pending_)
        Show(os::TickCountMs());
}

void TTransferProgress::Show(std::int64_t now) {
    pending_ = false;
    shownTick_ = now;
    counter_.setText(
        ui::ToQt(std::to_string(last_.counterTotal) + "/" + std::to_string(last_.countSoFar)));
    const std::int64_t position =
        std::clamp<std::int64_t>(last_.countSoFar, 0, gaugeTotal_) >> shift_;
    gauge_.setValue(static_cast<int>(position));
    // No time elapsed yet leaves the text as it was.
    if (last_.elapsedMs > 0)
        speed_.setText(ui::ToQt(FormatSpeed(last_.countSoFar, last_.elapsedMs)));
}

void TTransferProgress::Reset() {
    ShowPending();
    speed_.setText(QStringLiteral("0KB/S"));
    gauge_.setValue(0);
}

std::string TTransferProgress::SpeedText() {
    ShowPending();
    return ui::FromQt(speed_.text());
}
