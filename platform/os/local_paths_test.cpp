#include "platform/os/local_paths.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/os/testing/temp_folder.h"

namespace os {
namespace {

TEST(LocalPaths, NameAndFolderParts) {
    const struct {
        const char* path;
        const char* name;
        const char* folder;
    } cases[] = {
        {"/a/b.txt", "b.txt", "/a/"}, {"b.txt", "b.txt", ""}, {"/b", "b", "/"},
        {"/a/b/", "", "/a/b/"},       {"", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FileNamePart(c.path), c.name) << c.path;
        EXPECT_EQ(FolderPart(c.path), c.folder) << c.path;
    }
}

TEST(LocalPaths, FoldersAndRegularFilesAreToldApart) {
    const testing::TempFolder temp("paths");
    std::ofstream(temp.File("five.bin")) << "12345";
    EXPECT_TRUE(IsFolder(temp.path()));
    EXPECT_FALSE(IsFolder(temp.File("five.bin")));
    EXPECT_FALSE(IsFolder(""));
    EXPECT_EQ(RegularFileSize(temp.File("five.bin")), 5);
    EXPECT_EQ(RegularFileSize(temp.path()), -1);
    EXPECT_EQ(RegularFileSize(temp.File("missing")), -1);
    EXPECT_FALSE(IsRegularFile("/dev/null"));
}

}  // namespace
}  // namespace os
