#include "tools/vesk_commands.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "engine/file_builder.h"
#include "engine/session_list.h"
#include "tools/database_fixture_test_support.h"
#include "tools/schema_parser.h"

namespace {

using vesktool::kExitFailed;
using vesktool::kExitOk;
using vesktool::kExitUsage;
using vesktool::testing::ReadWholeFile;
using vesktool::testing::ScratchFolder;
using vesktool::testing::ToolRun;
using vesktool::testing::Vesk;

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

TEST(VeskCommands, CreateWritesTheSchemaAndNeverOverwrites) {
    ScratchFolder folder;
    const std::string schema = folder / "s.schema", file = folder / "s.dat";
    WriteText(schema, "table t\nfield id autoinc\nfield name string 20\nindex pk id primary\n");
    const ToolRun created = Vesk({"create", file, schema});
    ASSERT_EQ(created.code, kExitOk) << created.err;
    const std::string bytes = ReadWholeFile(file);
    const std::vector<std::uint8_t> expected =
        vesk::BuildDatabaseImage(vesktool::ParseSchema(ReadWholeFile(schema)));
    EXPECT_EQ(bytes, std::string(expected.begin(), expected.end()));

    WriteText(schema, "table other\nfield v integer\n");
    const ToolRun again = Vesk({"create", file, schema});
    EXPECT_EQ(again.code, kExitFailed);
    EXPECT_NE(again.err.find("File exists"), std::string::npos) << again.err;
    EXPECT_EQ(ReadWholeFile(file), bytes);
}

TEST(VeskCommands, RefusesBadSchemasAndCommandLines) {
    ScratchFolder folder;
    const struct {
        const char* schema;
        const char* message;
    } cases[] = {
        {"table t\nfield id autoinc\nfield x widestring\n", "field type WideString"},
        {"table t\nfield a strng 5\n", "line 2: unknown field type 'strng'"},
        {"table t\nfield a string 5\nindex i a unique\ntable T\nfield b integer\n",
         "two tables are named 'T'"},
    };
    for (const auto& c : cases) {
        WriteText(folder / "bad.schema", c.schema);
        const ToolRun result = Vesk({"create", folder / "bad.dat", folder / "bad.schema"});
        EXPECT_EQ(result.code, kExitFailed) << c.schema;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
        EXPECT_FALSE(std::filesystem::exists(folder / "bad.dat")) << c.schema;
    }
    EXPECT_EQ(Vesk({"create", folder / "x.dat", folder / "missing.schema"}).code, kExitFailed);
    EXPECT_EQ(Vesk({"check", folder / "missing.dat"}).code, kExitFailed);
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{}, {"check"}, {"dump", "f"}, {"drop", "f"}}) {
        const ToolRun result = Vesk(args);
        EXPECT_EQ(result.code, kExitUsage);
        EXPECT_NE(result.err.find("usage: vesk create FILE SCHEMA"), std::string::npos);
    }
}

TEST(VeskCommands, CheckExitsNonZeroNamingEachProblem) {
    ScratchFolder folder;
    const std::string sound = vesktool::testing::MakeFixture(folder);
    EXPECT_EQ(Vesk({"check", sound}).code, kExitOk);
    const ToolRun damaged =
        Vesk({"check", vesktool::testing::MakeFixture(folder, "index-head-out")});
    EXPECT_EQ(damaged.code, kExitFailed);
    EXPECT_EQ(damaged.err, sound + ": table 'people': index 'pk': head 3000 is out of range\n");
}

// The build step that makes the shipped files creates a missing file and leaves an existing
// one as it is.
std::string BuildStep(const std::string& output, const std::string& seedDir) {
    return std::string("cmake -DVESK=") + ZANTROPE_BIN_DIR +
           "/vesk -DSCHEMA=" + ZANTROPE_SOURCE_DIR + "/data/all.schema -DOUTPUT=" + output +
           " -DSEED_DIR=" + seedDir + " -P " + ZANTROPE_SOURCE_DIR +
           "/data/make_database.cmake > /dev/null 2>&1";
}

