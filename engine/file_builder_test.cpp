#include "engine/file_builder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "engine/codec/standard_algorithms.h"
#include "engine/db_error.h"
#include "engine/db_file_io.h"
#include "engine/file_format.h"
#include "engine/schema_rules.h"
#include "engine/table_io.h"
#include "engine/table_io_owner.h"
#include "engine/testing/scoped_algorithms.h"
#include "engine/testing/test_bytes.h"

namespace {

using namespace vesk;
using namespace vesk::format;

SchemaTable SitesTable() {
    SchemaTable table{"ftpsite", {}, {}};
    table.fields = {{"id", ftAutoInc, 0, 0}, {"name", ftString, 64, 0}, {"pasv", ftBoolean, 0, 1}};
    table.indexes = {{"pk", kIdxPrimary | kIdxUnique, {0}},
                     {"byname", kIdxCaseInsensitive | kIdxDescending, {1, 0}}};
    return table;
}

DatabaseSchema TwoTables() {
    DatabaseSchema schema;
    schema.options = {true, "ZIP", true, 3, "Blowfish", "abcDEF+-", true};
    schema.tables = {SitesTable(), {"bookmark", {{"path", ftString, 255, 0}}, {}}};
    return schema;
}

bool AllZero(const std::vector<std::uint8_t>& image, std::int64_t at, std::int64_t size) {
    for (std::int64_t i = at; i < at + size; ++i)
        if (image[static_cast<size_t>(i)] != 0)
            return false;
    return true;
}

TEST(FileBuilder, LaysOutHeaderOptionsTabAndEmptyTables) {
    const std::vector<std::uint8_t> image = BuildDatabaseImage(TwoTables());
    const std::uint8_t* b = image.data();
    ASSERT_EQ(static_cast<std::int64_t>(image.size()), kFirstFreeAt + 2 * kTableHeaderSize);
    EXPECT_EQ(GetText(b, kMagicSize), "VeskDB");
    EXPECT_EQ(b[6], 0);
    EXPECT_EQ(GetText(b + kVersionAt, kVersionSize), "2.0");
    EXPECT_TRUE(AllZero(image, kFileHeaderSize, kOptionsAt - kFileHeaderSize));

    const std::uint8_t* opt = b + kOptionsAt;
    EXPECT_EQ(opt[kOptCompressOn], 1);
    EXPECT_EQ(GetText(opt + kOptCompressName, kOptNameSize), "ZIP");
    EXPECT_EQ(opt[kOptEncryptOn], 1);
    EXPECT_EQ(opt[kOptCipherMode], 3);
    EXPECT_EQ(GetText(opt + kOptCipherName, kOptNameSize), "Blowfish");
    EXPECT_EQ(opt[kOptBlobCheck], 1);
    EXPECT_EQ(GetText(opt + kOptPasswordDigest, kOptPasswordDigestSize), "abcDEF+-");
    EXPECT_TRUE(AllZero(image, kOptionsAt + 1, 1));
    EXPECT_TRUE(AllZero(image, kOptionsAt + kOptBlobCheck + 1, 256));
    EXPECT_TRUE(AllZero(image, kOptionsAt + kOptPasswordDigest + kOptPasswordDigestSize, 16));

    const std::uint8_t* tab = b + kTableTabAt;
    EXPECT_EQ(GetI32(tab + kTabCount), 2);
    EXPECT_TRUE(AllZero(image, kTableTabAt + 4, 4));
    EXPECT_EQ(GetI32(tab + kTabOffsets), kFirstFreeAt);
    EXPECT_EQ(GetI32(tab + kTabOffsets + 4), kFirstFreeAt + kTableHeaderSize);
    EXPECT_TRUE(AllZero(image, kTableTabAt + kTabOffsets + 8, 254 * 4)) << "unused slots";

    const std::uint8_t* h = b + kFirstFreeAt;
    EXPECT_EQ(GetText(h + kHdrName, kNameSize), "ftpsite");
    EXPECT_EQ(GetI32(h + kHdrFirstChunk), 0);
    EXPECT_EQ(GetI32(h + kHdrEntryCount), 0);
    EXPECT_EQ(GetI32(h + kHdrAutoInc), 0);
    ASSERT_EQ(GetI32(h + kHdrFieldCount), 3);
    const std::uint8_t* name = h + kHdrFields + kFieldDefSize;
    EXPECT_EQ(GetText(name + kFldName, kNameSize), "name");
    EXPECT_EQ(name[kFldType], ftString);
    EXPECT_EQ(GetI32(name + kFldDataSize), 64);
    EXPECT_EQ(h[kHdrFields + 2 * kFieldDefSize + kFldProcessMode], 1);
    EXPECT_TRUE(AllZero(image, kFirstFreeAt + kHdrFields + 3 * kFieldDefSize, 93 * kFieldDefSize));
    ASSERT_EQ(GetI32(h + kHdrIndexCount), 2);
    const std::uint8_t* byname = h + kHdrIndexes + kIndexDefSize;
    EXPECT_EQ(GetText(byname + kIdxName, kNameSize), "byname");
    EXPECT_EQ(byname[kIdxOptions], kIdxCaseInsensitive | kIdxDescending);
    EXPECT_EQ(GetI32(byname + kIdxFields), 1);
    EXPECT_EQ(GetI32(byname + kIdxFields + 4), 0);
    for (int k = 2; k < kMaxKeyFields; ++k)
        EXPECT_EQ(GetI32(byname + kIdxFields + 4 * k), -1);
    EXPECT_EQ(GetI32(byname + kIdxFirstChunk), 0);
    EXPECT_EQ(GetI32(byname + kIdxHead), 0);
    EXPECT_TRUE(
        AllZero(image, kFirstFreeAt + kHdrIndexes + 2 * kIndexDefSize, 6 * kIndexDefSize + 16));
    EXPECT_EQ(GetText(b + kFirstFreeAt + kTableHeaderSize, kNameSize), "bookmark");
}

TEST(FileBuilder, NoTablesAndAllSlotsFull) {
    EXPECT_EQ(BuildDatabaseImage({}).size(), static_cast<size_t>(kFirstFreeAt));

    SchemaTable wide{"wide", {}, {}};
    for (int f = 0; f < kMaxFields; ++f)
        wide.fields.push_back({"f" + std::to_string(f), ftInteger, 0, 0});
    for (int i = 0; i < kMaxIndexes; ++i)
        wide.indexes.push_back({"i" + std::to_string(i), 0, {0, 1, 2, 3, 4, 5, 6, 7}});
    DatabaseSchema schema;
    for (int t = 0; t < kMaxTables; ++t) {
        wide.name = "t" + std::to_string(t);
        schema.tables.push_back(wide);
    }
    const std::vector<std::uint8_t> image = BuildDatabaseImage(schema);
    const std::int64_t last = kFirstFreeAt + std::int64_t{kMaxTables - 1} * kTableHeaderSize;
    EXPECT_EQ(GetI32(image.data() + kTableTabAt + kTabOffsets + 4 * (kMaxTables - 1)), last);
    const std::uint8_t* index7 = image.data() + last + kHdrIndexes + 7 * kIndexDefSize;
    EXPECT_EQ(GetI32(index7 + kIdxFields + 4 * 7), 7) << "eight key fields leave no -1";
    EXPECT_EQ(GetI32(index7 + kIdxFirstChunk), 0);
}

TEST(FileBuilder, RefusesDefinitionsOutsideTheFormat) {
    struct Case {
        const char* label;
        void (*spoil)(DatabaseSchema&);
        const char* message;
    };
    const Case cases[] = {
        {"257 tables",
         [](DatabaseSchema& s) {
             for (int t = 0; t < 255; ++t)
                 s.tables.push_back({"x" + std::to_string(t), {{"a", ftInteger, 0, 0}}, {}});
         },
         "more than 256 tables"},
        {"97 fields",
         [](DatabaseSchema& s) {
             for (int f = 0; f < 94; ++f)
                 s.tables[0].fields.push_back({"g" + std::to_string(f), ftInteger, 0, 0});
         },
         "more than 96 fields"},
        {"9 indexes",
         [](DatabaseSchema& s) {
             for (int i = 0; i < 7; ++i)
                 s.tables[0].indexes.push_back({"j" + std::to_string(i), 0, {1}});
         },
         "more than 8 indexes"},
        {"9 key fields",
         [](DatabaseSchema& s) { s.tables[0].indexes[1].fieldNumbers.assign(9, 0); },
         "more than 8 key fields"},
        {"no key field", [](DatabaseSchema& s) { s.tables[0].indexes[1].fieldNumbers.clear(); },
         "no key field"},
        {"key field 3 of 3", [](DatabaseSchema& s) { s.tables[0].indexes[0].fieldNumbers = {3}; },
         "key field number 3 is out of range"},
        {"key field -1", [](DatabaseSchema& s) { s.tables[0].indexes[0].fieldNumbers = {-1}; },
         "key field number -1 is out of range"},
        {"blob key",
         [](DatabaseSchema& s) {
             s.tables[0].fields[2].type = ftMemo;
             s.tables[0].indexes[0].fieldNumbers = {2};
         },
         "cannot be a key field"},
        {"table name of 33", [](DatabaseSchema& s) { s.tables[0].name.assign(33, 't'); },
         "longer than 32 bytes"},
        {"field name of 33", [](DatabaseSchema& s) { s.tables[0].fields[0].name.assign(33, 'f'); },
         "longer than 32 bytes"},
        {"index name of 33", [](DatabaseSchema& s) { s.tables[0].indexes[0].name.assign(33, 'i'); },
         "longer than 32 bytes"},
        {"empty field name", [](DatabaseSchema& s) { s.tables[0].fields[0].name.clear(); },
         "empty"},
        {"zero byte in name", [](DatabaseSchema& s) { s.tables[1].name = std::string("a\0b", 3); },
         "zero byte"},
        {"wide string", [](DatabaseSchema& s) { s.tables[0].fields[1].type = ftWideString; },
         "field type WideString cannot be stored"},
        {"unknown", [](DatabaseSchema& s) { s.tables[0].fields[1].type = ftUnknown; },
         "field type Unknown"},
        {"code 99",
         [](DatabaseSchema& s) { s.tables[0].fields[1].type = static_cast<TFieldType>(99); },
         "field type #99"},
        {"text size 0", [](DatabaseSchema& s) { s.tables[0].fields[1].dataSize = 0; },
         "text size 0"},
        {"same field name", [](DatabaseSchema& s) { s.tables[0].fields[2].name = "NAME"; },
         "two fields are named 'NAME'"},
        {"same table name", [](DatabaseSchema& s) { s.tables[1].name = "FtpSite"; },
         "two tables are named 'FtpSite'"},
        {"two primaries", [](DatabaseSchema& s) { s.tables[0].indexes[1].options |= kIdxPrimary; },
         "more than one primary index"},
        {"option bit 4", [](DatabaseSchema& s) { s.tables[0].indexes[1].options = 16; },
         "unknown index option"},
        {"compression without name", [](DatabaseSchema& s) { s.options.compressionName.clear(); },
         "compression is on"},
        {"cipher mode 5", [](DatabaseSchema& s) { s.options.cipherMode = 5; }, "cipher mode 5"},
        {"digest of 129", [](DatabaseSchema& s) { s.options.passwordDigest.assign(129, 'd'); },
         "password digest"},
        {"no fields", [](DatabaseSchema& s) { s.tables[1].fields.clear(); }, "has no field"},
    };
    for (const Case& c : cases) {
        DatabaseSchema schema = TwoTables();
        c.spoil(schema);
        try {
            BuildDatabaseImage(schema);
            ADD_FAILURE() << c.label << ": accepted";
        } catch (const EDatabaseError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos)
                << c.label << ": " << e.what();
        }
    }
}

