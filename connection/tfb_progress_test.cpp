// The page's progress panel as the component's work events drive it during a run: the total
// each kind of transfer counts against, and the last counts shown once the transfer ends, however
// fast the events came.
#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>

#include <cstdint>
#include <string>

#include "connection/testing/quiet_page_host.h"
#include "connection/tfb.h"
#include "platform/ftp/id_ftp.h"
#include "platform/ui/testing/qt_test_environment.h"

namespace {

TEST(PageProgress, TheLastCountsOfATransferShowWhenItEnds) {
    struct Case {
        const char* name;
        ftp::TWorkMode mode;
        std::int64_t fileSize;   // FFileSize, set by the run for a download
        std::int64_t resumed;    // FResumeRemaining of a resume (0: none)
        std::int64_t announced;  // the component's expected count (an upload's file size)
        std::int64_t total;      // what the counter counts against
    };
    const Case cases[] = {
        {"download", ftp::TWorkMode::wmRead, 10000, 0, 0, 10000},
        {"resumed download", ftp::TWorkMode::wmRead, 10000, 6000, 0, 6000},
        {"upload", ftp::TWorkMode::wmWrite, 0, 0, 8000, 8000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        connection_testing::QuietPageHost host;
        Tfb frame(host);
        frame.FBusy = true;
        frame.FFileSize = c.fileSize;
        frame.FResumeOffset = c.resumed != 0 ? 4000 : 0;
        frame.FResumeRemaining = c.resumed;
        frame.IdFTP1.OnWorkBegin(c.mode, c.announced);
        // A burst, as a transfer at full speed reports it: one event for every few bytes.
        for (std::int64_t count = 1; count <= c.total; ++count)
            frame.IdFTP1.OnWork(c.mode, count);
        frame.IdFTP1.OnWorkEnd(c.mode);
        const std::string last = std::to_string(c.total) + "/" + std::to_string(c.total);
        EXPECT_EQ(frame.Panel5->text().toStdString(), last);
        EXPECT_EQ(frame.Gauge1->maximum(), c.total);
        EXPECT_EQ(frame.Gauge1->value(), c.total);
    }
}

}  // namespace
