#include "tools/file_check.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/file_builder.h"
#include "engine/file_format.h"
#include "engine/testing/fifo_writer.h"
#include "engine/testing/overlap_cases.h"
#include "tools/database_fixture_test_support.h"

namespace {

using namespace vesk;
using namespace vesk::format;
using vesktool::CheckDatabaseFile;
using vesktool::CheckDatabaseImage;
using vesktool::testing::MakeFixture;
using vesktool::testing::ScratchFolder;

std::string Joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const std::string& line : lines)
        all += line + "\n";
    return all;
}

DatabaseSchema SmallSchema() {
    DatabaseSchema schema;
    schema.tables = {{"a", {{"id", ftAutoInc, 0, 0}, {"s", ftString, 10, 0}}, {{"pk", 3, {0}}}},
                     {"b", {{"m", ftMemo, 0, 0}}, {}}};
    return schema;
}

TEST(FileCheck, FreshImagesAndTheFixtureAreSound) {
    EXPECT_EQ(Joined(CheckDatabaseImage(BuildDatabaseImage({}))), "");
    EXPECT_EQ(Joined(CheckDatabaseImage(BuildDatabaseImage(SmallSchema()))), "");
    ScratchFolder folder;
    EXPECT_EQ(Joined(CheckDatabaseFile(MakeFixture(folder))), "");
}

TEST(FileCheck, RefusesWhatIsNoRegularFile) {
    ScratchFolder folder;
    const std::string fifo = folder / "fifo.dat";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const vesk::testing::FifoWriterAfterAWhile writer(fifo);
    for (const std::string& path : {fifo, folder / "", std::string("/dev/null")}) {
        try {
            CheckDatabaseFile(path);
            ADD_FAILURE() << path << " was checked";
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot open file " + path);
        }
    }
}

TEST(FileCheck, ANameMayFillItsWholeField) {
    std::vector<std::uint8_t> image = BuildDatabaseImage(SmallSchema());
    const std::int64_t header = GetI32(image.data() + kTableTabAt + kTabOffsets);
    for (const std::int64_t name :
         {header + kHdrName, header + kHdrFields + kFldName, header + kHdrIndexes + kIdxName})
        std::fill_n(image.begin() + name, kNameSize, 'n');
    EXPECT_EQ(Joined(CheckDatabaseImage(image)), "");
}

TEST(FileCheck, AcceptsEveryVersionUpTo2Point0) {
    // A version text may fill all five bytes without a terminator.
    for (const std::string version : {"2.0", "1.5", "10.0", "", "1.000", "2"}) {
        std::vector<std::uint8_t> image = BuildDatabaseImage(SmallSchema());
        std::fill_n(image.begin() + kVersionAt, kVersionSize, 0);
        std::copy(version.begin(), version.end(), image.begin() + kVersionAt);
        EXPECT_EQ(Joined(CheckDatabaseImage(image)), "") << version;
    }
    for (const char* version : {"2.00", "2.1", "3", "1.00"}) {
        std::vector<std::uint8_t> image = BuildDatabaseImage(SmallSchema());
        PutText(image.data() + kVersionAt, kVersionSize, version);
        EXPECT_NE(Joined(CheckDatabaseImage(image)).find("version"), std::string::npos) << version;
    }
}

TEST(FileCheck, NamesFaultsOfTheFixedPart) {
    const struct {
        const char* label;
        std::int64_t at;
        std::vector<std::uint8_t> bytes;
        const char* problem;
    } cases[] = {
        {"magic", 0, {'v'}, "magic text"},
        {"version 1.00", kVersionAt, {'1', '.', '0', '0', 0}, "version 1.00"},
        {"version 2.1", kVersionAt, {'2', '.', '1', 0, 0}, "version '2.1' is above 2.0"},
        {"cipher without name",
         kOptionsAt + kOptEncryptOn,
         {1},
         "the name '' of the cipher is empty"},
        {"damaged cipher name",
         kOptionsAt + kOptEncryptOn,
         {1, 0, 'B', 'l', 'o', 'w', 'f', 0xE9, 's', 'h', 0},
         "the name 'Blowf\\xE9sh' of the cipher holds the byte \\xE9"},
        {"unregistered cipher",
         kOptionsAt + kOptEncryptOn,
         {1, 0, 'S', 'e', 'r', 'p', 'e', 'n', 't', 0},
         "the cipher 'Serpent' is not registered"},
        {"compression name without its zero byte", kOptionsAt + kOptCompressOn,
         std::vector<std::uint8_t>(2 + kOptNameSize, 'Z'),
         "of the compression algorithm has no terminating zero byte"},
        {"table name", kFirstFreeAt + 1, {0x01}, "the name 'a\\x01' of the table holds the byte"},
        {"field name", kFirstFreeAt + kHdrFields, {0}, "the name '' of field 0 is empty"},
        {"index name",
         kFirstFreeAt + kHdrIndexes + 1,
         {0x7F},
         "the name 'p\\x7F' of index 0 holds the byte \\x7F"},
        {"text size",
         kFirstFreeAt + kHdrFields + kFieldDefSize + kFldDataSize,
         {0, 0, 0, 0},
         "has type String and size 0, which no table can be loaded with"},
        {"table count", kTableTabAt, {1, 1, 0, 0}, "table count 257 is over its 256 slots"},
        {"negative table count", kTableTabAt + 3, {0x80}, "is over its 256 slots"},
        {"header offset", kTableTabAt + kTabOffsets + 4, {0, 0, 0, 0}, "table 1: header offset 0"},
        {"field type", kFirstFreeAt + kHdrFields + kFldType, {ftWideString}, "type WideString"},
        {"key field", kFirstFreeAt + kHdrIndexes + kIdxFields, {2}, "key field number 2"},
        {"first chunk of an empty table", kFirstFreeAt + kHdrFirstChunk, {1}, "no entry, but"},
        {"index head of an empty table",
         kFirstFreeAt + kHdrIndexes + kIdxHead,
         {1},
         "no entry, but a first chunk or head"},
    };
    for (const auto& c : cases) {
        std::vector<std::uint8_t> image = BuildDatabaseImage(SmallSchema());
        std::copy(c.bytes.begin(), c.bytes.end(), image.begin() + c.at);
        const std::string problems = Joined(CheckDatabaseImage(image));
        EXPECT_NE(problems.find(c.problem), std::string::npos) << c.label << ":\n" << problems;
    }
    std::vector<std::uint8_t> shorter = BuildDatabaseImage({});
    shorter.pop_back();
    EXPECT_NE(Joined(CheckDatabaseImage(shorter)).find("fewer than its fixed part"),
              std::string::npos);
    EXPECT_NE(Joined(CheckDatabaseImage({})).find("0 bytes"), std::string::npos);
}

