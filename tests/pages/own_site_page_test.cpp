// A history re-run or a task run puts its entries on its own site's page, whatever the user
// does while that page connects. The site's server takes the connection and never greets, so
// the connect waits (pumping messages) until its time-out; meanwhile the user clicks the tab
// of a second site's page, connected to pyftpdlib, or closes the connecting page. Nothing may
// reach the second server: the entry waits on its own site's page, or, when that page was
// closed, goes nowhere.
#include <gtest/gtest.h>

#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "dialogs/task_tables.h"
#include "platform/ui/testing/gtest_failure.h"
#include "platform/ui/testing/scripted_ui.h"
#include "tests/ftp_servers/file_bytes.h"
#include "tests/ftp_servers/mute_listener.h"
#include "tests/ftp_servers/server_fixture.h"
#include "tests/pages/page_rig.h"

namespace pagetest {
namespace {

enum class Starter { kRerun, kTask };
enum class During { kSwitchTab, kClosePage };

struct OwnPageCase {
    const char* name;
    Starter starter;
    bool upload;
    // The mute site's page was opened and closed before: the run shows it again.
    bool hiddenBefore;
    During during;
};

void PrintTo(const OwnPageCase& c, std::ostream* out) {
    *out << c.name;
}

std::string FileText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class OwnSitePage : public PageRig, public ::testing::WithParamInterface<OwnPageCase> {
  protected:
    void SetUp() override {
        PageRig::SetUp();
        local_ = folder_ + "local";
        std::filesystem::create_directories(local_);
        SetOptions(0, {});
    }

    // Runs the case's starter for the mute site; `act` runs once while its page connects.
    void RunWhileConnecting(const OwnPageCase& c, const std::function<void()>& act) {
        QTimer watch;
        watch.setInterval(20);
        bool acted = false;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            TTabSheet* mute = form_->FindSitePage("mute");
            if (acted || mute == nullptr || form_->PageControl1->currentWidget() != mute ||
                !mute->TabVisible())
                return;
            acted = true;
            act();
        });
        watch.start();
        if (c.starter == Starter::kRerun) {
            form_->ToolButton1->click();
            QTreeWidget& tree = *form_->TreeView1;
            QTreeWidgetItem* site = nullptr;
            for (int index = 0; index < tree.topLevelItemCount(); ++index) {
                if (tree.topLevelItem(index)->text(0).startsWith("mute"))
                    site = tree.topLevelItem(index);
            }
            ASSERT_NE(site, nullptr);
            tree.setCurrentItem(site->child(c.upload ? 0 : 1)->child(0)->child(0));
            ASSERT_TRUE(form_->ToolButton16->isEnabled());
            form_->ToolButton16->click();
        } else {
            QTreeWidget& tree = *form_->TreeView2;
            tree.setCurrentItem(tree.topLevelItem(0)->child(0));
            ASSERT_TRUE(form_->ToolButton17->isEnabled());
            form_->ToolButton17->click();
        }
        EXPECT_TRUE(acted) << "the connect returned before the user could act";
    }

    std::string local_;
};

