#include "mainwindow/force_local_folders.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "mainwindow/main_form.h"
#include "platform/os/local_paths.h"
#include "platform/os/testing/temp_folder.h"

namespace {

TEST(ForceLocalFolders, CreatesEveryMissingLevelFromTheOutermostInwards) {
    const os::testing::TempFolder temp("force");
    const std::string deep = temp.File("a/b/c");
    EXPECT_TRUE(TForm1::ForceLocalFolders(deep));
    EXPECT_TRUE(os::IsFolder(temp.File("a")));
    EXPECT_TRUE(os::IsFolder(temp.File("a/b")));
    EXPECT_TRUE(os::IsFolder(deep));
    // Existing levels are passed over; only the missing last one is made.
    std::ofstream(temp.File("a/b/keep.txt")) << "kept";
    EXPECT_TRUE(TForm1::ForceLocalFolders(temp.File("a/b/d/")));
    EXPECT_TRUE(os::IsFolder(temp.File("a/b/d")));
    EXPECT_EQ(os::RegularFileSize(temp.File("a/b/keep.txt")), 4);
    // Doubled and trailing separators create nothing more and are no error.
    EXPECT_TRUE(TForm1::ForceLocalFolders(temp.path() + "//e///f//"));
    EXPECT_TRUE(os::IsFolder(temp.File("e/f")));
}

TEST(ForceLocalFolders, EmptyPathAndRootNeedNothing) {
    EXPECT_TRUE(ForceLocalFolderLevels(""));
    EXPECT_TRUE(ForceLocalFolderLevels("/"));
    EXPECT_TRUE(ForceLocalFolderLevels("/tmp"));
}

TEST(ForceLocalFolders, RefusesRelativePathsWithoutCreatingAnything) {
    const os::testing::TempFolder temp("force-rel");
    char previous[4096];
    ASSERT_NE(::getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(::chdir(temp.path().c_str()), 0);
    for (const char* relative : {"rel/sub", "./rel", "../rel", "rel"})
        EXPECT_FALSE(TForm1::ForceLocalFolders(relative)) << relative;
    ASSERT_EQ(::chdir(previous), 0);
    EXPECT_FALSE(os::IsFolder(temp.File("rel")));
}

TEST(ForceLocalFolders, ALevelThatCannotBeMadeStopsTheDeeperOnes) {
    const os::testing::TempFolder temp("force-fail");
    std::ofstream(temp.File("file")) << "x";
    EXPECT_FALSE(TForm1::ForceLocalFolders(temp.File("file/sub/deeper")));
    EXPECT_FALSE(os::IsFolder(temp.File("file/sub")));
    EXPECT_EQ(os::RegularFileSize(temp.File("file")), 1);
}

}  // namespace
