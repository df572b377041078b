#include "connection/duplicate_presets.h"
#include "platform/os/testing/temp_folder.h"

#include <fcntl.h>  // AT_FDCWD
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <time.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

TEST(DuplicatePresets, ResumeIsOfferedOnlyForAShorterLocalFileOfADownload) {
    const struct {
        const char* what;
        bool folder;
        bool download;
        std::int64_t remote;
        std::int64_t local;
        bool offered;
    } cases[] = {
        {"download, local shorter", false, true, 1000, 400, true},
        {"download, local empty", false, true, 1000, 0, true},
        {"download, same length", false, true, 1000, 1000, false},
        {"download, local longer", false, true, 1000, 1001, false},
        {"download, remote size 0", false, true, 0, 0, false},
        {"download, 3 GB remote", false, true, 3221225472, 2147483648, true},
        {"folder download", true, true, 1000, 0, false},
        {"upload, local shorter", false, false, 1000, 400, false},
        {"folder upload", true, false, 1000, 0, false},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        rtmpinfo info{"/home/u/a.bin", test.remote, "2026-01-02 03:04:05",
                      test.download ? 0 : test.local};
        const TDuplicatePresets presets = MakeDuplicatePresets(
            info, test.folder, test.download, test.folder ? "Folder" : "BIN File",
            {true, test.local, "2026-05-06 07:08:09"});
        EXPECT_EQ(presets.resumeOffered, test.offered);
        EXPECT_EQ(presets.resumeOffset, test.offered ? test.local : 0);
        EXPECT_EQ(presets.resumeRemaining, test.offered ? test.remote - test.local : 0);
    }
}

TEST(DuplicatePresets, AnUploadShowsTheLocalSideAboveADownloadTheRemoteSide) {
    const rtmpinfo info{"/home/u/dir/a.bin", 2048, "2026-01-02 03:04:05", 1024};
    const TLocalItemFacts local{true, 512, "2026-05-06 07:08:09"};
    const TDuplicatePresets upload = MakeDuplicatePresets(info, false, false, "BIN File", local);
    EXPECT_EQ(upload.upper.heading, "Local file");
    EXPECT_EQ(upload.upper.name, "a.bin");
    EXPECT_EQ(upload.upper.size, "1024");  // the page's local size of an upload
    EXPECT_EQ(upload.upper.modified, "2026-05-06 07:08:09");
    EXPECT_EQ(upload.lower.heading, "Remote file");
    EXPECT_EQ(upload.lower.size, "2048");
    EXPECT_EQ(upload.lower.modified, "2026-01-02 03:04:05");
    EXPECT_EQ(upload.lower.type, "BIN File");
    EXPECT_EQ(upload.localPath, "/home/u/dir/a.bin");
    const TDuplicatePresets download = MakeDuplicatePresets(info, false, true, "BIN File", local);
    EXPECT_EQ(download.upper.heading, "Remote file");
    EXPECT_EQ(download.upper.size, "2048");
    EXPECT_EQ(download.upper.modified, "2026-01-02 03:04:05");
    EXPECT_EQ(download.lower.heading, "Local file");
    EXPECT_EQ(download.lower.size, "512");  // the searched size of a download
    EXPECT_EQ(download.lower.modified, "2026-05-06 07:08:09");
}

TEST(DuplicatePresets, ItemNameOfPath) {
    EXPECT_EQ(ItemNameOfPath("/a/b/c.txt"), "c.txt");
    EXPECT_EQ(ItemNameOfPath("/a/b/dir/"), "dir");
    EXPECT_EQ(ItemNameOfPath("plain"), "plain");
    EXPECT_EQ(ItemNameOfPath("/"), "");
}

class LocalItems : public ::testing::Test {
  protected:
    os::testing::TempFolder temp_{"duplicate"};
    std::string folder_ = temp_.path() + "/";
};

TEST_F(LocalItems, SizeAndLocalLastWriteTime) {
    const std::string file = folder_ + "five.bin";
    std::ofstream(file) << "12345";
    struct tm moment {};
    moment.tm_year = 2025 - 1900;
    moment.tm_mon = 2;
    moment.tm_mday = 4;
    moment.tm_hour = 5;
    moment.tm_min = 6;
    moment.tm_sec = 7;
    moment.tm_isdst = -1;
    const struct timespec times[2] = {{::mktime(&moment), 0}, {::mktime(&moment), 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
    const TLocalItemFacts facts = LocalItemOf(file);
    EXPECT_TRUE(facts.found);
    EXPECT_EQ(facts.size, 5);
    EXPECT_EQ(facts.modified, "2025-03-04 05:06:07");
    std::filesystem::create_directory(folder_ + "dir");
    EXPECT_TRUE(LocalItemOf(folder_ + "dir").found);
    EXPECT_EQ(LocalItemOf(folder_ + "dir").size, 0);
    std::filesystem::create_symlink(file, folder_ + "link");
    EXPECT_EQ(LocalItemOf(folder_ + "link").size, 5);  // a resume appends to the file itself
    std::filesystem::create_symlink(folder_ + "nowhere", folder_ + "dangling");
    EXPECT_TRUE(LocalItemOf(folder_ + "dangling").found);
    EXPECT_FALSE(LocalItemOf(folder_ + "missing").found);
    EXPECT_EQ(LocalItemOf(folder_ + "missing").modified, "");
}

}  // namespace
