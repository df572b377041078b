// The tasks road under Xvfb with the real program, driven through its accessibility tree: a
// category is made on the tasks page, two local files become an upload task through the local
// pane's "Add task", and Execute uploads both to a local pyftpdlib; then a remote file of the
// page becomes a download task through the page's "Add task", its local folder is set in the
// task paths dialog, and Execute fetches it. Every file arrives byte for byte. Screenshots of
// the task dialog and of the tasks page are kept in the build folder (zantrope-task-dialog.png,
// zantrope-tasks.png). The task tree's nodes show in the accessibility tree as cells of a tree.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "mainwindow/testing/x_session.h"
#include "tests/ftp_servers/file_bytes.h"
#include "tests/ftp_servers/server_fixture.h"
#include "tests/pages/page_rig.h"

namespace pagetest {
namespace {

using mainwindow::testing::Control;
using mainwindow::testing::ProgramOnXvfb;
using mainwindow::testing::ReadBytes;
using mainwindow::testing::WaitFor;

constexpr std::chrono::seconds kLimit{20};

bool Arrived(const std::string& path, const std::string& bytes) {
    return ftptest::HasFileSize(path, bytes.size());
}

// Types `text` into the text field named `field` of the window titled `window`, replacing
// what it held.
void TypeInto(const ProgramOnXvfb& x, const std::string& window, const std::string& field,
              const std::string& text) {
    ASSERT_TRUE(x.Click(Control::Of("text", field).In(window), kLimit)) << x.Dump();
    ASSERT_TRUE(x.Run("key ctrl+a"));
    ASSERT_TRUE(x.Run("type --delay 20 '" + text + "'"));
}

// Clicks `control` with Ctrl held, adding its row to the selection.
void CtrlClick(const ProgramOnXvfb& x, const Control& control) {
    const auto place = x.Locate(control, kLimit);
    ASSERT_TRUE(place) << x.Dump();
    ASSERT_TRUE(x.Run("mousemove " + std::to_string(place->CentreX()) + " " +
                      std::to_string(place->CentreY()) + " keydown ctrl click 1 keyup ctrl"));
}

using TaskScreenshot = PageRig;

TEST_F(TaskScreenshot, UploadAndDownloadTasksAreMadeSavedAndRunFromTheTasksPage) {
    ftptest::PyftpdlibServer server("alice", "secret");
    const std::string remote = server.account().local_folder;
    const std::string home = folder_ + "home";
    std::filesystem::create_directories(home);
    const std::string one = ftptest::RandomBytes(400000, 1), two = ftptest::RandomBytes(3000, 2),
                      fetched = ftptest::RandomBytes(250000, 3);
    ftptest::WriteFileBytes(home + "/one.bin", one);
    ftptest::WriteFileBytes(home + "/two.bin", two);
    ftptest::WriteFileBytes(remote + "remote.bin", fetched);
    const std::string program = ProgramWithSite(server.account().port);
    const std::string build = std::string(ZANTROPE_BIN_DIR) + "/../";
    const std::string target = folder_ + "fetched/here";
    {
        ProgramOnXvfb x(program, {"HOME=" + home});
        ASSERT_TRUE(x.Started());
        ASSERT_FALSE(
            x.FindWindow("Zantrope FREE Edition", mainwindow::testing::kProgramStartLimit).empty())
            << x.ProgramOutput();
        // The window is served once its local pane lists the home folder.
        ASSERT_TRUE(x.Locate(Control::Of("table cell", "one\\.bin"), std::chrono::seconds(30)))
            << x.Dump();

        // A category.
        ASSERT_TRUE(x.Click(Control::Of("page tab", "Tasks"), kLimit)) << x.Dump();
        ASSERT_TRUE(x.Click(Control::Of("push button", "New category"), kLimit)) << x.Dump();
        TypeInto(x, "^New category$", "Category name", "Nightly");
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(x.Click(Control::Of("push button", "OK").In("^New category$"), kLimit))
            << x.Dump();
        ASSERT_TRUE(x.Locate(Control::Of("table cell", "Nightly"), kLimit)) << x.Dump();

        // Two local files become an upload task.
        ASSERT_TRUE(x.Click(Control::Of("page tab", "Local File"), kLimit)) << x.Dump();
        ASSERT_TRUE(x.Click(Control::Of("table cell", "one\\.bin"), kLimit)) << x.Dump();
        CtrlClick(x, Control::Of("table cell", "two\\.bin"));
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(x.Click(Control::Of("push button", "Add task"), kLimit)) << x.Dump();
        ASSERT_TRUE(
            x.Locate(Control::Of("table cell", "two\\.bin").In("^Create new task$"), kLimit))
            << x.Dump();
        TypeInto(x, "^Create new task$", "Name", "send both");
        if (HasFatalFailure())
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        EXPECT_GT(x.Screenshot(build + "zantrope-task-dialog.png"), 50);
        ASSERT_TRUE(x.Click(Control::Of("push button", "OK").In("^Create new task$"), kLimit))
            << x.Dump();

        // Execute opens the site's page and uploads both.
        ASSERT_TRUE(x.Click(Control::Of("page tab", "Tasks"), kLimit)) << x.Dump();
        ASSERT_TRUE(x.Click(Control::Of("table cell", "send both"), kLimit)) << x.Dump();
        ASSERT_TRUE(x.Click(Control::Of("push button", "Execute"), kLimit)) << x.Dump();
        ASSERT_TRUE(WaitFor(
            [&] { return Arrived(remote + "one.bin", one) && Arrived(remote + "two.bin", two); },
            std::chrono::seconds(60)))
            << "the uploads did not arrive";

        // A remote file of the page becomes a download task into a folder set in its paths.
        ASSERT_TRUE(x.Click(Control::Of("table cell", "remote\\.bin"), kLimit)) << x.Dump();
        ASSERT_TRUE(x.Click(Control::Of("push button", "Add task"), kLimit)) << x.Dump();
        ASSERT_TRUE(
            x.Click(Control::Of("table cell", "remote\\.bin").In("^Create new task$"), kLimit))
            << x.Dump();
        ASSERT_TRUE(x.Click(Control::Of("push button", "Edit").In("^Create new task$"), kLimit))
            << x.Dump();
        TypeInto(x, "^Edit$", "Local :", target);
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(x.Click(Control::Of("push button", "Apply").In("^Edit$"), kLimit)) << x.Dump();
        TypeInto(x, "^Create new task$", "Name", "fetch one");
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(x.Click(Control::Of("push button", "OK").In("^Create new task$"), kLimit))
            << x.Dump();
        ASSERT_TRUE(x.Click(Control::Of("table cell", "fetch one"), kLimit)) << x.Dump();
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        EXPECT_GT(x.Screenshot(build + "zantrope-tasks.png"), 50);
        ASSERT_TRUE(x.Click(Control::Of("push button", "Execute"), kLimit)) << x.Dump();
        ASSERT_TRUE(WaitFor([&] { return Arrived(target + "/remote.bin", fetched); },
                            std::chrono::seconds(60)))
            << "the download did not arrive";
        std::this_thread::sleep_for(std::chrono::seconds(1));
        EXPECT_TRUE(x.Running());
    }
    EXPECT_EQ(ReadBytes(remote + "one.bin"), one);
    EXPECT_EQ(ReadBytes(remote + "two.bin"), two);
    EXPECT_EQ(ReadBytes(target + "/remote.bin"), fetched);
    // What was saved: one category with both tasks.
    dm->VeskDatabase1->SetConnected(true);
    EXPECT_EQ(Column(*dm->Ttask, "name"), std::vector<std::string>{"Nightly"});
    EXPECT_EQ(Column(*dm->Ttaskd, "name"), (std::vector<std::string>{"send both", "fetch one"}));
    EXPECT_EQ(Column(*dm->Ttaskd, "type"), (std::vector<std::string>{"Upload", "Download"}));
}

}  // namespace
}  // namespace pagetest
