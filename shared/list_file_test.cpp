#include "shared/list_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/os/testing/read_only_folder.h"

namespace {

namespace fs = std::filesystem;

class ListFile : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("zantrope_list_" + std::to_string(::getpid()) + "_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        path_ = (folder_ / shared::kFindHistoryFile).string();
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string ReadRaw() const {
        std::ifstream in(path_, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void WriteRaw(const std::string& bytes) const {
        std::ofstream(path_, std::ios::binary) << bytes;
    }

    fs::path folder_;
    std::string path_;
};

std::string Record(const std::string& text) {
    std::string record(1, static_cast<char>(text.size()));
    record += text;
    record.append(50 - text.size(), '\0');
    return record;
}

TEST_F(ListFile, WritesCountAndFixedRecordsByteForByte) {
    ASSERT_TRUE(shared::WriteListFile(path_, {"/home/a", "", "*.txt"}));
    const std::string expected =
        std::string("\x03\x00\x00\x00", 4) + Record("/home/a") + Record("") + Record("*.txt");
    EXPECT_EQ(ReadRaw(), expected);
    EXPECT_EQ(shared::ReadListFile(path_), (std::vector<std::string>{"/home/a", "", "*.txt"}));

    ASSERT_TRUE(shared::WriteListFile(path_, {}));  // a cleared history
    EXPECT_EQ(ReadRaw(), std::string("\0\0\0\0", 4));
    EXPECT_TRUE(shared::ReadListFile(path_).empty());
}

TEST_F(ListFile, LongTextsAreCutAtACharacterBoundary) {
    const std::string e = "\xC3\xA9";             // 2 bytes
    const std::string euro = "\xE2\x82\xAC";      // 3 bytes
    const std::string clef = "\xF0\x9D\x84\x9E";  // 4 bytes
    const struct {
        std::string text;
        std::string stored;
    } cases[] = {
        {std::string(60, 'x'), std::string(50, 'x')},
        {std::string(50, 'y'), std::string(50, 'y')},
        {std::string(49, 'a') + e + "b", std::string(49, 'a')},      // é would end at 51
        {std::string(48, 'a') + e + "b", std::string(48, 'a') + e},  // é ends at 50
        {std::string(48, 'a') + euro, std::string(48, 'a')},
        {std::string(47, 'a') + clef, std::string(47, 'a')},
        {std::string(46, 'a') + clef + "z", std::string(46, 'a') + clef},
        {std::string(30, 'a') + std::string(30, '\x80'),
         std::string(30, 'a') + std::string(20, '\x80')},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(shared::CutListText(c.text), c.stored) << c.text;
        ASSERT_TRUE(shared::WriteListFile(path_, {c.text}));
        EXPECT_EQ(ReadRaw().size(), 4u + 51u);
        EXPECT_EQ(shared::ReadListFile(path_), std::vector<std::string>{c.stored});
    }
}

TEST_F(ListFile, DamagedFilesReadAsFarAsTheyAreSound) {
    const std::string two = std::string("\x02\x00\x00\x00", 4);
    const struct {
        const char* what;
        std::string bytes;
        std::vector<std::string> expected;
    } cases[] = {
        {"empty file", "", {}},
        {"short count", std::string("\x01\x00", 2), {}},
        {"count beyond records", two + Record("one"), {"one"}},
        {"last record cut short", two + Record("one") + Record("two").substr(0, 20), {"one"}},
        {"length byte over 50",
         two + std::string(1, '\x33') + std::string(50, 'z') + Record("x"),
         {}},
        {"bad length after a good one", two + Record("ok") + std::string(51, '\xFF'), {"ok"}},
        {"negative count", std::string("\xFF\xFF\xFF\xFF", 4) + Record("x"), {}},
        {"huge count", std::string("\xFF\xFF\xFF\x7F", 4) + Record("a") + Record("b"), {"a", "b"}},
        {"bytes after the records",
         std::string("\x01\x00\x00\x00", 4) + Record("a") + "junk",
         {"a"}},
    };
    // The local bookmarks and the three input histories share the reader and its rules.
    for (const char* name : {shared::kLocalBookmarksFile, shared::kDownloadHistoryFile,
                             shared::kFilterHistoryFile, shared::kFindHistoryFile}) {
        path_ = (folder_ / name).string();
        for (const auto& c : cases) {
            WriteRaw(c.bytes);
            EXPECT_EQ(shared::ReadListFile(path_), c.expected) << name << ": " << c.what;
        }
    }
}

TEST_F(ListFile, OnlyARegularFileIsRead) {
    // A pipe in its place would block the reader for ever; a folder has no bytes to read.
    ASSERT_EQ(::mkfifo(path_.c_str(), 0600), 0);
    EXPECT_TRUE(shared::ReadListFile(path_).empty());
    fs::remove(path_);
    fs::create_directory(path_);
    EXPECT_TRUE(shared::ReadListFile(path_).empty());
}

TEST_F(ListFile, MissingFileReadsEmptyAndUnwritablePlaceKeepsOldFile) {
    EXPECT_TRUE(shared::ReadListFile(path_).empty());
    EXPECT_FALSE(shared::WriteListFile((folder_ / "gone" / "x.dat").string(), {"a"}));
    fs::create_directory(folder_ / "dir.dat");
    EXPECT_FALSE(shared::WriteListFile((folder_ / "dir.dat").string(), {"a"}));
    EXPECT_TRUE(fs::is_directory(folder_ / "dir.dat"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);
}

TEST(ListFilePath, LiesInTheProgramFolder) {
    const std::string path = shared::ListFilePath(shared::kLocalBookmarksFile);
    EXPECT_EQ(fs::path(path).filename(), "bookmark.dat");
    EXPECT_EQ(fs::path(path).parent_path(), fs::canonical("/proc/self/exe").parent_path());
}

// As the layout file: a list file in a folder that takes no new file is still written when
// the file itself is writable.
TEST_F(ListFile, IsWrittenInPlaceWhenOnlyTheFolderIsReadOnly) {
    ASSERT_TRUE(shared::WriteListFile(path_, {"one", "two", "three"}));
    EXPECT_TRUE(os::testing::WriteWithReadOnlyFolder(
        folder_.string(), path_, [&] { return shared::WriteListFile(path_, {"/srv"}); }));
    EXPECT_EQ(shared::ReadListFile(path_), std::vector<std::string>{"/srv"});
    EXPECT_EQ(fs::file_size(path_), 4u + 51u);
}

}  // namespace
