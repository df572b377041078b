// A stored site's page lists its start folder through the connect and browses from there,
// opened through the main window against pyftpdlib.
#include <gtest/gtest.h>

#include <QToolButton>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/ui/list_view.h"
#include "platform/ui/owner_data_model.h"
#include "platform/ui/testing/gtest_failure.h"
#include "platform/ui/testing/scripted_ui.h"
#include "tests/ftp_servers/server_fixture.h"
#include "tests/pages/page_rig.h"

namespace pagetest {
namespace {

using PageListing = PageRig;

int SentCount(Tfb& frame, const std::string& prefix) {
    int count = 0;
    for (const LogRow& row : PageRig::LogOf(frame))
        count += row.icon == 0 && row.text.rfind(prefix, 0) == 0 ? 1 : 0;
    return count;
}

void DoubleClick(Tfb& frame, const std::string& name) {
    for (std::size_t row = 0; row < frame.FDisplayList.size(); ++row) {
        if (frame.FDisplayList[row].name == name)
            frame.ListView2->Select(static_cast<int>(row));
    }
    ASSERT_TRUE(static_cast<bool>(frame.ListView2->OnDblClick));
    frame.ListView2->OnDblClick();
}

// The default folder "/sub/" is listed by the connect and cached under "/sub", the form PWD
// reports: going Back and entering "sub" again finds the cache and lists nothing.
TEST_F(PageListing, TheStartFolderIsCachedUnderTheFormTheServerReports) {
    ftptest::PyftpdlibServer server("alice", "secret");
    std::filesystem::create_directory(server.account().local_folder + "sub");
    std::ofstream(server.account().local_folder + "sub/inner.txt") << "x";
    std::ofstream(server.account().local_folder + "top.txt") << "x";
    AddServerSite({.name = "slash",
                   .port = server.account().port,
                   .user = "alice",
                   .password = "secret",
                   .defaultpath = "/sub/"});
    ui::ScriptedUi boxes(ui::GtestFailure());  // no message box
    Tfb& frame = OpenSite("slash");
    EXPECT_EQ(frame.FCurrentDir, "/sub");
    ASSERT_EQ(frame.FDirCache.size(), 1u);
    EXPECT_EQ(frame.FDirCache[0].folder, "/sub");
    EXPECT_EQ(frame.RemoteItems->RowCount(), 1);
    EXPECT_EQ(frame.RemoteItems->Item(0).caption, "inner.txt");
    EXPECT_EQ(SentCount(frame, "LIST"), 1);

    frame.ToolButton1->click();  // Back
    EXPECT_EQ(frame.FCurrentDir, "/");
    EXPECT_EQ(frame.RemoteItems->RowCount(), 2);
    EXPECT_EQ(SentCount(frame, "LIST"), 2);
    DoubleClick(frame, "sub");
    EXPECT_EQ(frame.FCurrentDir, "/sub");
    EXPECT_EQ(frame.RemoteItems->RowCount(), 1);
    EXPECT_EQ(SentCount(frame, "LIST"), 2);
    EXPECT_TRUE(frame.ToolButton1->isEnabled());
}

// Back, Refresh and a double click on a page that is not connected connect it.
TEST_F(PageListing, NavigationOnADisconnectedPageConnects) {
    ftptest::PyftpdlibServer server("alice", "secret");
    std::ofstream(server.account().local_folder + "top.txt") << "x";
    AddServerSite(
        {.name = "local", .port = server.account().port, .user = "alice", .password = "secret"});
    Tfb& frame = OpenSite("local");
    for (const int which : {0, 1, 2}) {
        SCOPED_TRACE(which);
        frame.ToolButton17Click();  // disconnect
        ASSERT_FALSE(frame.Connected());
        EXPECT_EQ(frame.RemoteItems->RowCount(), 0);
        if (which == 0)
            frame.ToolButton1Click();
        else if (which == 1)
            frame.ToolButton2Click();
        else
            frame.ListView2DblClick();
        EXPECT_TRUE(frame.Connected());
        EXPECT_EQ(frame.RemoteItems->RowCount(), 1);
    }
}

}  // namespace
}  // namespace pagetest
