// The page's Download command as a user works it: rows selected, the download target dialog in
// its real modal loop, the run; and a hostile listing whose names try to leave the target.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialog>
#include <QToolButton>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "dialogs/download_target_dialog.h"
#include "platform/ui/list_view.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/testing/gtest_failure.h"
#include "platform/ui/testing/modal_driver.h"
#include "tests/ftp_servers/scripted_login.h"
#include "tests/ftp_servers/server_fixture.h"
#include "tests/pages/page_rig.h"

namespace pagetest {
namespace {

class PageDownload : public PageRig {
  protected:
    void SelectNames(Tfb& frame, const std::vector<std::string>& names) {
        std::vector<int> rows;
        for (std::size_t row = 0; row < frame.FDisplayList.size(); ++row) {
            for (const std::string& name : names)
                if (frame.FDisplayList[row].name == name)
                    rows.push_back(static_cast<int>(row));
        }
        frame.ListView2->SelectRows(rows);
    }

    // Clicks Download; the dialog gets `folder` and OK (or Cancel when `folder` is empty).
    void Download(Tfb& frame, const std::string& folder) {
        driver_.Next([folder](QDialog& dialog) {
            auto& form = static_cast<TForm10&>(dialog);
            if (folder.empty()) {
                ui::ClickButton(form, "Button1");
                return;
            }
            form.ComboBox1->setEditText(QString::fromStdString(folder));
            ui::ClickButton(form, "Button2");
        });
        ASSERT_TRUE(frame.ToolButton5->isEnabled());
        frame.ToolButton5->click();
        EXPECT_EQ(driver_.Pending(), 0u);
    }

    ui::ModalDriver driver_{ui::GtestFailure()};
};

// Two files and an empty one, selected and downloaded through the dialog into a folder that
// does not exist yet, arrive byte for byte; Cancel still runs what was queued before.
TEST_F(PageDownload, SelectedFilesArriveThroughTheDialog) {
    ftptest::PyftpdlibServer server("alice", "secret");
    const std::string served = server.account().local_folder;
    std::string bytes(200000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7 + 3);
    std::ofstream(served + "one.bin", std::ios::binary) << bytes;
    std::ofstream(served + "two.txt", std::ios::binary) << "second\n";
    std::ofstream(served + "zero.dat", std::ios::binary);
    AddServerSite(
        {.name = "local", .port = server.account().port, .user = "alice", .password = "secret"});
    SetOptions(30, {});
    Tfb& frame = OpenSite("local");
    ASSERT_EQ(frame.FDisplayList.size(), 3u);
    const std::string target = folder_ + "new/place";

    SelectNames(frame, {"one.bin", "two.txt", "zero.dat"});
    Download(frame, target);

    EXPECT_EQ(mainwindow::testing::ReadBytes(target + "/one.bin"), bytes);
    EXPECT_EQ(mainwindow::testing::ReadBytes(target + "/two.txt"), "second\n");
    EXPECT_EQ(std::filesystem::file_size(target + "/zero.dat"), 0u);
    EXPECT_TRUE(frame.FQueue.empty());
    // One history row per file, in the list's order (sorted by type).
    std::vector<std::string> listed;
    for (const rdatalist& entry : frame.FDisplayList)
        listed.push_back(entry.name);
    EXPECT_EQ(Column(*dm->Thd, "lofile"), listed);
    EXPECT_TRUE(frame.ToolButton1->isEnabled());  // the controls are on again

    // An entry left from before runs even when the dialog is cancelled.
    rupdown left;
    left.direction = 1;
    left.name = "two.txt";
    left.lopath = target + "/again.txt";
    left.ftppath = "0";
    frame.AddQueueEntry(left);
    SelectNames(frame, {"one.bin"});
    Download(frame, "");
    EXPECT_TRUE(frame.FQueue.empty());
    EXPECT_EQ(mainwindow::testing::ReadBytes(target + "/again.txt"), "second\n");
}

// A listing whose names are "../x", "a/b" and "..": nothing is written outside the target
// folder (or anywhere for those names), the refusals are logged, the plain name arrives.
TEST_F(PageDownload, AHostileListingWritesNothingOutsideTheTarget) {
    ftptest::ScriptedServer server(ftptest::ScriptedServer::Mode::kFtp, std::string(R"({
      "builtin_data": true,
      "rules": [)") + ftptest::kLoginRules + "," + ftptest::kRootFolderRules +
                                                                            R"(,
        {"expect": "LIST", "reply": ["150 Listing", {"data_send":
          "-rw-r--r-- 1 u g 4 Jan 02 2026 ../x\r\n-rw-r--r-- 1 u g 4 Jan 02 2026 a/b\r\n-rw-r--r-- 1 u g 4 Jan 02 2026 ..\r\n-rw-r--r-- 1 u g 4 Jan 02 2026 ok.txt\r\n"},
          "226 Done"]},
        {"expect": "RETR ok.txt", "reply": ["150 Sending", {"data_send": "fine"}, "226 Done"]},
        {"expect": "RETR .*", "reply": ["150 Sending", {"data_send": "evil"}, "226 Done"]}
      ]})");
    AddServerSite({.name = "hostile", .port = server.port(), .user = "u", .password = "p"});
    SetOptions(30, {});
    Tfb& frame = OpenSite("hostile");
    const std::string base = folder_ + "base/";
    const std::string target = base + "target";
    std::vector<std::string> names;
    for (const rdatalist& entry : frame.FDisplayList)
        names.push_back(entry.name);
    ASSERT_EQ(names.size(), 3u);  // ".." is never a row
    SelectNames(frame, names);
    Download(frame, target);

    EXPECT_EQ(mainwindow::testing::ReadBytes(target + "/ok.txt"), "fine");
    std::vector<std::string> written;
    for (const auto& item : std::filesystem::recursive_directory_iterator(base))
        written.push_back(item.path().string());
    EXPECT_EQ(written, (std::vector<std::string>{target, target + "/ok.txt"}));
    EXPECT_FALSE(std::filesystem::exists(folder_ + "x"));
    EXPECT_TRUE(HasRow(frame, {"The name \"../x\" is not a plain file name; it was not queued for "
                               "download.",
                               2}));
    EXPECT_TRUE(HasRow(
        frame, {"The name \"a/b\" is not a plain file name; it was not queued for download.", 2}));
    for (const std::string& line : server.Recorded())
        EXPECT_NE(line, "RETR ../x");
}

}  // namespace
}  // namespace pagetest
