#include "connection/protocol_log.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTreeView>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "connection/page_host.h"
#include "connection/testing/quiet_page_host.h"
#include "connection/tfb.h"
#include "platform/os/testing/temp_folder.h"
#include "platform/ui/testing/gtest_failure.h"
#include "platform/ui/testing/qt_test_environment.h"
#include "platform/ui/testing/scripted_ui.h"

namespace {

std::vector<std::string> Captions(const TProtocolLog& log) {
    std::vector<std::string> captions;
    for (int row = 0; row < log.RowCount(); ++row)
        captions.push_back(log.Caption(row));
    return captions;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class ProtocolLog : public ::testing::Test {
  protected:
    connection_testing::QuietPageHost host_;
    Tfb frame_{host_};
    TProtocolLog& log_ = frame_.Log();
    os::testing::TempFolder temp_{"log"};
    std::string folder_ = temp_.path() + "/";
};

TEST(ProtocolLogLines, ACarriageReturnEndsALineAndTakesTheLineFeedAfterIt) {
    struct Case {
        const char* text;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"USER anonymous\r\n", {"USER anonymous"}},
        {"220 one\r\n230 two\r\n", {"220 one", "230 two"}},
        {"a\r\n\r\nb\r\n", {"a", "", "b"}},
        {"partial", {"partial"}},
        {"lf\nonly\r\n", {"lf\nonly"}},
        {"cr\rthen\r\r\n", {"cr", "then", ""}},
        {"", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(TProtocolLog::SplitLines(c.text), c.lines);
    }
}

TEST_F(ProtocolLog, TheSixHundredthLineEmptiesTheLogAndBecomesItsOnlyRow) {
    for (int line = 1; line <= TProtocolLog::kMaxRows; ++line)
        frame_.AddInfoLine("line " + std::to_string(line), 0);
    EXPECT_EQ(log_.RowCount(), 599);
    EXPECT_EQ(log_.Caption(598), "line 599");
    frame_.AddInfoLine("line 600", 2);
    EXPECT_EQ(Captions(log_), std::vector<std::string>{"line 600"});
    EXPECT_EQ(log_.Icon(0), 2);
}

// The newest line is scrolled into view once the window's messages are processed.
TEST_F(ProtocolLog, TheNewestLineIsScrolledIntoView) {
    frame_.resize(800, 600);
    frame_.show();
    QTreeView& view = *frame_.ListView3;
    const auto lastRowShown = [&] {
        QCoreApplication::processEvents();
        const QModelIndex last = view.model()->index(view.model()->rowCount() - 1, 0);
        return view.viewport()->rect().contains(view.visualRect(last));
    };
    for (int line = 1; line <= 300; ++line)
        frame_.AddInfoLine("line " + std::to_string(line), 0);
    EXPECT_TRUE(lastRowShown());
    EXPECT_GT(view.verticalScrollBar()->value(), 0);
    frame_.AddInfoLine("one more", 1);
    EXPECT_TRUE(lastRowShown());
}

TEST_F(ProtocolLog, ReceivedChunksGiveOneRowPerLineAndSentTextResetsTheIdleCount) {
    frame_.FIdleTicks = 7;
    frame_.IdLogEvent1Received("220 ready\r\n230 logged in\r\n");
    EXPECT_EQ(frame_.FIdleTicks, 7);
    frame_.IdLogEvent1Sent("PASS secret\r\n");
    EXPECT_EQ(frame_.FIdleTicks, 0);
    EXPECT_EQ(Captions(log_),
              (std::vector<std::string>{"220 ready", "230 logged in", "PASS secret"}));
    EXPECT_EQ(log_.Icon(0), 1);
    EXPECT_EQ(log_.Icon(1), 1);
    EXPECT_EQ(log_.Icon(2), 0);
}

TEST_F(ProtocolLog, SaveWritesEveryRowWithCarriageReturnLineFeedAndClearEmptiesIt) {
    frame_.AddInfoLine("Connecting 127.0.0.1", 0);
    frame_.AddInfoLine("", 1);
    frame_.AddInfoLine("na\xefve \xff bytes", 2);
    const std::string path = folder_ + "log.txt";
    {
        std::ofstream old(path);
        old << "an older file that is replaced without a question";
    }
    ui::ScriptedUi ui(ui::GtestFailure());
    ui.AnswerSaveFile(path);
    frame_.Savetofile1->trigger();
    ASSERT_EQ(ui.Calls().size(), 1u);
    EXPECT_EQ(ui.Calls()[0].save.defaultExtension, "txt");
    EXPECT_EQ(ui.Calls()[0].save.filter, "*.txt|*.txt");
    EXPECT_EQ(ReadFile(path), "Connecting 127.0.0.1\r\n\r\nna\xefve \xff bytes\r\n");

    frame_.Clear1->trigger();
    EXPECT_EQ(log_.RowCount(), 0);
}

// A log that could not be written must not look saved.
TEST_F(ProtocolLog, ASaveThatCannotBeWrittenSaysSoInTheLog) {
    frame_.AddInfoLine("one", 0);
    const std::string path = folder_ + "missing/log.txt";
    ui::ScriptedUi ui(ui::GtestFailure());
    ui.AnswerSaveFile(path);
    frame_.Savetofile1Click();
    EXPECT_EQ(Captions(log_), (std::vector<std::string>{"one", "Unable to write to " + path}));
    EXPECT_EQ(log_.Icon(1), 2);

    ui.AnswerSaveFile(std::nullopt);  // cancelled: nothing written, nothing said
    frame_.Savetofile1Click();
    EXPECT_EQ(log_.RowCount(), 2);
}

}  // namespace