TEST(FileCheck, NamesEveryDamageOfTheFixture) {
    const struct {
        const char* damage;
        const char* problem;
    } cases[] = {
        {"chunk-link-out", "record tab: chunk 2 at offset"},
        {"chunk-link-loop", "record tab: the chunk chain loops back"},
        {"chunk-chain-short", "the chunk chain ends after 2 of 3 chunks"},
        {"truncated", "is out of the file"},
        {"entry-count-huge", "entry count 2147483647 cannot fit"},
        {"entry-count-negative", "entry count -5 cannot fit"},
        {"field-count-over", "field count 97 is over"},
        {"index-count-over", "index count 9 is over"},
        {"table-count-over", "table count 257 is over"},
        {"table-offset-out", "table 1: header offset"},
        {"index-loop", "index 'pk': the order comes back to entry"},
        {"index-next-out", "index 'byname': entry 10 links to 3077, out of range"},
        {"index-head-out", "index 'pk': head 3000 is out of range"},
        {"index-chunk-out", "index 'byname': chunk 1 at offset"},
        {"record-offset-out", "entry 5: record offset"},
        {"blob-offset-out", "entry 1, blob 'note': the area at offset"},
        {"blob-size-negative", "stored size -100 and allocated size 64 do not match"},
        {"entry-count-raised", "entry 3000: record offset 0 lies in the file's fixed part"},
        {"record-offset-zero", "entry 5: record offset 0 lies in the file's fixed part"},
        {"record-offset-header", " lies on the header of table 0"},
        {"field-type-unknown", "field 'name' has type #200 and size 40"},
        {"field-name-control", "the name 'n\\x01me' of field 1 holds the byte \\x01"},
        {"table-name-control", "the name 'pe\\x1Bple' of the table holds the byte \\x1B"},
        {"key-order", "index 'pk': entry 0 is out of key order after entry 1"},
        {"text-key-order",
         "table 'tags': index 'bytag': entry 4 is out of key order after entry 5"},
    };
    ScratchFolder folder;
    for (const auto& c : cases) {
        const std::string problems = Joined(CheckDatabaseFile(MakeFixture(folder, c.damage)));
        EXPECT_NE(problems.find(c.problem), std::string::npos) << c.damage << ":\n" << problems;
    }
}

// The files the table loader refuses for structures that share bytes (overlap_cases.h): the
// check names the same overlap, and the sound file has none.
TEST(FileCheck, NamesStructuresThatShareBytesAsTheLoaderDoes) {
    const vesk::testing::OverlapFixture sound;
    EXPECT_EQ(Joined(CheckDatabaseImage(sound.image.bytes)), "");
    for (const vesk::testing::OverlapCase& c : vesk::testing::OverlapCases()) {
        vesk::testing::OverlapFixture fixture;
        c.damage(fixture);
        const std::string problems = Joined(CheckDatabaseImage(fixture.image.bytes));
        EXPECT_NE(problems.find(c.part(fixture)), std::string::npos) << c.name << ":\n" << problems;
    }
    // A last chunk whose unused entries lie past the file's end is read as the engine reads it.
    vesk::testing::OverlapFixture fixture;
    fixture.LayExtRecordTabAtTheEnd();
    EXPECT_EQ(Joined(CheckDatabaseImage(fixture.image.bytes)), "");
}

TEST(FileCheck, ListsAtMostItsLimitOfProblems) {
    ScratchFolder folder;
    std::string image = vesktool::testing::ReadWholeFile(MakeFixture(folder));
    // Every record-tab entry of the first chunk gets an impossible deleted flag.
    const std::int64_t header =
        GetI32(reinterpret_cast<const std::uint8_t*>(image.data()) + kTableTabAt + kTabOffsets);
    const std::int64_t chunk =
        GetI32(reinterpret_cast<const std::uint8_t*>(image.data()) + header + kHdrFirstChunk);
    for (int e = 0; e < kEntriesPerChunk; ++e)
        image[chunk + 4 + e * 5 + 4] = 7;
    const std::vector<std::string> problems =
        CheckDatabaseImage({reinterpret_cast<const std::uint8_t*>(image.data()), image.size()});
    ASSERT_EQ(problems.size(), vesktool::kMaxListedProblems + 1);
    EXPECT_NE(problems.front().find("deleted flag 7 is not 0 or 1"), std::string::npos);
    EXPECT_EQ(problems.back().rfind("... and ", 0), 0u) << problems.back();
}

}  // namespace
