// Text files through the real program under Xvfb, driven through its accessibility tree: a
// stored site on pyftpdlib opens, a .txt file and a folder tree with text files (and one binary
// file with CR LF bytes) are selected together and downloaded through the "Download..." dialog
// with the shipped "auto" transfer mode. The text files go in ASCII type, so the server sends
// them with CR LF; they arrive as the server has them, with LF, byte for byte, and the binary
// file unchanged. Screenshot: the window after the download (zantrope-text-download.png).
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <string>

#include "mainwindow/testing/x_session.h"
#include "shared/open_table.h"
#include "shared/tdm.h"
#include "tests/ftp_servers/file_bytes.h"
#include "tests/ftp_servers/server_fixture.h"
#include "tests/pages/page_rig.h"
#include "tests/pages/site_on_screen.h"

namespace pagetest {
namespace {

using mainwindow::testing::Control;
using mainwindow::testing::WaitFor;
using std::chrono::seconds;

using TextDownloadScreenshot = PageRig;

// Every file below `root` (paths relative to it, folders marked by a final "/") with its bytes.
std::map<std::string, std::string> FilesBelow(const std::string& root) {
    std::map<std::string, std::string> tree;
    if (!std::filesystem::is_directory(root))
        return tree;
    for (const auto& item : std::filesystem::recursive_directory_iterator(root)) {
        const std::string relative = std::filesystem::relative(item.path(), root).string();
        tree[item.is_directory() ? relative + "/" : relative] =
            item.is_directory() ? "" : ftptest::ReadFileBytes(item.path().string());
    }
    return tree;
}

// A Linux text file of `lines` lines, with empty lines and a lone CR, long enough to cross
// many reads of the data connection.
std::string LinuxText(int lines, const std::string& word) {
    std::string text;
    for (int line = 0; line < lines; ++line)
        text += line % 7 == 0 ? "\n" : word + " " + std::to_string(line) + " \rx\n";
    return text;
}

TEST_F(TextDownloadScreenshot, TextFilesArriveAsTheServerHasThem) {
    ftptest::PyftpdlibServer server("alice", "secret");
    const std::string served = server.account().local_folder;
    ftptest::WriteFileBytes(served + "notes.txt", LinuxText(20000, "note"));
    std::filesystem::create_directories(served + "texts/sub");
    ftptest::WriteFileBytes(served + "texts/readme.txt", LinuxText(300, "read me"));
    ftptest::WriteFileBytes(served + "texts/sub/run.sh", "#!/bin/sh\necho ok\n");
    ftptest::WriteFileBytes(served + "texts/sub/data.bin", std::string("a\r\nb\nc\r", 7));
    {
        OpenTable table(*dm->Tascext);
        for (const char* ext : {"TXT", "SH"}) {
            table->Append();
            table->FieldByName("ext").SetAsString(ext);
            table->FieldByName("tf").SetAsBoolean(true);
            table->Post();
        }
    }
    // Transfer mode "auto": the extensions above go as text.
    const std::string program = ProgramWithSite(server.account().port);
    const std::string build = std::string(ZANTROPE_BIN_DIR) + "/../";
    const std::string target = folder_ + "arrived";

    mainwindow::testing::ProgramOnXvfb x(program, {"HOME=" + folder_});
    ASSERT_TRUE(x.Started());
    ASSERT_TRUE(OpenListedSite(x, server, "local pyftpdlib", "alice"));
    // The folder and the text file, selected together.
    ASSERT_TRUE(x.Click(Control::Of("table cell", "texts"), seconds(30))) << x.Dump();
    ASSERT_TRUE(x.Run("keydown ctrl"));
    const bool both = x.Click(Control::Of("table cell", "notes\\.txt"));
    ASSERT_TRUE(x.Run("keyup ctrl"));
    ASSERT_TRUE(both) << x.Dump();
    ASSERT_TRUE(x.Click(Control::Of("push button", "Download\\.\\.\\."))) << x.Dump();
    ASSERT_FALSE(x.FindWindow("^Download$", seconds(15)).empty()) << "no Download dialog";
    ASSERT_TRUE(x.Run("key ctrl+a"));
    ASSERT_TRUE(x.Run("type --delay 20 '" + target + "'"));
    ASSERT_TRUE(x.Click(Control::Of("push button", "OK").In("^Download$"))) << x.Dump();

    std::map<std::string, std::string> expected = FilesBelow(served);
    ASSERT_EQ(expected.size(), 6u);
    EXPECT_TRUE(WaitFor([&] { return FilesBelow(target) == expected; }, seconds(60)))
        << "the files did not arrive as the server has them";
    EXPECT_GT(x.Screenshot(build + "zantrope-text-download.png"), 50);
    ASSERT_TRUE(x.Click(Control::Of("push button", "Exit")));
    EXPECT_TRUE(WaitFor([&] { return !x.Running(); }, seconds(15)));
    EXPECT_EQ(FilesBelow(target), expected);
}

}  // namespace
}  // namespace pagetest
