#include "connection/export_tree.h"
#include "platform/os/testing/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace {

const os::LocalDateTime kExportMoment{2026, 12, 10, 14, 5, 59, 0};

// A start folder as the whole-tree walk adds it (each folder's entries in reverse listing
// order): a file, a folder holding a file and a folder with a file, and an empty folder.
TExportTree SmallTree() {
    TExportTree tree(ExportRootText("mysite", "127.0.0.1", "/pub"));
    tree.AddEntries(TExportTree::kRoot,
                    {{"a.txt", false, 1536, "2026-01-02 03:04:05", {}},
                     {"sub",
                      true,
                      0,
                      "",
                      {{"b.bin", false, 0, "2026-02-03 04:05:06", {}},
                       {"deep", true, 0, "", {{"c", false, 2560, "2026-03-04 05:06:07", {}}}}}},
                     {"empty", true, 0, "", {}}});
    return tree;
}

// The file of SmallTree, byte for byte. The widest line is b.bin's (50), so the footer has
// 50 / 2 - 1 = 24 dashes.
const std::string kSmallTreeFile =
    "mysite(ftp://127.0.0.1/pub)\r\n"
    "\u2502    a.txt    2KB    2026-01-02 03:04:05\r\n"
    "\u251C\u2500<sub>\r\n"
    "\u2502    \u2502    b.bin    0bytes    2026-02-03 04:05:06\r\n"
    "\u2502    \u251C\u2500<deep>\r\n"
    "\u2502    \u2502    \u2502    c    2KB    2026-03-04 05:06:07\r\n"
    "\u2502    <empty>\r\n"
    "\u2514\u2500\u2500\u2500\u2500\u2500\u2500\u2500\u2500\u2500\u2500\u2500\u2500\u2500\u2500"
    "\u2500\u2500\u2500\u2500\u2500\u2500\u2500\u2500\u2500\u2500\r\n"
    "    2 folders, 4 files, export date: 2026/12/10 14:05\r\n";

TEST(ExportTree, SmallTreeGivesTheFileByteForByte) {
    EXPECT_EQ(SmallTree().Contents(kExportMoment), kSmallTreeFile);
}

TEST(ExportTree, BoxCharactersAreWrittenInUtf8) {
    const std::string file = SmallTree().Contents(kExportMoment);
    EXPECT_EQ(file.substr(file.find("<sub>") - 6, 6), "\xE2\x94\x9C\xE2\x94\x80");
    EXPECT_EQ(file.substr(file.find("a.txt") - 7, 3), "\xE2\x94\x82");
    EXPECT_NE(file.find("\r\n\xE2\x94\x94\xE2\x94\x80"), std::string::npos);
}

// The edge case of the whole-tree export of a folder holding one file and one sub-folder
// with one file: 1 folder, 2 files; the file line and the footer as the layout draws them.
TEST(ExportTree, FolderWithOneFileAndOneSubfolder) {
    TExportTree tree("s(ftp://h/)");
    tree.AddFile(TExportTree::kRoot, "f", 100, "2026-01-01 00:00:00");
    const TExportTree::Node sub = tree.AddFolder(TExportTree::kRoot, "d");
    tree.AddFile(sub, "g", 2048, "2026-01-01 00:00:01");
    // The widest line is g's: 12 + 31 = 43, so 43 / 2 - 1 = 20 dashes.
    std::string footer = "\u2514";
    for (int dash = 0; dash < 20; ++dash)
        footer += "\u2500";
    EXPECT_EQ(tree.Lines(kExportMoment),
              (std::vector<std::string>{
                  "s(ftp://h/)",
                  "\u2502    f    100bytes    2026-01-01 00:00:00",
                  "\u251C\u2500<d>",
                  "\u2502    \u2502    g    2KB    2026-01-01 00:00:01",
                  footer,
                  "    1 folders, 2 files, export date: 2026/12/10 14:05",
              }));
}

TEST(ExportTree, RootAloneHasABareFooterAndCountsNothing) {
    // Root "x(ftp://h)" is 10 wide: 4 dashes; a root of 3 or fewer gives the corner alone.
    EXPECT_EQ(TExportTree("x(ftp://h)").Lines(kExportMoment),
              (std::vector<std::string>{"x(ftp://h)", "\u2514\u2500\u2500\u2500\u2500",
                                        "    0 folders, 0 files, export date: 2026/12/10 14:05"}));
    EXPECT_EQ(TExportTree("abc").Lines(kExportMoment)[1], "\u2514");
    EXPECT_EQ(TExportTree("").Lines(kExportMoment)[1], "\u2514");
}

