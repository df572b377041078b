#include "connection/transfer_progress.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLocale>
#include <QProgressBar>

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
