#include "connection/tfb.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QStandardItemModel>
#include <QTimer>
#include <QTreeView>

#include <stdexcept>
#include <string>
#include <vector>

#include "connection/page_host.h"
#include "platform/ui/list_view.h"
#include "platform/ui/message_pump.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/owner_data_model.h"
#include "platform/ui/testing/gtest_failure.h"
#include "platform/ui/testing/qt_test_environment.h"
#include "platform/ui/testing/scripted_ui.h"

namespace {

// A host that records what the page asks of it and can refuse the layout write.
class RecordingHost : public TPageHost {
  public:
    void SavePageLayout(Tfb& frame) override {
        calls.push_back("layout " + std::to_string(frame.LogHeight()));
        if (layoutFails)
            throw std::runtime_error("Unable to write to forminfo.ini");
    }
    void SetUploadEnabled(bool enabled) override {
        calls.push_back(enabled ? "upload on" : "upload off");
    }
    bool IsActivePage(const Tfb&) const override { return true; }
    void SetPageImage(Tfb&, int image) override {
        calls.push_back("image " + std::to_string(image));
    }
    std::vector<std::string> SiteNames() const override { return {}; }
    std::string LocalFolder() const override { return "-1"; }

    std::vector<std::string> calls;
    bool layoutFails = false;
};

void FlushDeferredDeletes() {
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

int Rows(QAbstractItemModel* model) {
    return model->rowCount();
}

class PageLifecycle : public ::testing::Test {
  protected:
    void TearDown() override {
        delete sheet_;  // a frame not shut down goes with its sheet
        FlushDeferredDeletes();
    }

    Tfb& MakeFrame() {
        sheet_ = new QWidget;
        frame_ = new Tfb(host_, sheet_);
        frame_->SetLogHeight(57);
        return *frame_;
    }

    RecordingHost host_;
    QPointer<QWidget> sheet_;
    QPointer<Tfb> frame_;
};

TEST_F(PageLifecycle, ClosingWritesTheLayoutStopsTheTimersAndEmptiesTheLists) {
    Tfb& frame = MakeFrame();
    frame.Timer1->start(100000);
    frame.Timer2->start(1000);
    auto* queue = static_cast<QStandardItemModel*>(frame.ListView1->model());
    queue->appendRow(new QStandardItem(QStringLiteral("file.txt")));
    frame.AddInfoLine("Connecting ftp.example.org", 0);
    frame.FDisplayList.push_back(rdatalist{});
    frame.RemoteItems->SetRowCount(1);

    EXPECT_EQ(frame.ClosePage(), nullptr);
    EXPECT_TRUE(frame.Closed());
    EXPECT_EQ(host_.calls, std::vector<std::string>{"layout 57"});
    EXPECT_FALSE(frame.Timer1->isActive());
    EXPECT_FALSE(frame.Timer2->isActive());
    EXPECT_FALSE(frame.Connected());
    EXPECT_EQ(Rows(queue), 0);
    EXPECT_EQ(Rows(frame.ListView2->Model()), 0);
    EXPECT_TRUE(frame.FDisplayList.empty());
    EXPECT_EQ(Rows(frame.ListView3->model()), 0);

    {
        // Shown again. Without a data module there is no site to read.
        ui::ScriptedUi boxes(ui::GtestFailure());
        boxes.AnswerMessage(ui::mrOk);
        frame.ConnectSite(false);
        ASSERT_EQ(boxes.Calls().size(), 1u);
        EXPECT_EQ(boxes.Calls()[0].text, "Can not read the information of the FTP site.");
    }
    EXPECT_FALSE(frame.Closed());
}

// A layout that cannot be written keeps no page open: the close goes on and hands the error
// back for the caller to report.
TEST_F(PageLifecycle, ALayoutWriteErrorIsHandedBackOnceThePageIsClosed) {
    Tfb& frame = MakeFrame();
    frame.Timer2->start(1000);
    host_.layoutFails = true;
    const std::exception_ptr error = frame.ClosePage();
    ASSERT_NE(error, nullptr);
    EXPECT_THROW(std::rethrow_exception(error), std::runtime_error);
    EXPECT_TRUE(frame.Closed());
    EXPECT_FALSE(frame.Timer2->isActive());
}

// A run that began before a close stays stopped when the page is opened again: its view of
// the queue and the connection is gone.
TEST_F(PageLifecycle, ARunBegunBeforeACloseStaysStopped) {
    Tfb& frame = MakeFrame();
    TPageLifetime::Run before(frame.Lifetime());
    EXPECT_FALSE(before.Stopped());
    frame.ClosePage();
    {
        ui::ScriptedUi boxes(ui::GtestFailure());
        boxes.AnswerMessage(ui::mrOk);
        frame.ConnectSite(false);
    }
    EXPECT_TRUE(before.Stopped());
    const TPageLifetime::Run after(frame.Lifetime());
    EXPECT_FALSE(after.Stopped());
}

// Shut down while a run waits in a pump (the run's handler is still on the stack): the frame
// and its sheet stay until the run has returned, then go by deferred deletion.
TEST_F(PageLifecycle, ShutDownInsideAPumpFreesThePageOnlyAfterItsRunHasReturned) {
    Tfb& frame = MakeFrame();
    bool shutDown = false;
    QTimer::singleShot(0, [&] {
        EXPECT_EQ(frame.ShutDown(sheet_), nullptr);
        shutDown = true;
    });
    {
        const TPageLifetime::Run run(frame.Lifetime());
        // The wait of a blocking call: it pumps until something happens.
        while (!shutDown)
            ui::ProcessMessages();
        // Back from the pump: the frame is alive, and the run learns it must end.
        ui::ProcessMessages();
        ASSERT_TRUE(frame_);
        EXPECT_TRUE(run.Stopped());
        EXPECT_TRUE(frame.Closed());
        EXPECT_EQ(Rows(frame.ListView1->model()), 0);
        FlushDeferredDeletes();
        EXPECT_TRUE(frame_) << "freed while its run was still working on it";
    }
    FlushDeferredDeletes();
    EXPECT_FALSE(frame_);
    EXPECT_FALSE(sheet_);
}

TEST_F(PageLifecycle, ShutDownWithoutARunFreesThePageAtTheNextEventLoopTurn) {
    Tfb& frame = MakeFrame();
    frame.Timer1->start(100000);
    EXPECT_EQ(frame.ShutDown(sheet_), nullptr);
    EXPECT_FALSE(frame.Timer1->isActive());
    EXPECT_EQ(host_.calls, std::vector<std::string>{"layout 57"});
    EXPECT_TRUE(frame_);
    FlushDeferredDeletes();
    EXPECT_FALSE(frame_);
    EXPECT_FALSE(sheet_);
}

}  // namespace
