#include "mainwindow/transfer_entries.h"
#include "platform/os/testing/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace transfers {
namespace {

TEST(TransferEntries, ADroppedEntryDownloadsIntoTheFolderWithItsListingDetails) {
    rdatalist file;
    file.name = "a.bin";
    file.shelltype = "BIN File";
    file.size = 6'000'000'000;
    file.modified = "2026-01-02 03:04:05";
    const rupdown download = DownloadEntry(file, "/home/u/in");
    EXPECT_EQ(download.direction, 1);
    EXPECT_EQ(download.lopath, "/home/u/in/a.bin");
    EXPECT_EQ(download.ftppath, "0");
    EXPECT_EQ(download.size, 6'000'000'000);
    EXPECT_FALSE(download.isfolder);
    EXPECT_EQ(download.rdate, "2026-01-02 03:04:05");
    EXPECT_FALSE(download.checkexist);
    EXPECT_EQ(download.spare, -1);

    rdatalist folder;
    folder.name = "sub";
    folder.typetext = "Folder";
    EXPECT_TRUE(DownloadEntry(folder, "/").isfolder);
    EXPECT_EQ(DownloadEntry(folder, "/").lopath, "/sub");
}

class UploadEntries : public ::testing::Test {
  protected:
    os::testing::TempFolder temp_{"entries"};
    std::string folder_ = temp_.path() + "/";
};

// A file over 4 GiB keeps its true size; a sparse file costs no disk.
TEST_F(UploadEntries, ALargeFileIsQueuedWithItsTrueSize) {
    constexpr std::int64_t kFiveGiB = 5LL * 1024 * 1024 * 1024;
    const std::string path = folder_ + "big.iso";
    std::ofstream(path).close();
    std::filesystem::resize_file(path, kFiveGiB);
    const std::optional<rupdown> upload = UploadEntry(path, false);
    ASSERT_TRUE(upload.has_value());
    EXPECT_EQ(upload->size, kFiveGiB);
    EXPECT_EQ(upload->name, "big.iso");
    EXPECT_EQ(upload->lopath, path);
    EXPECT_EQ(upload->direction, 0);
    EXPECT_EQ(upload->ftppath, "0");
    EXPECT_FALSE(upload->isfolder);
}

// An item that is gone, or is no longer of the kind the view showed, is not queued.
TEST_F(UploadEntries, AnItemThatIsNotWhatTheViewShowedIsRefused) {
    std::filesystem::create_directory(folder_ + "dir");
    std::ofstream(folder_ + "file") << "x";
    EXPECT_TRUE(UploadEntry(folder_ + "dir", true).has_value());
    EXPECT_EQ(UploadEntry(folder_ + "dir", true)->size, 0);
    EXPECT_FALSE(UploadEntry(folder_ + "dir", false).has_value());
    EXPECT_FALSE(UploadEntry(folder_ + "file", true).has_value());
    EXPECT_FALSE(UploadEntry(folder_ + "gone", false).has_value());
    EXPECT_FALSE(UploadEntry(folder_ + "gone", true).has_value());
}

}  // namespace
}  // namespace transfers