TEST(VeskCommands, TheBuildStepSeedsANewFileAndNeverOverwritesOne) {
    ScratchFolder folder;
    const std::string output = folder / "all.dat";
    const std::string step = BuildStep(output, std::string(ZANTROPE_SOURCE_DIR) + "/data/seed/all");
    ASSERT_EQ(std::system(step.c_str()), 0) << step;
    EXPECT_EQ(Vesk({"check", output}).code, kExitOk);
    EXPECT_EQ(Vesk({"dump", output, "options"}).out,
              "eanti\tinterval\ttransfermode\ttransferc\trecvb\tsendb\tappe\n"
              "False\t30\tauto\tnone\t65536\t65536\tFalse\n");
    EXPECT_EQ(Vesk({"dump", output, "antiidle"}).out, "command\ttf\nNOOP\tTrue\nPWD\tFalse\n");
    std::string extensions = "ext\ttf\n";
    for (const char* ext :
         {"TXT", "HTM", "HTML", "PHP", "CSS", "JS", "XML", "INI", "LOG", "SH", "PL", "CGI"})
        extensions += std::string(ext) + "\tTrue\n";
    EXPECT_EQ(Vesk({"dump", output, "ascext"}).out, extensions);
    EXPECT_EQ(Vesk({"dump", output, "ftpsite"}).out.find('\n') + 1,
              Vesk({"dump", output, "ftpsite"}).out.size())
        << "tables without seed rows stay empty";

    WriteText(output, "the user's data");
    ASSERT_EQ(std::system(step.c_str()), 0) << step;
    EXPECT_EQ(ReadWholeFile(output), "the user's data");
}

TEST(VeskCommands, DumpKeepsTheRowsAFilterPasses) {
    ScratchFolder folder;
    const std::string output = folder / "all.dat";
    const std::string step = BuildStep(output, std::string(ZANTROPE_SOURCE_DIR) + "/data/seed/all");
    ASSERT_EQ(std::system(step.c_str()), 0) << step;
    const ToolRun html = Vesk({"dump", output, "ascext", "--filter", "ext LIKE 'HT%'"});
    EXPECT_EQ(html.code, kExitOk) << html.err;
    EXPECT_EQ(html.out, "ext\ttf\nHTM\tTrue\nHTML\tTrue\n");
    EXPECT_EQ(Vesk({"dump", output, "ascext", "--filter", "ext = 'NONE'"}).out, "ext\ttf\n");
    // The engine's message, nothing on the output.
    const ToolRun bad = Vesk({"dump", output, "ascext", "--filter", "ext ="});
    EXPECT_EQ(bad.code, kExitFailed);
    EXPECT_EQ(bad.err, "vesk dump: Expression expected but nothing found\n");
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(Vesk({"dump", output, "ascext", "--filter", "nope = 1"}).err,
              "vesk dump: Tascext: Field 'nope' not found\n");
    // A filter of no Boolean value passes no row by chance: it is refused.
    for (const char* number : {"256", "257", "1.5", "GETDATE()"})
        EXPECT_EQ(Vesk({"dump", output, "ascext", "--filter", number}).err,
                  "vesk dump: Type mismatch in expression\n")
            << number;
    const ToolRun damaged = Vesk({"dump", vesktool::testing::MakeFixture(folder, "index-head-out"),
                                  "people", "--filter", "True"});
    EXPECT_EQ(damaged.code, kExitFailed);
    EXPECT_NE(damaged.err.find("damaged"), std::string::npos) << damaged.err;
    EXPECT_EQ(damaged.out, "");
    // Only dump filters.
    EXPECT_EQ(Vesk({"tables", output, "--filter", "True"}).code, kExitUsage);
    EXPECT_EQ(Vesk({"dump", output, "ascext", "--filter"}).code, kExitUsage);
    vesk::VeskDB_Finalization();  // filtering started the engine's sessions
}

TEST(VeskCommands, AFailedSeedLeavesNoFileBehind) {
    ScratchFolder folder;
    const std::string seeds = folder / "seed";
    ASSERT_EQ(std::system(("mkdir " + seeds).c_str()), 0);
    WriteText(seeds + "/options.tsv", "interval\nnot a number\n");
    const std::string output = folder / "all.dat";
    EXPECT_NE(std::system(BuildStep(output, seeds).c_str()), 0);
    EXPECT_FALSE(std::ifstream(output).good());
    EXPECT_FALSE(std::ifstream(output + ".partial").good());
}

// The shipped files as the build made them, checked by the tool executable itself.
TEST(VeskCommands, TheBuiltDatabaseFilesAreSound) {
    for (const char* name : {"all.dat", "FTPBookmark.dat"}) {
        const std::string command =
            std::string(ZANTROPE_BIN_DIR) + "/vesk check " + ZANTROPE_APP_DIR + "/" + name;
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
    }
}

}  // namespace
