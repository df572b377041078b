// The path columns of the shipped files hold a Linux path of 4096 bytes; a longer value is
// refused with an error naming the column, and nothing of it is stored.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "engine/codec/algo_registry.h"
#include "engine/session_list.h"
#include "tools/database_fixture_test_support.h"
#include "tools/vesk_commands.h"

namespace {

using vesktool::testing::ScratchFolder;
using vesktool::testing::ToolRun;
using vesktool::testing::Vesk;

struct PathColumn {
    const char* file;
    const char* table;
    const char* field;
};

// A path of size bytes: "/" followed by folder names (UTF-8 "é" when wide, else ASCII).
std::string PathOf(std::size_t size, bool wide) {
    std::string path = "/";
    const std::string unit = wide ? "\xC3\xA9" : "d";
    while (path.size() + unit.size() <= size)
        path += path.size() % 200 == 0 ? std::string("/") : unit;
    while (path.size() < size)
        path += "x";
    return path;
}

// The tool's import starts the engine and registers the algorithms: both end with the test.
class PathColumns : public ::testing::Test {
  protected:
    void TearDown() override {
        vesk::VeskDB_Finalization();
        vesk::UnregisterAllAlgorithms();
    }
};

TEST_F(PathColumns, HoldALinuxPathAndRefuseALongerOne) {
    const PathColumn columns[] = {
        {"all.dat", "hdital", "lopath"},       {"all.dat", "hdital", "ftppath"},
        {"all.dat", "taskd2", "local"},        {"all.dat", "taskd2", "ftp"},
        {"all.dat", "ftpsite", "defaultpath"}, {"FTPBookmark.dat", "bookmark", "path"},
    };
    ScratchFolder folder;
    for (const PathColumn& c : columns) {
        SCOPED_TRACE(std::string(c.table) + "." + c.field);
        const std::string file = folder / c.file;
        for (bool wide : {false, true}) {
            // A fresh copy of the built file each time, so the only long path is this one.
            std::filesystem::copy_file(std::string(ZANTROPE_APP_DIR) + "/" + c.file, file,
                                       std::filesystem::copy_options::overwrite_existing);
            const std::string longest = PathOf(4096, wide);
            ASSERT_EQ(longest.size(), 4096u);
            std::ofstream(folder / "in.tsv", std::ios::binary) << c.field << "\n"
                                                               << longest << "\n"
                                                               << PathOf(4097, wide) << "\n";
            const ToolRun run = Vesk({"import", file, c.table, folder / "in.tsv"});
            EXPECT_EQ(run.code, vesktool::kExitFailed);
            EXPECT_NE(run.err.find("line 3: Value too long for field '" + std::string(c.field) +
                                   "': 4097 bytes, the field holds 4096"),
                      std::string::npos)
                << run.err;
            // The first row went in whole; the refused one, cut, would show it a second time.
            const std::string dump = Vesk({"dump", file, c.table}).out;
            const std::size_t at = dump.find(longest);
            ASSERT_NE(at, std::string::npos);
            const char after = dump[at + longest.size()];
            EXPECT_TRUE(after == '\t' || after == '\n') << "cell ends in '" << after << "'";
            EXPECT_EQ(dump.find(longest, at + 1), std::string::npos);
            EXPECT_EQ(Vesk({"check", file}).code, vesktool::kExitOk);
        }
    }
}

}  // namespace