// A selection: file rows with the list's own texts, and a folder walked below the root.
TEST(ExportTree, SelectedRowsKeepTheListTexts) {
    TExportTree tree(ExportRootText("site", "ftp.test", "/cur"));
    tree.AddFileRow(TExportTree::kRoot, "z.zip", "12KB", "2025-05-06 07:08:09");
    tree.AddFile(tree.AddFolder(TExportTree::kRoot, "f"), "inner", 3221225472,
                 "2025-01-01 00:00:00");
    const std::vector<std::string> lines = tree.Lines({2027, 1, 2, 3, 4, 0, 0});
    EXPECT_EQ(lines[0], "site(ftp://ftp.test/cur)");
    EXPECT_EQ(lines[1], "\u2502    z.zip    12KB    2025-05-06 07:08:09");
    EXPECT_EQ(lines[3], "\u2502    \u2502    inner    3145728KB    2025-01-01 00:00:00");
    EXPECT_EQ(lines.back(), "    1 folders, 2 files, export date: 2027/01/02 03:04");
}

// Names are the server's bytes: a name that is not UTF-8 reaches the file unchanged.
TEST(ExportTree, NamesThatAreNotUtf8AreWrittenAsTheyAre) {
    TExportTree tree("r");
    const std::string name = "\xB0\xA1\xFF.txt";
    tree.AddFile(tree.AddFolder(TExportTree::kRoot, "\xC4\xE3"), name, 1, "2026-01-01 00:00:00");
    const std::string file = tree.Contents(kExportMoment);
    EXPECT_NE(file.find("<\xC4\xE3>\r\n"), std::string::npos);
    EXPECT_NE(file.find(name + "    1bytes    "), std::string::npos);
}

TEST(ExportTree, LineWidthCountsAsADoubleByteCodePage) {
    const struct {
        std::string line;
        std::size_t width;
    } cases[] = {
        {"", 0},
        {"abc", 3},
        {"\u2502    ", 6},  // box-drawing: 2
        {"\u251C\u2500<d>", 7},
        {"\u00E9t\u00E9", 5},  // two-byte UTF-8: 2
        {"\u4E2D\u6587", 4},   // three-byte UTF-8: 2
        {"\U0001F600", 2},     // four-byte UTF-8: 2
        {"\xB0\xA1", 2},       // not UTF-8 (a double-byte name): 1 per byte
        {"\xE4\xB8", 2},       // a cut-off character: 1 per byte
        {"\xC0\xAF", 2},       // an overlong form is no character
        {"\xED\xA0\x80", 3},   // nor is a surrogate
        {"a\xFF"
         "b",
         3},
    };
    for (const auto& test : cases)
        EXPECT_EQ(ExportLineWidth(test.line), test.width) << test.line;
}

TEST(ExportTree, SizeTexts) {
    const struct {
        std::int64_t size;
        const char* text;
    } cases[] = {
        {0, "0bytes"},
        {1, "1bytes"},
        {512, "512bytes"},  // half of 1 KB rounds to the even 0
        {513, "1KB"},
        {1023, "1KB"},
        {1024, "1KB"},
        {1536, "2KB"},  // halves to even: up
        {2560, "2KB"},  // and down
        {3584, "4KB"},
        {3221225472, "3145728KB"},  // 3 GB
        {3221225472 + 512, "3145728KB"},
        {3221225472 + 1536, "3145730KB"},
        {INT64_MAX, "9007199254740992KB"},
        {-5, "-5bytes"},
    };
    for (const auto& test : cases)
        EXPECT_EQ(FormatSizeKB(test.size), test.text) << test.size;
}

class ExportFile : public ::testing::Test {
  protected:
    void SetUp() override { os::SetFixedNow(kExportMoment); }
    void TearDown() override { os::SetFixedNow(std::nullopt); }
    static std::string Read(const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        std::ostringstream bytes;
        bytes << file.rdbuf();
        return bytes.str();
    }
    os::testing::TempFolder temp_{"export"};
    std::string folder_ = temp_.path() + "/";
};

TEST_F(ExportFile, SaveWritesTheTreeWithTheClocksDateAndReplacesAnOldFile) {
    const std::string path = folder_ + "tree.txt";
    std::ofstream(path) << "an older and much longer export file than the new one\n"
                        << std::string(4096, 'x');
    SaveExportTree(SmallTree(), path);
    EXPECT_EQ(Read(path), kSmallTreeFile);
}

// A folder that is a file cannot take the export, whoever runs the test.
TEST_F(ExportFile, AFileThatCannotBeWrittenIsAnErrorNamingIt) {
    std::ofstream(folder_ + "plain") << "not a folder";
    const std::string path = folder_ + "plain/tree.txt";
    try {
        SaveExportTree(SmallTree(), path);
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find(path), std::string::npos) << error.what();
    }
    EXPECT_EQ(Read(folder_ + "plain"), "not a folder");
}

TEST(ExportTree, AddingBelowANodeThatIsNotThereIsRefused) {
    TExportTree tree("r");
    EXPECT_THROW(tree.AddFolder(5, "x"), std::out_of_range);
    EXPECT_EQ(tree.NodeCount(), 1u);
}

}  // namespace
