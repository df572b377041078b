#include "connection/transfer_progress.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLocale>
#include <QProgressBar>

#include <chrono>
#include <functional>
#include <thread>

#include "platform/os/clock.h"

namespace {

struct Panel {
    QLabel counter{QStringLiteral("0/0")};
    QProgressBar gauge;
    QLabel speed{QStringLiteral("0KB/S")};
    TTransferProgress progress{counter, gauge, speed};
};

// Totals of any 64-bit size move the 32-bit gauge from 0 to its end; a total that fits counts
// in bytes; the counter shows the bytes themselves.
TEST(TransferProgress, TheGaugeSpansTotalsOfAnySize) {
    struct Case {
        std::int64_t total;
        int shift;
    };
    const Case cases[] = {
        {1048576, 0}, {0x7fffffffLL, 0}, {0x80000000LL, 1}, {5LL << 30, 2}, {-1, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.total);
        Panel panel;
        EXPECT_EQ(TTransferProgress::ShiftFor(std::max<std::int64_t>(c.total, 0)), c.shift);
        panel.progress.Begin(true, c.total);
        const std::int64_t total = std::max<std::int64_t>(c.total, 0);
        EXPECT_EQ(panel.gauge.maximum(), static_cast<int>(total >> c.shift));
        panel.progress.Work(true, c.total, total / 2);
        EXPECT_EQ(panel.gauge.value(), static_cast<int>((total / 2) >> c.shift));
        panel.progress.Work(true, c.total, total);
        panel.progress.End();
        EXPECT_EQ(panel.gauge.value(), panel.gauge.maximum());
        EXPECT_EQ(panel.counter.text().toStdString(),
                  std::to_string(c.total) + "/" + std::to_string(total));
    }
}

// Work while no run is in progress changes nothing; Reset leaves the counter.
TEST(TransferProgress, IdleWorkChangesNothingAndResetKeepsTheCounter) {
    Panel panel;
    panel.progress.Begin(false, 100);
    panel.progress.Work(false, 100, 50);
    EXPECT_EQ(panel.counter.text(), QStringLiteral("0/0"));
    EXPECT_EQ(panel.gauge.value(), -1);  // never set
    panel.progress.Begin(true, 100);
    panel.progress.Work(true, 100, 60);
    panel.speed.setText(QStringLiteral("3.00KB/S"));
    panel.progress.Reset();
    EXPECT_EQ(panel.speed.text(), QStringLiteral("0KB/S"));
    EXPECT_EQ(panel.gauge.value(), 0);
    EXPECT_EQ(panel.counter.text(), QStringLiteral("100/60"));
}

// A transfer at full speed reports a work event for every buffer: the widgets take the counts
// only every few milliseconds, and whatever comes after the last event (the transfer's end, the
// reset, the history's speed, the next transfer) finds the last event's counts shown.
TEST(TransferProgress, ABurstOfWorkChangesTheWidgetsSeldomAndTheLastCountsAlwaysShow) {
    constexpr std::int64_t kChunk = 65536;
    constexpr int kEvents = 20000;
    constexpr std::int64_t kTotal = kChunk * kEvents;
    struct Case {
        const char* after;
        std::function<void(TTransferProgress&)> step;
        const char* speed;  // the speed text expected afterwards; nullptr: the last event's
        int gauge;          // the gauge afterwards; -1: at the last count
    };
    const Case cases[] = {
        {"End", [](TTransferProgress& p) { p.End(); }, nullptr, -1},
        {"SpeedText", [](TTransferProgress& p) { (void)p.SpeedText(); }, nullptr, -1},
        {"Reset", [](TTransferProgress& p) { p.Reset(); }, "0KB/S", 0},
        {"the next Begin", [](TTransferProgress& p) { p.Begin(true, kTotal); }, nullptr, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.after);
        Panel panel;
        int changes = 0;
        QObject::connect(&panel.gauge, &QProgressBar::valueChanged, [&] { ++changes; });
        const std::int64_t begun = os::TickCountMs();
        panel.progress.Begin(true, kTotal);
        // Some time passes, so the last event has a speed to show.
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        for (int event = 1; event <= kEvents; ++event)
            panel.progress.Work(true, kTotal, kChunk * event);
        const std::int64_t elapsed = os::TickCountMs() - begun;
        EXPECT_LE(changes, elapsed / TTransferProgress::kShowEveryMs + 2) << elapsed << " ms";

        c.step(panel.progress);
        EXPECT_EQ(panel.counter.text().toStdString(),
                  std::to_string(kTotal) + "/" + std::to_string(kTotal));
        EXPECT_EQ(panel.gauge.value(), c.gauge < 0 ? panel.gauge.maximum() : c.gauge);
        if (c.speed != nullptr) {
            EXPECT_EQ(panel.speed.text().toStdString(), c.speed);
            continue;
        }
        // The speed of all the bytes over the time from Begin to the last event.
        bool matches = false;
        for (std::int64_t ms = 1; ms <= elapsed && !matches; ++ms)
            matches =
                panel.speed.text().toStdString() == TTransferProgress::FormatSpeed(kTotal, ms);
        EXPECT_TRUE(matches) << panel.speed.text().toStdString() << " after " << elapsed << " ms";
    }
}

// The widgets are never further behind than the interval: once it has passed, a work event
// shows at once, with no end to wait for.
TEST(TransferProgress, AWorkEventAfterTheIntervalShowsAtOnce) {
    Panel panel;
    panel.progress.Begin(true, 1000);
    panel.progress.Work(true, 1000, 10);
    EXPECT_EQ(panel.counter.text(), QStringLiteral("1000/10"));  // the first one of a transfer
    std::this_thread::sleep_for(std::chrono::milliseconds(TTransferProgress::kShowEveryMs + 1));
    panel.progress.Work(true, 1000, 20);
    EXPECT_EQ(panel.counter.text(), QStringLiteral("1000/20"));
    EXPECT_EQ(panel.gauge.value(), 20);
}

TEST(TransferProgress, SpeedIsKilobytesPerSecondWithTheUsersSeparator) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(TTransferProgress::FormatSpeed(65536, 2000), "32.00KB/S");
    EXPECT_EQ(TTransferProgress::FormatSpeed(5LL << 30, 1000), "5242880.00KB/S");
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(TTransferProgress::FormatSpeed(1536, 1000), "1,50KB/S");
    QLocale::setDefault(saved);
}

}  // namespace
