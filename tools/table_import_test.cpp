// vesk import and vesk delete on a fresh file, read back with vesk dump.
#include "tools/table_import.h"
#include "engine/session_list.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tools/database_fixture_test_support.h"
#include "tools/tsv_read.h"
#include "tools/vesk_commands.h"

namespace {

using vesktool::testing::ScratchFolder;
using vesktool::testing::ToolRun;
using vesktool::testing::Vesk;

constexpr const char* kSchema =
    "table hist\n"
    "field key autoinc\n"
    "field id integer\n"
    "field name string 8\n"
    "field done boolean\n"
    "index pk key primary unique\n"
    "index byname name unique\n";

class ImportDelete : public ::testing::Test {
  protected:
    void SetUp() override {
        std::ofstream(folder_ / "s.schema") << kSchema;
        ASSERT_EQ(Vesk({"create", file_, folder_ / "s.schema"}).code, vesktool::kExitOk);
    }
    // The tool's import and delete start the engine: it stops with the test.
    void TearDown() override { vesk::VeskDB_Finalization(); }
    ToolRun Import(const std::string& tsv) {
        std::ofstream(folder_ / "in.tsv", std::ios::binary) << tsv;
        return Vesk({"import", file_, "hist", folder_ / "in.tsv"});
    }
    std::string Dump() { return Vesk({"dump", file_, "hist"}).out; }

    ScratchFolder folder_;
    std::string file_ = folder_ / "db.dat";
};

TEST_F(ImportDelete, ImportAssignsKeysAndDeleteRemovesEveryMatch) {
    const ToolRun imported = Import(
        "name\tid\tdone\tkey\n"
        "a\\tb\t7\tTrue\t\n"
        "c\\\\d\t7\tFalse\t0\n"
        "e\t8\tt\t10\n");
    ASSERT_EQ(imported.code, vesktool::kExitOk) << imported.err;
    EXPECT_EQ(imported.out, "3 rows imported\n");
    EXPECT_EQ(Dump(),
              "key\tid\tname\tdone\n"
              "1\t7\ta\\tb\tTrue\n"
              "2\t7\tc\\\\d\tFalse\n"
              "10\t8\te\tTrue\n");
    const ToolRun deleted = Vesk({"delete", file_, "hist", "id", "7"});
    ASSERT_EQ(deleted.code, vesktool::kExitOk) << deleted.err;
    EXPECT_EQ(deleted.out, "2 rows deleted\n");
    EXPECT_EQ(Dump(), "key\tid\tname\tdone\n10\t8\te\tTrue\n");
    EXPECT_EQ(Vesk({"delete", file_, "hist", "name", "E"}).out, "0 rows deleted\n");
    // The engine's counter goes on after the highest key it gave.
    ASSERT_EQ(Import("name\nf\n").code, vesktool::kExitOk);
    EXPECT_EQ(Vesk({"check", file_}).code, vesktool::kExitOk);
}

TEST_F(ImportDelete, ErrorsNameTheLineAndKeepEarlierRows) {
    struct Case {
        const char* tsv;
        const char* error;
    };
    const std::vector<Case> cases = {
        {"name\tid\nx\t1\ny\n", "line 3: 1 cells where the header has 2"},
        {"name\tid\nx\t2\n", "line 2: Invalid unique field value 'x'"},
        {"name\tid\nq\tnine\n", "line 2: 'nine' is not a valid integer value for field 'id'"},
        {"name\tnope\n", "Thist: Field 'nope' not found"},
        {"name\nbad\\q\n", "line 2: bad escape in cell 'bad\\q'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tsv);
        const ToolRun run = Import(c.tsv);
        EXPECT_EQ(run.code, vesktool::kExitFailed);
        EXPECT_NE(run.err.find(c.error), std::string::npos) << run.err;
    }
    EXPECT_EQ(Dump(), "key\tid\tname\tdone\n1\t1\tx\tFalse\n");
}

TEST(TsvRead, SplitAndUnescape) {
    EXPECT_EQ(vesktool::SplitTsvLine("a\t\tb\r"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(vesktool::UnescapeTsvText("x\\n\\0y"), std::string("x\n\0y", 4));
    EXPECT_EQ(vesktool::UnescapeTsvText("x\\"), std::nullopt);
}

}  // namespace
