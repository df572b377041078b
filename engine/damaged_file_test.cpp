// Damaged files as the program meets them: records that are not there, and errors that say
// what is damaged and where. Every fixture is laid out byte by byte and then damaged.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/codec/standard_algorithms.h"
#include "engine/database.h"
#include "engine/dataset/vesk_blob_stream.h"
#include "engine/dataset/vesk_table.h"
#include "engine/db_error.h"
#include "engine/memory_medium.h"
#include "engine/session_list.h"
#include "engine/table_io.h"
#include "engine/table_io_owner.h"
#include "engine/testing/overlap_cases.h"
#include "engine/testing/scoped_algorithms.h"
#include "engine/testing/test_bytes.h"
#include "engine/testing/test_db_image.h"

namespace vesk {
namespace {

using testing::OverlapCase;
using testing::OverlapCases;
using testing::OverlapFixture;
using testing::TestImage;
using testing::TestRecord;
using testing::TestTable;
using testing::TestTableAt;

// proxy: id integer (offset 0), host string[10] (offset 4), memo blob (offset 15); 20+15 = 35.
constexpr std::int32_t kRecordSize = 35;
constexpr std::int32_t kMemoAt = 15;

TestTable ProxyTable() {
    TestTable table{"proxy",
                    {{"id", ftInteger}, {"host", ftString, 10}, {"memo", ftMemo}},
                    {{"ByHost", tiCaseInsensitive, {1}, {1, 2, 0}}},
                    {},
                    {}};
    const char* hosts[] = {"gamma", "alpha", "beta"};
    for (std::int32_t e = 0; e < 3; ++e)
        table.Records.push_back(TestRecord(kRecordSize).I32(0, e + 1).Text(4, hosts[e]).bytes);
    return table;
}

// The fixture: the proxy table and a second, empty table after it.
struct Fixture {
    TestImage image;
    TestTableAt proxy;
    TestTableAt other;
    Fixture() {
        proxy = image.AddTable(ProxyTable());
        other = image.AddTable({"other", {{"n", ftInteger}}, {}, {}, {}});
    }
    std::int64_t Field(std::int32_t fieldNo) const {
        return proxy.Header + format::kHdrFields +
               static_cast<std::int64_t>(fieldNo) * format::kFieldDefSize;
    }
    std::int64_t Entry(std::int32_t e) const { return TestImage::RecordTabEntryAt(proxy, e); }
};

// The error text of call; "" when it raises nothing. Only database errors are expected.
std::string ErrorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const EDatabaseError& e) {
        return e.what();
    }
    return {};
}

bool HoldsControlByte(const std::string& text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return true;
    return false;
}

// The image in memory, its file open and a table owner on it.
struct InMemory {
    explicit InMemory(const TestImage& image) { image.CopyTo(stream); }
    TMemoryStream stream;
    TMemoryImageRegistration registration{stream};
    TVeskDBFileIO file;
    std::unique_ptr<TFileTableIOOwner> owner;
    void Open() {
        file.Open(registration.Name(), mtMemory, false);
        owner = std::make_unique<TFileTableIOOwner>(file);
    }
};

// A database connected to the file at path, and the tables opened through it.
struct Connected {
    explicit Connected(const std::string& path) {
        database.SetDatabaseName("damaged");
        database.SetFileName(path);
        database.Open();
    }
    // Opens table `name` in the order of `index` ("" the physical order).
    TVeskTable& Table(const std::string& name, const std::string& index = "") {
        tables.push_back(std::make_unique<TVeskTable>("T" + name));
        TVeskTable& table = *tables.back();
        table.SetDatabaseName("damaged");
        table.SetTableName(name);
        table.SetIndexName(index);
        table.Open();
        return table;
    }
    // Appends a row whose first field, an integer, holds value.
    void Append(const std::string& name, std::int32_t value) {
        TVeskTable& table = Table(name);
        table.Append();
        table.Fields().FieldByNumber(1)->SetAsInteger(value);
        table.Post();
    }
    std::vector<std::int32_t> FirstColumn(const std::string& name) {
        TVeskTable& table = Table(name);
        std::vector<std::int32_t> values;
        for (table.First(); !table.Eof(); table.Next())
            values.push_back(table.Fields().FieldByNumber(1)->AsInteger());
        return values;
    }
    TVeskDatabase database{nullptr, "DamagedDatabase"};
    std::vector<std::unique_ptr<TVeskTable>> tables;
};

