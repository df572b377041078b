#include "platform/os/file_replace.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

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

}  // namespace
