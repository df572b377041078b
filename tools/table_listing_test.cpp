#include "tools/table_listing.h"

#include <gtest/gtest.h>

#include <sstream>

#include "engine/db_error.h"
#include "tools/database_fixture_test_support.h"
#include "tools/vesk_commands.h"

namespace {

using vesktool::testing::MakeFixture;
using vesktool::testing::ReadWholeFile;
using vesktool::testing::ScratchFolder;

std::string Dump(const std::string& file, const std::string& table) {
    std::ostringstream out;
    vesktool::DumpTable(file, table, out);
    return out.str();
}

std::string Tables(const std::string& file) {
    std::ostringstream out;
    vesktool::ListTables(file, out);
    return out.str();
}

TEST(TableListing, DumpReadsTheGeneratedFileRowForRow) {
    ScratchFolder folder;
    const std::string file = MakeFixture(folder);
    for (const char* table : {"people", "tags", "empty"})
        EXPECT_EQ(Dump(file, table), ReadWholeFile(folder / (std::string(table) + ".tsv")))
            << table;
    EXPECT_EQ(Dump(file, "TAGS"), ReadWholeFile(folder / "tags.tsv")) << "names ignore case";
    EXPECT_THROW(Dump(file, "nosuch"), vesk::EDatabaseError);
}

TEST(TableListing, TablesShowsFieldsAndIndexes) {
    ScratchFolder folder;
    EXPECT_EQ(Tables(MakeFixture(folder)),
              "people id:autoinc:0 name:string:40 age:integer:0 level:smallint:0 "
              "active:boolean:0 note:memo:0 pk(id)[primary,unique] "
              "byname(name,age)[descending,caseinsensitive]\n"
              "tags tag:string:8 weight:integer:0 score:float:0 day:date:0 "
              "byweight(weight)[descending] bytag(tag)[unique] byscore(score)[]\n"
              "empty v:integer:0 pk(v)[primary]\n");
    EXPECT_THROW(Tables(folder / "missing.dat"), vesk::EDatabaseError);
}

// Damaged copies are refused with a clear error; the suite runs under the sanitizers, so a
// read past a buffer or the file fails the test. A primary order out of key order cannot be
// seen by a reader: the physical order, and with it the dump, stays whole.
TEST(TableListing, DamagedFilesAreRefusedCleanly) {
    const char* const damages[] = {
        "chunk-link-out",     "chunk-link-loop",      "chunk-chain-short",  "truncated",
        "entry-count-huge",   "entry-count-negative", "field-count-over",   "index-count-over",
        "table-count-over",   "table-offset-out",     "index-loop",         "index-next-out",
        "index-head-out",     "index-chunk-out",      "record-offset-out",  "blob-offset-out",
        "blob-size-negative", "entry-count-raised",   "record-offset-zero", "record-offset-header",
        "field-type-unknown", "field-name-control"};
    ScratchFolder folder;
    for (const char* damage : damages) {
        const std::string file = MakeFixture(folder, damage);
        std::ostringstream out, err;
        EXPECT_EQ(vesktool::RunVesk({"dump", file, "people"}, out, err), vesktool::kExitFailed)
            << damage;
        EXPECT_EQ(err.str().rfind("vesk dump: Database file '" + file + "' is damaged: ", 0), 0u)
            << damage << ": " << err.str();
    }
    // The damage that used to read as "General error" or as a missing table names itself, in
    // `vesk tables` as in `vesk dump`.
    const struct {
        const char* damage;
        const char* detail;
    } named[] = {
        {"field-type-unknown", "field 'name' of table 'people' has the unknown type byte 200"},
        {"field-name-control",
         "the name 'n\\x01me' of field 1 of table 'people' holds the byte \\x01"},
        {"table-name-control", "the name 'pe\\x1Bple' of table 0 holds the byte \\x1B"},
    };
    for (const auto& c : named) {
        const std::string file = MakeFixture(folder, c.damage);
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"tables", file}, {"dump", file, "people"}}) {
            std::ostringstream out, err;
            EXPECT_EQ(vesktool::RunVesk(args, out, err), vesktool::kExitFailed) << c.damage;
            EXPECT_EQ(err.str(), "vesk " + args[0] + ": Database file '" + file +
                                     "' is damaged: " + c.detail + "\n");
        }
    }
    ScratchFolder sound;
    MakeFixture(sound);
    EXPECT_EQ(Dump(MakeFixture(folder, "key-order"), "people"),
              ReadWholeFile(sound / "people.tsv"));
}

// Every table and column of the shipped files with its kind: texts are strings, numbers
// integers, flags booleans, and the engine's keys auto-increment fields with a primary index.
TEST(TableListing, TheBuiltDatabaseFilesHoldEveryTableAndColumn) {
    const std::string all = Tables(std::string(ZANTROPE_APP_DIR) + "/all.dat");
    const std::string bookmarks = Tables(std::string(ZANTROPE_APP_DIR) + "/FTPBookmark.dat");
    const std::vector<std::string> expected = {
        "ftpsite id:autoinc:0 name:string:100 address:string:255 port:integer:0 "
        "username:string:255 password:string:255 comment:string:1024 timeout:integer:0 "
        "nor:integer:0 rd:integer:0 vp:boolean:0 defaultpath:string:4096 pasv:boolean:0 "
        "autorefresh:boolean:0 cnc:boolean:0 maxc:integer:0 proxy:string:100 socks:string:100 "
        "cdate:string:32 zdate:string:32 pk(id)[primary,unique]",
        "options eanti:boolean:0 interval:integer:0 transfermode:string:16 transferc:string:16 "
        "recvb:integer:0 sendb:integer:0 appe:boolean:0",
        "proxy name:string:100 type:integer:0 typename:string:32 server:string:255 "
        "port:integer:0 login:boolean:0 username:string:255 password:string:255",
        "socks name:string:100 sv:integer:0 svname:string:32 host:string:255 port:integer:0 "
        "login:boolean:0 user:string:255 pass:string:255",
        "antiidle command:string:255 tf:boolean:0",
        "ascext ext:string:64 tf:boolean:0",
        "hmaster key:autoinc:0 id:integer:0 date:string:100 type:string:16 "
        "pk(key)[primary,unique]",
        "hdital key:autoinc:0 id:integer:0 type:string:16 lofile:string:255 "
        "ftpfile:string:255 date:string:32 date2:string:32 ftppath:string:4096 "
        "lopath:string:4096 usetime:string:32 speed:string:32 isfolder:boolean:0 "
        "pk(key)[primary,unique]",
        "task id:autoinc:0 name:string:100 desc:string:255 pk(id)[primary,unique]",
        "taskd id:autoinc:0 taskid:integer:0 name:string:100 ftp:string:100 type:string:16 "
        "common:string:255 pk(id)[primary,unique]",
        "taskd2 id:integer:0 isfolder:boolean:0 files:string:255 local:string:4096 "
        "ftp:string:4096",
        "quickftp ftp:string:255 port:integer:0 user:string:255 pass:string:255 pasv:boolean:0",
    };
    std::string joined;
    for (const std::string& line : expected)
        joined += line + "\n";
    EXPECT_EQ(all, joined);
    EXPECT_EQ(bookmarks, "bookmark ftpid:integer:0 path:string:4096\n");
}

}  // namespace