TEST(FileBuilder, AcceptsEveryLoadableTypeAndTheLimits) {
    DatabaseSchema schema = TwoTables();
    const TFieldType loadable[] = {ftString,     ftSmallint, ftInteger,     ftWord,      ftBoolean,
                                   ftFloat,      ftCurrency, ftDate,        ftTime,      ftDateTime,
                                   ftAutoInc,    ftBlob,     ftMemo,        ftGraphic,   ftFmtMemo,
                                   ftParadoxOle, ftDBaseOle, ftTypedBinary, ftFixedChar, ftLargeint,
                                   ftOraBlob,    ftOraClob};
    schema.tables[1].fields.clear();
    for (const TFieldType type : loadable)
        schema.tables[1].fields.push_back({FieldTypeName(type), type, 1, 0});
    schema.tables[1].name.assign(32, 'n');
    EXPECT_NO_THROW(BuildDatabaseImage(schema));
    EXPECT_EQ(RecordSlotSize(ftString, 20), 21);
    EXPECT_EQ(RecordSlotSize(ftOraClob, 0), 20);
    EXPECT_EQ(RecordSlotSize(ftDateTime, 0), 8);
    EXPECT_EQ(RecordSlotSize(ftBCD, 0), -1);
    EXPECT_FALSE(IsLoadableFieldType(ftGuid));
}