// The same image as a disk file read by the program's own components.
class OnDisk : public ::testing::Test {
  protected:
    void SetUp() override {
        VeskDB_Initialization();
        RegisterStandardAlgorithms();
        path_ = (std::filesystem::temp_directory_path() /
                 ("vesk_damaged_" + std::to_string(::getpid()) + ".dat"))
                    .string();
    }
    void TearDown() override {
        VeskDB_Finalization();
        std::filesystem::remove(path_);
    }
    // Connects a database to the image and opens its proxy table in the given order, reading
    // every row; returns the ids read, or throws what the engine raised.
    std::vector<std::int32_t> ReadAll(const TestImage& image, const std::string& index) {
        image.WriteTo(path_);
        Connected connected(path_);
        TVeskTable& table = connected.Table("proxy", index);
        std::vector<std::int32_t> ids;
        for (table.First(); !table.Eof(); table.Next())
            ids.push_back(table.FieldByName("id").AsInteger());
        return ids;
    }
    std::string path_;
};

TEST_F(OnDisk, RowsThatAreNotThereAreRefusedInPhysicalOrderAndByIndexAlike) {
    {
        const Fixture sound;
        EXPECT_EQ(ReadAll(sound.image, ""), (std::vector<std::int32_t>{1, 2, 3}));
        EXPECT_EQ(ReadAll(sound.image, "ByHost"), (std::vector<std::int32_t>{2, 3, 1}));
    }
    using Damage = std::function<void(Fixture&)>;
    struct Case {
        const char* name;
        Damage damage;
        std::string part;
    } cases[] = {
        // The entries after the last one are zero: a raised count reads offset 0.
        {"raised entry count",
         [](Fixture& f) { f.image.PutI32(f.proxy.Header + format::kHdrEntryCount, 5); },
         "entry 3 of table 'proxy': record offset 0 lies in the file's fixed part"},
        {"offset 0", [](Fixture& f) { f.image.PutI32(f.Entry(1), 0); },
         "entry 1 of table 'proxy': record offset 0 lies in the file's fixed part"},
        {"offset -1", [](Fixture& f) { f.image.PutI32(f.Entry(1), -1); },
         "entry 1 of table 'proxy': record offset -1 lies in the file's fixed part"},
        {"offset in the options block",
         [](Fixture& f) { f.image.PutI32(f.Entry(1), format::kOptionsAt); },
         "entry 1 of table 'proxy': record offset 2317 lies in the file's fixed part"},
        {"offset at the file's size", [](Fixture& f) { f.image.PutI32(f.Entry(2), f.image.End()); },
         "entry 2 of table 'proxy': record offset " + std::to_string(Fixture().image.End()) +
             " lies beyond the end of the file"},
        {"offset into its own header",
         [](Fixture& f) { f.image.PutI32(f.Entry(0), f.proxy.Header + 100); },
         "entry 0 of table 'proxy': record offset " + std::to_string(Fixture().proxy.Header + 100) +
             " lies on the header of table 0"},
        {"offset into another table's header",
         [](Fixture& f) { f.image.PutI32(f.Entry(0), f.other.Header); },
         "entry 0 of table 'proxy': record offset " + std::to_string(Fixture().other.Header) +
             " lies on the header of table 1"},
        {"offset into its record tab",
         [](Fixture& f) { f.image.PutI32(f.Entry(0), f.proxy.RecordChunks[0] + 8); },
         "entry 0 of table 'proxy': record offset " +
             std::to_string(Fixture().proxy.RecordChunks[0] + 8) +
             " lies on the record tab of table 'proxy' chunk 0"},
        {"offset into an index tab",
         [](Fixture& f) { f.image.PutI32(f.Entry(0), f.proxy.IndexChunks[0][0] + 40); },
         "entry 0 of table 'proxy': record offset " +
             std::to_string(Fixture().proxy.IndexChunks[0][0] + 40) +
             " lies on the index tab of index 'ByHost' chunk 0"},
        // The order by host is 1, 2, 0: cut after 2, it no longer holds entry 0.
        {"an index order that skips a live entry",
         [](Fixture& f) { f.image.PutI32(TestImage::IndexTabEntryAt(f.proxy, 0, 2) + 4, -1); },
         "the order of index 'ByHost' of table 'proxy' holds 2 of the 3 live entries"},
        {"a deleted entry at offset 0",
         [](Fixture& f) {
             f.image.PutI32(f.Entry(1), 0);
             f.image.bytes[f.Entry(1) + 4] = 1;
         },
         "entry 1 of table 'proxy': record offset 0 lies in the file's fixed part"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture fixture;
        c.damage(fixture);
        for (const char* index : {"", "ByHost"}) {
            SCOPED_TRACE(index);
            const std::string error = ErrorOf([&] { ReadAll(fixture.image, index); });
            EXPECT_EQ(error, "Database file '" + path_ + "' is damaged: " + c.part);
        }
    }
}

TEST_F(OnDisk, StructuresThatShareBytesRefuseTheirTablesBeforeAnyWrite) {
    {
        const OverlapFixture sound;
        sound.image.WriteTo(path_);
        Connected connected(path_);
        EXPECT_EQ(connected.FirstColumn("proxy"), (std::vector<std::int32_t>{1, 2, 3}));
        EXPECT_EQ(connected.FirstColumn("ext"), (std::vector<std::int32_t>{10, 20}));
    }
    for (const OverlapCase& c : OverlapCases()) {
        SCOPED_TRACE(c.name);
        OverlapFixture fixture;
        c.damage(fixture);
        const std::string part = c.part(fixture);
        for (const std::string table : {"proxy", "ext"}) {
            SCOPED_TRACE(table);
            fixture.image.WriteTo(path_);
            const std::string error = ErrorOf([&] { Connected(path_).Append(table, 77); });
            if (std::find(c.refused.begin(), c.refused.end(), table) == c.refused.end()) {
                EXPECT_EQ(error, "");
                continue;
            }
            EXPECT_EQ(error.rfind("Database file '" + path_ + "' is damaged: ", 0), 0u) << error;
            EXPECT_NE(error.find(part), std::string::npos) << error << "\n" << part;
            EXPECT_TRUE(testing_bytes::FileBytes(path_) == fixture.image.bytes)
                << "the file was written";
        }
    }
}

// A last chunk may reach past the file's end (only its used entries need be there): a new
// record or chunk goes past the chunk's end, not into its unused entries.
TEST_F(OnDisk, NewStructuresGoPastALastChunkThatReachesBeyondTheFile) {
    OverlapFixture fixture;
    const std::int32_t chunk = fixture.LayExtRecordTabAtTheEnd();
    fixture.image.WriteTo(path_);
    {
        Connected connected(path_);
        connected.Append("proxy", 4);
        connected.Append("ext", 30);
        connected.Append("proxy", 5);
        connected.Append("ext", 40);
    }
    Connected connected(path_);
    EXPECT_EQ(connected.FirstColumn("proxy"), (std::vector<std::int32_t>{1, 2, 3, 4, 5}));
    EXPECT_EQ(connected.FirstColumn("ext"), (std::vector<std::int32_t>{10, 20, 30, 40}));
    // The first new record lies past the whole chunk.
    const std::vector<std::uint8_t> bytes = testing_bytes::FileBytes(path_);
    EXPECT_GE(format::GetI32(bytes.data() + TestImage::RecordTabEntryAt(fixture.proxy, 3)),
              chunk + format::kRecordTabChunkSize);
}

// The loader refused such a file; a handle that loaded the table before the area came to lie
// on another structure checks it again before it reuses it.
TEST_F(OnDisk, AModifyChecksTheBlobAreaItWouldReuse) {
    OverlapFixture fixture;
    const std::int32_t area = fixture.image.AppendZeros(format::kBlobAreaGranule);
    fixture.SetMemo(1, area, 5, format::kBlobAreaGranule);
    fixture.image.WriteTo(path_);
    Connected connected(path_);
    TVeskTable& proxy = connected.Table("proxy");
    proxy.Next();
    // Behind the handle's back, entry 1's memo now names ext's header, the header unchanged.
    {
        std::fstream file(path_, std::ios::in | std::ios::out | std::ios::binary);
        std::uint8_t offset[4];
        format::PutI32(offset, fixture.ext.Header);
        file.seekp(fixture.proxy.Records[1] + OverlapFixture::kMemoAt + format::kBlobOffset);
        file.write(reinterpret_cast<const char*>(offset), 4);
    }
    const std::vector<std::uint8_t> before = testing_bytes::FileBytes(path_);
    proxy.Edit();
    {
        auto memo = proxy.CreateBlobStream(proxy.FieldByName("memo"), TBlobStreamMode::bmWrite);
        memo->Write("renamed", 7);
    }
    const std::string error = ErrorOf([&] { proxy.Post(); });
    EXPECT_NE(error.find("is damaged: the blob area of field 'memo' of entry 1 of table 'proxy' "
                         "at " +
                         std::to_string(fixture.ext.Header) + " lies on the header of table 'ext'"),
              std::string::npos)
        << error;
    EXPECT_TRUE(testing_bytes::FileBytes(path_) == before) << "the file was written";
    proxy.Cancel();
}

TEST(DamagedFile, AReadAtAnEntryRewrittenSinceTheLoadIsCheckedAsTheLoadChecks) {
    Fixture fixture;
    InMemory memory(fixture.image);
    memory.Open();
    TVeskTableIO table(*memory.owner, "proxy");
    table.Open();
    TMemoryStream value;
    table.ReadFieldValue(value, 1, 0);
    EXPECT_EQ(format::GetI32(value.Memory()), 2);
    // Another writer's damage after the load: the entry now points at the file header.
    std::uint8_t zero[4] = {};
    memory.file.WriteBuffer(zero, fixture.Entry(1), 4);
    const std::string error = ErrorOf([&] { table.ReadFieldValue(value, 1, 0); });
    EXPECT_NE(error.find("is damaged: entry 1 of table 'proxy': record offset 0 lies in the "
                         "file's fixed part"),
              std::string::npos)
        << error;
}

// What the engine said before, for the record: "General error", "Invalid field size", "Table
// 'proxy' not found", "Encryption algorithm module 'Blowf?sh' not found", "Cannot
// Uncompress.", "Stream read error".
TEST(DamagedFile, ErrorsNameWhatIsDamagedAndWhere) {
    const engine_testing::ScopedStandardAlgorithms algorithms;
    using Damage = std::function<void(Fixture&)>;
    struct Case {
        const char* name;
        Damage damage;
        std::string part;  // follows "Database file '<name>' is damaged: "
    } cases[] = {
        {"unknown field type",
         [](Fixture& f) { f.image.bytes[f.Field(1) + format::kFldType] = 200; },
         "field 'host' of table 'proxy' has the unknown type byte 200"},
        {"type without a record slot",
         [](Fixture& f) { f.image.bytes[f.Field(0) + format::kFldType] = ftUnknown; },
         "field 'id' of table 'proxy' has the type Unknown, which no table can hold"},
        {"negative text size",
         [](Fixture& f) { f.image.PutI32(f.Field(1) + format::kFldDataSize, -5); },
         "field 'host' of table 'proxy' has the text size -5, outside 1 to 1048576"},
        {"field name with a control byte", [](Fixture& f) { f.image.bytes[f.Field(1) + 2] = 0x01; },
         "the name 'ho\\x01t' of field 1 of table 'proxy' holds the byte \\x01"},
        {"empty field name", [](Fixture& f) { f.image.bytes[f.Field(0)] = 0; },
         "the name '' of field 0 of table 'proxy' is empty"},
        {"index name with a control byte",
         [](Fixture& f) { f.image.bytes[TestImage::IndexDefAt(f.proxy, 0) + 1] = 0x1B; },
         "the name 'B\\x1BHost' of index 0 of table 'proxy' holds the byte \\x1B"},
        {"a blob as a key",
         [](Fixture& f) {
             f.image.PutI32(TestImage::IndexDefAt(f.proxy, 0) + format::kIdxFields, 2);
         },
         "index 'ByHost' of table 'proxy' names the blob field 'memo' as a key"},
        {"an index without a key field",
         [](Fixture& f) {
             f.image.PutI32(TestImage::IndexDefAt(f.proxy, 0) + format::kIdxFields, -1);
         },
         "index 'ByHost' of table 'proxy' has no key field"},
        {"table name with a control byte",
         [](Fixture& f) { f.image.bytes[f.proxy.Header + 3] = 0x7F; },
         "the name 'pro\\x7Fy' of table 0 holds the byte \\x7F"},
        {"cipher name with a byte of no character",
         [](Fixture& f) {
             f.image.SetOption(format::kOptEncryptOn, 1);
             f.image.SetOptionText(format::kOptCipherName, "Blowf\xE9sh");
         },
         "the name 'Blowf\\xE9sh' of the cipher holds the byte \\xE9"},
        {"compression on without a name",
         [](Fixture& f) { f.image.SetOption(format::kOptCompressOn, 1); },
         "the name '' of the compression algorithm is empty"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture fixture;
        c.damage(fixture);
        InMemory memory(fixture.image);
        const std::string error = ErrorOf([&] {
            memory.Open();
            TVeskTableIO table(*memory.owner, "proxy");
            table.Open();
        });
        EXPECT_EQ(error,
                  "Database file '" + memory.registration.Name() + "' is damaged: " + c.part);
        EXPECT_FALSE(HoldsControlByte(error)) << error;
    }
}

// A name field holds at most its 33 bytes: one that fills it has no terminating zero byte and
// is read as it stands.
TEST(DamagedFile, NamesThatFillTheirFieldAreRead) {
    Fixture fixture;
    const std::string table(format::kNameSize, 'P'), field(format::kNameSize, 'm'),
        index(format::kNameSize, 'i');
    std::memcpy(fixture.image.bytes.data() + fixture.proxy.Header, table.data(), table.size());
    std::memcpy(fixture.image.bytes.data() + fixture.Field(2), field.data(), field.size());
    std::memcpy(fixture.image.bytes.data() + TestImage::IndexDefAt(fixture.proxy, 0), index.data(),
                index.size());
    InMemory memory(fixture.image);
    memory.Open();
    std::vector<std::string> names;
    memory.file.GetTableNames(names);
    EXPECT_EQ(names, (std::vector<std::string>{table, "other"}));
    TVeskTableIO proxy(*memory.owner, table);
    proxy.Open();
    EXPECT_EQ(proxy.FieldDefs().Items(2).Name, field);
    EXPECT_EQ(proxy.IndexDefs().Items(0).Name, index);
    EXPECT_EQ(proxy.GetRecordList(1).size(), 3u);
    TMemoryStream value;
    proxy.ReadFieldValue(value, 2, 0);
    EXPECT_EQ(format::GetI32(value.Memory()), 3);
}

TEST(DamagedFile, TheTextsTheFormatGivesStay) {
    const engine_testing::ScopedStandardAlgorithms algorithms;
    struct Case {
        const char* name;
        std::function<void(Fixture&)> damage;
        std::string error;
    } cases[] = {
        // A sound name of no registered algorithm is a missing module, not damage.
        {"unknown cipher",
         [](Fixture& f) {
             f.image.SetOption(format::kOptEncryptOn, 1);
             f.image.SetOptionText(format::kOptCipherName, "Serpent");
         },
         "Encryption algorithm module 'Serpent' not found"},
        {"version above", [](Fixture& f) { f.image.PutText(format::kVersionAt, 5, "2.1"); },
         "Version of database file is too High"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture fixture;
        c.damage(fixture);
        InMemory memory(fixture.image);
        EXPECT_EQ(ErrorOf([&] { memory.Open(); }), c.error);
    }
}

// A compressed blob value whose stored form does not decode names its field, entry and table,
// through a single-value read and through the table component's blob stream alike.
class DamagedValues : public OnDisk {
  protected:
    // The proxy table with compression on; entry 1's memo holds the stored bytes given.
    TestImage WithStoredMemo(const std::vector<std::uint8_t>& stored) {
        Fixture fixture;
        fixture.image.SetOption(format::kOptCompressOn, 1);
        fixture.image.SetOptionText(format::kOptCompressName, "ZIP");
        const std::int32_t area = fixture.image.AppendBytes(stored);
        fixture.image.AppendZeros(format::kBlobAreaGranule);
        const std::int64_t descriptor = fixture.proxy.Records[1] + kMemoAt;
        fixture.image.PutI32(descriptor + format::kBlobOffset, area);
        fixture.image.PutI32(descriptor + format::kBlobStoredSize,
                             static_cast<std::int32_t>(stored.size()));
        fixture.image.PutI32(descriptor + format::kBlobAllocatedSize,
                             format::BlobAllocatedSize(static_cast<std::int32_t>(stored.size())));
        return fixture.image;
    }
};

TEST_F(DamagedValues, AValueThatDoesNotDecodeIsDamageOfItsPlace) {
    const struct {
        const char* name;
        std::vector<std::uint8_t> stored;
        const char* cause;
    } cases[] = {
        {"a chunk that does not inflate", {5, 0, 0, 0, 1, 2, 3, 4, 5}, "(Cannot Uncompress.)"},
        {"a length word cut short", {5, 0}, "(Stream read error)"},
        {"a chunk longer than a piece", {0x01, 0x00, 0x02, 0x00, 9}, "(Cannot Uncompress.)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TestImage image = WithStoredMemo(c.stored);
        // The storage layer names field, entry and table.
        InMemory memory(image);
        memory.Open();
        TVeskTableIO table(*memory.owner, "proxy");
        table.Open();
        TMemoryStream value;
        EXPECT_EQ(ErrorOf([&] { table.ReadFieldValue(value, 1, 2); }),
                  "Database file '" + memory.registration.Name() +
                      "' is damaged: the value of field 'memo' of entry 1 of table 'proxy' "
                      "cannot be decoded " +
                      c.cause);
        // The table component's lazily loaded blob names the table and the value's place.
        image.WriteTo(path_);
        Connected connected(path_);
        TVeskTable& proxy = connected.Table("proxy");
        proxy.Next();
        const std::string error = ErrorOf([&] {
            const auto stream =
                proxy.CreateBlobStream(proxy.FieldByName("memo"), TBlobStreamMode::bmRead);
            char byte = 0;
            stream->Read(&byte, 1);
        });
        EXPECT_NE(error.find("Database file '" + path_ + "' is damaged: a blob value at offset "),
                  std::string::npos)
            << error;
        EXPECT_NE(error.find(std::string(" of table 'proxy' cannot be decoded ") + c.cause),
                  std::string::npos)
            << error;
    }
}

}  // namespace
}  // namespace vesk