TEST_P(OwnSitePage, TheEntryWaitsOnItsOwnSitesPageAndNothingReachesTheOtherServer) {
    const OwnPageCase& c = GetParam();
    ftptest::PyftpdlibServer server("alice", "secret");
    const std::string served = server.account().local_folder;
    ftptest::WriteFileBytes(served + "down.bin", ftptest::LineEndPayload(1, 20000));
    ftptest::WriteFileBytes(local_ + "/up.bin", ftptest::LineEndPayload(2, 20000));
    ftptest::MuteListener mute;
    AddServerSite(
        {.name = "near", .port = server.account().port, .user = "alice", .password = "secret"});
    const std::int32_t muteId = AddServerSite(
        {.name = "mute", .port = mute.port(), .user = "u", .timeout = 1, .nor = 1, .rd = 0});
    const std::string got = local_ + "/got/down.bin";
    if (c.starter == Starter::kRerun) {
        AddHistoryDetail(AddHistoryHead(muteId, c.upload ? "Upload" : "Download"),
                         c.upload
                             ? mainwindow::testing::HistoryDetail{"up.bin", "Upload", false,
                                                                  "up.bin", local_ + "/up.bin", "/"}
                             : mainwindow::testing::HistoryDetail{"down.bin", "Download", false,
                                                                  "down.bin", got, "/"});
    } else {
        tasks::TaskValues values;
        values.categoryId = tasks::AddCategory("c", "");
        values.name = "t";
        values.ftp = "mute";
        values.type = c.upload ? "Upload" : "Download";
        values.files = {c.upload ? rtaskupdown{false, "up.bin", local_ + "/", "/"}
                                 : rtaskupdown{false, "down.bin", local_ + "/got/", "/"}};
        ASSERT_TRUE(tasks::AddTask(values).has_value());
    }
    Tfb& near = OpenSite("near");
    ASSERT_TRUE(near.Connected());
    if (c.hiddenBefore) {
        OpenSite("mute");
        form_->CloseActivePage();
        form_->PageControl1->setCurrentWidget(near.parentWidget());
    }
    // The connect's failure is logged on its page; no box is expected.
    ui::ScriptedUi boxes(ui::GtestFailure());

    RunWhileConnecting(c, [&] {
        if (c.during == During::kSwitchTab)
            form_->PageControl1->setCurrentWidget(near.parentWidget());  // as a click does
        else
            form_->CloseActivePage();
    });
    // A run started on the wrong page would be under way now; give it time to show.
    WaitUntil([&] { return !near.FQueue.empty() || near.FBusy; }, 1);
    WaitUntil([&] { return near.FQueue.empty() && !near.FBusy; });

    Tfb& own = OpenSite("mute");
    EXPECT_TRUE(near.FQueue.empty());
    EXPECT_FALSE(std::filesystem::exists(served + "up.bin"));
    EXPECT_FALSE(std::filesystem::exists(got));
    const std::string log = FileText(server.LogPath());
    EXPECT_EQ(log.find("STOR"), std::string::npos) << log;
    EXPECT_EQ(log.find("RETR"), std::string::npos) << log;
    if (c.during == During::kClosePage) {
        // Shown again by OpenSite above: the closed page took nothing.
        EXPECT_TRUE(own.FQueue.empty());
        return;
    }
    ASSERT_EQ(own.FQueue.size(), 1u);
    EXPECT_FALSE(own.Connected());
    EXPECT_EQ(own.FQueue[0].direction, c.upload ? 0 : 1);
    EXPECT_EQ(own.FQueue[0].name, c.upload ? "up.bin" : "down.bin");
    EXPECT_EQ(own.FQueue[0].lopath, c.upload ? local_ + "/up.bin" : got);
}

INSTANTIATE_TEST_SUITE_P(
    Starters, OwnSitePage,
    ::testing::Values(
        OwnPageCase{"RerunUploadNewPageTabSwitch", Starter::kRerun, true, false,
                    During::kSwitchTab},
        OwnPageCase{"RerunDownloadHiddenPageTabSwitch", Starter::kRerun, false, true,
                    During::kSwitchTab},
        OwnPageCase{"TaskUploadHiddenPageTabSwitch", Starter::kTask, true, true,
                    During::kSwitchTab},
        OwnPageCase{"TaskDownloadNewPageTabSwitch", Starter::kTask, false, false,
                    During::kSwitchTab},
        OwnPageCase{"RerunUploadNewPageClosed", Starter::kRerun, true, false, During::kClosePage},
        OwnPageCase{"TaskUploadHiddenPageClosed", Starter::kTask, true, true, During::kClosePage}),
    [](const ::testing::TestParamInfo<OwnPageCase>& info) { return info.param.name; });

}  // namespace
}  // namespace pagetest