class FileBuilderOnDisk : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/file_builder_XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        folder_ = pattern;
        path_ = folder_ + "/new.dat";
    }
    void TearDown() override {
        std::remove(path_.c_str());
        ::rmdir(folder_.c_str());
    }
    std::vector<std::uint8_t> Contents() const { return testing_bytes::FileBytes(path_); }
    std::string folder_, path_;
};

TEST_F(FileBuilderOnDisk, WritesTheImageAndRefusesAnExistingFile) {
    CreateDatabaseFile(path_, TwoTables());
    EXPECT_EQ(Contents(), BuildDatabaseImage(TwoTables()));
    DatabaseSchema other = TwoTables();
    other.tables.pop_back();
    EXPECT_THROW(CreateDatabaseFile(path_, other), EStreamError);
    EXPECT_EQ(Contents(), BuildDatabaseImage(TwoTables())) << "the existing file is untouched";
}

TEST_F(FileBuilderOnDisk, TheEnginesReaderLoadsEveryTableEmpty) {
    const DatabaseSchema schema = TwoTables();
    CreateDatabaseFile(path_, schema);
    // The file asks for compression and a cipher by name.
    const engine_testing::ScopedStandardAlgorithms algorithms;
    TVeskDBFileIO file;
    file.Open(path_, mtDisk, false);
    EXPECT_TRUE(file.CompressionOn());
    EXPECT_EQ(file.CipherName(), "Blowfish");
    TFileTableIOOwner owner(file);
    ASSERT_EQ(owner.TableNames(), (std::vector<std::string>{"ftpsite", "bookmark"}));
    for (const SchemaTable& expected : schema.tables) {
        TVeskTableIO table(owner, expected.name);
        table.Open();
        ASSERT_EQ(table.FieldDefs().Count(), static_cast<std::int32_t>(expected.fields.size()));
        for (std::int32_t f = 0; f < table.FieldDefs().Count(); ++f) {
            const TVeskFieldDef& field = table.FieldDefs().Items(f);
            EXPECT_EQ(field.Name, expected.fields[f].name);
            EXPECT_EQ(field.FieldType, expected.fields[f].type);
            EXPECT_EQ(field.DataSize, expected.fields[f].dataSize);
            EXPECT_EQ(field.ProcessMode, expected.fields[f].processMode);
        }
        ASSERT_EQ(table.IndexDefs().Count(), static_cast<std::int32_t>(expected.indexes.size()));
        for (std::int32_t i = 0; i < table.IndexDefs().Count(); ++i) {
            EXPECT_EQ(table.IndexDefs().Items(i).Name, expected.indexes[i].name);
            EXPECT_EQ(table.IndexDefs().Items(i).Options, expected.indexes[i].options);
            EXPECT_EQ(table.IndexDefs().Items(i).FieldNumbers, expected.indexes[i].fieldNumbers);
        }
        ASSERT_EQ(table.RecordListCount(), table.IndexDefs().Count() + 1);
        for (std::int32_t l = 0; l < table.RecordListCount(); ++l)
            EXPECT_TRUE(table.GetRecordList(l).empty()) << expected.name << " list " << l;
        table.Close();
    }
}

TEST_F(FileBuilderOnDisk, InvalidSchemaCreatesNoFile) {
    DatabaseSchema schema = TwoTables();
    schema.tables[0].fields[0].type = ftBCD;
    EXPECT_THROW(CreateDatabaseFile(path_, schema), EDatabaseError);
    struct stat info;
    EXPECT_NE(::stat(path_.c_str(), &info), 0);
}

}  // namespace
