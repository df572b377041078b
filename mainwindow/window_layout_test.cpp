#include "mainwindow/window_layout.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>

#include "platform/os/private_profile.h"

namespace {

namespace fs = std::filesystem;
using mainwindow::ViewStyle;

class WindowLayout : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("zantrope_layout_" + std::to_string(::getpid()) + "_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_ / "local");
        path_ = (folder_ / mainwindow::kLayoutFile).string();
    }
    void TearDown() override { fs::remove_all(folder_); }
    std::string ReadRaw() const {
        std::ifstream in(path_, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    fs::path folder_;
    std::string path_;
};

TEST_F(WindowLayout, WithoutTheFileEveryKeyHasItsDefault) {
    const mainwindow::MainLayout main = mainwindow::ReadMainLayout(path_);
    EXPECT_EQ(main.p2, 0);
    EXPECT_EQ(main.localPath, "-1");
    EXPECT_EQ(main.pwidth, 307);
    EXPECT_EQ(main.ftpSiteView, 0);
    const mainwindow::PageLayout page = mainwindow::ReadPageLayout(path_);
    EXPECT_EQ(page.info, 93);
    EXPECT_EQ(page.updown, 116);
    EXPECT_EQ(page.lvcView, 3);
}

TEST_F(WindowLayout, MainSectionIsWrittenInOrderAndReadBack) {
    const std::string local = (folder_ / "local").string();
    mainwindow::WriteMainLayout(path_, {2, local, 410, 3});
    EXPECT_EQ(ReadRaw(),
              "[MAIN]\nP2=2\nLOCALPATH=" + local + "\nPWIDTH=410\nFTPSITEVIEW=3\nWELCOMEH=0\n");
    const mainwindow::MainLayout read = mainwindow::ReadMainLayout(path_);
    EXPECT_EQ(read.p2, 2);
    EXPECT_EQ(read.localPath, local);
    EXPECT_EQ(read.pwidth, 410);
    EXPECT_EQ(read.ftpSiteView, 3);

    // A folder that no longer exists, or an empty one, is stored as "-1".
    for (const std::string& gone : {(folder_ / "gone").string(), std::string()}) {
        mainwindow::WriteMainLayout(path_, {0, gone, 307, 0});
        EXPECT_EQ(mainwindow::ReadMainLayout(path_).localPath, "-1") << gone;
    }
}

TEST_F(WindowLayout, PagesShareOneSectionAndTheLastWrittenWins) {
    mainwindow::WritePageLayout(path_, {120, 140, 1});  // page 2, closed first
    mainwindow::WritePageLayout(path_, {80, 100, 2});   // then page 1
    const mainwindow::PageLayout page = mainwindow::ReadPageLayout(path_);
    EXPECT_EQ(page.info, 80);
    EXPECT_EQ(page.updown, 100);
    EXPECT_EQ(page.lvcView, 2);
    EXPECT_EQ(ReadRaw(), "[FTP]\nINFO=80\nUPDOWN=100\nLVCVIEW=2\n");
}

TEST_F(WindowLayout, ViewCodesAreTheFilesOwnOrder) {
    const std::pair<int, std::optional<ViewStyle>> codes[] = {
        {0, ViewStyle::kLargeIcons}, {1, ViewStyle::kList}, {2, ViewStyle::kSmallIcons},
        {3, ViewStyle::kReport},     {7, std::nullopt},     {-1, std::nullopt},
    };
    for (const auto& [code, style] : codes) {
        EXPECT_EQ(mainwindow::ViewStyleOfCode(code), style) << code;
        if (style) {
            EXPECT_EQ(mainwindow::CodeOfViewStyle(*style), code);
        }
    }
}

TEST_F(WindowLayout, SizesOutsideTheScreenReadAsTheirDefaults) {
    struct Case {
        const char* stored;
        int expectedWidth;  // PWIDTH; INFO and UPDOWN follow the same rule with their defaults
        bool kept;
    } cases[] = {
        {"-2147483648", 307, false},
        {"2147483647", 307, false},
        {"99999999999", 307, false},  // beyond an int: no number at all
        {"-1", 307, false},
        {"0", 307, false},
        {"16385", 307, false},
        {"12abc", 307, false},
        {"", 307, false},
        {"1", 1, true},
        {"16384", 16384, true},
        {"410", 410, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        os::WritePrivateProfileString("MAIN", "PWIDTH", c.stored, path_);
        os::WritePrivateProfileString("FTP", "INFO", c.stored, path_);
        os::WritePrivateProfileString("FTP", "UPDOWN", c.stored, path_);
        EXPECT_EQ(mainwindow::ReadMainLayout(path_).pwidth, c.expectedWidth);
        const mainwindow::PageLayout page = mainwindow::ReadPageLayout(path_);
        EXPECT_EQ(page.info, c.kept ? c.expectedWidth : 93);
        EXPECT_EQ(page.updown, c.kept ? c.expectedWidth : 116);
    }
    // Tab and view codes are passed on as read: where they are used, a number outside their
    // set leaves the tab or the style unchanged, and no arithmetic is done on them.
    os::WritePrivateProfileString("MAIN", "P2", "-2147483648", path_);
    os::WritePrivateProfileString("MAIN", "FTPSITEVIEW", "2147483647", path_);
    const mainwindow::MainLayout main = mainwindow::ReadMainLayout(path_);
    EXPECT_EQ(main.p2, std::numeric_limits<int>::min());
    EXPECT_EQ(mainwindow::ViewStyleOfCode(main.ftpSiteView), std::nullopt);
}

TEST_F(WindowLayout, AFailedWriteRaisesTheLayoutFileError) {
    const std::string unwritable = (folder_ / "gone" / mainwindow::kLayoutFile).string();
    try {
        mainwindow::WritePageLayout(unwritable, {});
        FAIL() << "no error";
    } catch (const os::ProfileWriteError& error) {
        EXPECT_EQ(std::string(error.what()), "Unable to write to " + unwritable);
    }
    EXPECT_EQ(fs::path(mainwindow::LayoutFilePath()).filename(), "forminfo.ini");
}

}  // namespace
