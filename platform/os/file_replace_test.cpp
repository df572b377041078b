#include "platform/os/file_replace.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/os/testing/read_only_folder.h"

namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

mode_t ModeOf(const fs::path& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

TEST(ReplaceFileContents, ReplacesWholeFilesAndKeepsTheirMode) {
    const fs::path folder =
        fs::temp_directory_path() / ("zantrope_replace_" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path file = folder / "forminfo.ini";

    EXPECT_EQ(os::ReplaceFileContents(file.string(), std::string("a\0b", 3)),
              os::ReplaceResult::kReplaced);
    EXPECT_EQ(Read(file), std::string("a\0b", 3));
    EXPECT_EQ(ModeOf(file), 0644u);

    ::chmod(file.c_str(), 0600);
    EXPECT_EQ(os::ReplaceFileContents(file.string(), "new"), os::ReplaceResult::kReplaced);
    EXPECT_EQ(Read(file), "new");
    EXPECT_EQ(ModeOf(file), 0600u);

    EXPECT_EQ(os::ReplaceFileContents((folder / "gone" / "x").string(), "x"),
              os::ReplaceResult::kNoSibling);
    fs::create_directory(folder / "dir");
    EXPECT_EQ(os::ReplaceFileContents((folder / "dir").string(), "x"), os::ReplaceResult::kFailed);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()),
              2);  // no leftovers
    fs::remove_all(folder);
}

// A folder that takes no new file but holds a writable file (a program folder the user may
// not add to): the file is still written, in place.
TEST(WriteFileContents, RewritesAWritableFileInPlaceInAReadOnlyFolder) {
    const fs::path folder =
        fs::temp_directory_path() / ("zantrope_in_place_" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directory(folder);
    const fs::path file = folder / "Find.dat";
    std::ofstream(file) << "old contents, longer than the new";
    const std::string path = file.string();
    EXPECT_TRUE(os::testing::WriteWithReadOnlyFolder(folder.string(), path, [&] {
        // The folder refuses the sibling, so the atomic way alone gives up.
        return os::ReplaceFileContents(path, "x") == os::ReplaceResult::kNoSibling &&
               os::WriteFileContents(path, "new");
    }));
    EXPECT_EQ(Read(file), "new");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
    // A missing file cannot be made there.
    EXPECT_FALSE(os::testing::WriteWithReadOnlyFolder(folder.string(), path, [&] {
        return os::WriteFileContents((folder / "other.dat").string(), "new");
    }));
    EXPECT_FALSE(fs::exists(folder / "other.dat"));
    fs::remove_all(folder);
}

}  // namespace
