#include "engine/table_io.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <functional>

#include "engine/codec/hash.h"
#include "engine/codec/sha_hash.h"
#include "engine/codec/standard_algorithms.h"
#include "engine/db_error.h"
#include "engine/memory_medium.h"
#include "engine/table_io_owner.h"
#include "engine/testing/scoped_algorithms.h"
#include "engine/testing/test_db_image.h"
#include "platform/os/collation.h"

namespace vesk {
namespace {

using testing::TestImage;
using testing::TestIndex;
using testing::TestRecord;
using testing::TestTable;
using testing::TestTableAt;

// Table "Items": num ftInteger (at 0), name ftString[10] (at 4), memo ftMemo (at 15); 35 bytes.
// Entries: 0 (20,"b") 1 (10,"A") 2 (30,"c") 3 (20,"e") 4 (20,"D") 5 (20,"zz", deleted).
constexpr std::int32_t kRecordSize = 35;
const std::vector<std::int32_t> kNums = {20, 10, 30, 20, 20, 20};
const std::vector<std::string> kNames = {"b", "A", "c", "e", "D", "zz"};

TestTable ItemsTable() {
    TestTable table{
        "Items", {{"num", ftInteger}, {"name", ftString, 10}, {"memo", ftMemo}}, {}, {}, {5}};
    for (size_t e = 0; e < kNums.size(); ++e)
        table.Records.push_back(TestRecord(kRecordSize).I32(0, kNums[e]).Text(4, kNames[e]).bytes);
    table.Indexes = {
        {"ByNum", 0, {0}, {1, 0, 3, 5, 4, 2}},
        {"ByName", tiCaseInsensitive, {1}, {1, 0, 2, 4, 3, 5}},
        {"ByNumDesc", tiDescending, {0}, {2, 0, 5, 3, 4, 1}},
        {"Pair", tiPrimary, {0, 1}, {1, 0, 4, 3, 5, 2}},
    };
    return table;
}

// A key buffer over the three fields of Items.
struct ItemsKey {
    explicit ItemsKey(std::int32_t num = 0, const std::string& name = {}) {
        format::PutI32(numBytes, num);
        format::PutText(nameBytes, sizeof nameBytes, name);
        buffers.Add(numBytes, ftInteger, 4);
        buffers.Add(nameBytes, ftString, 11);
        buffers.AddBlob(&memo, ftMemo);
    }
    std::uint8_t numBytes[4] = {};
    std::uint8_t nameBytes[11] = {};
    TBlobBufferStream memo;
    TFieldBuffers buffers;
};

// An image in memory, opened, with a table owner over it.
struct Loaded {
    explicit Loaded(const TestImage& image) {
        image.CopyTo(stream);
        file.Open(registration.Name(), mtMemory, false);
        owner = std::make_unique<TFileTableIOOwner>(file);
    }
    TMemoryStream stream;
    TMemoryImageRegistration registration{stream};
    TVeskDBFileIO file;
    std::unique_ptr<TFileTableIOOwner> owner;
};

std::vector<std::int32_t> Entries(const TRecordList& list) {
    std::vector<std::int32_t> entries;
    for (const TRecordItem& item : list)
        entries.push_back(item.EntryNo);
    return entries;
}

class TableIOItems : public ::testing::Test {
  protected:
    void SetUp() override {
        where = image.AddTable(ItemsTable());
        image.AddTable({"Empty", {{"n", ftInteger}}, {{"ByN", tiUnique, {0}, {}}}, {}, {}});
        loaded = std::make_unique<Loaded>(image);
        table = std::make_unique<TVeskTableIO>(*loaded->owner, "ITEMS");
        table->Open();
    }
    TestImage image;
    TestTableAt where;
    std::unique_ptr<Loaded> loaded;
    std::unique_ptr<TVeskTableIO> table;
};

TEST_F(TableIOItems, LoadsDefinitionsLayoutAndOrders) {
    EXPECT_EQ(table->TableNo(), 0);
    ASSERT_EQ(table->FieldDefs().Count(), 3);
    EXPECT_EQ(table->FieldDefs().Items(1).Name, "name");
    EXPECT_EQ(table->FieldDefs().Items(1).DataSize, 10);
    EXPECT_EQ(table->RecordSize(), kRecordSize);
    EXPECT_EQ(table->FieldOffsets(), (std::vector<std::int32_t>{0, 4, 15}));
    EXPECT_EQ(table->AutoIncField(), -1);
    ASSERT_EQ(table->IndexDefs().Count(), 4);
    EXPECT_EQ(table->IndexDefs().Items(3).FieldNumbers, (std::vector<std::int32_t>{0, 1}));
    EXPECT_EQ(table->GetPrimaryIndex(), 3);
    ASSERT_EQ(table->RecordListCount(), 5);
    EXPECT_EQ(Entries(table->GetRecordList(0)), (std::vector<std::int32_t>{0, 1, 2, 3, 4}));
    EXPECT_EQ(Entries(table->GetRecordList(1)), (std::vector<std::int32_t>{1, 0, 3, 4, 2}))
        << "deleted 5 skipped";
    EXPECT_EQ(Entries(table->GetRecordList(2)), (std::vector<std::int32_t>{1, 0, 2, 4, 3}));
    EXPECT_EQ(table->GetRecordList(0)[2].RecordOffset, where.Records[2]);
    EXPECT_EQ(table->RecordTabEntryPos(5), TestImage::RecordTabEntryAt(where, 5));
    EXPECT_EQ(table->IndexTabEntryPos(2, 4), TestImage::IndexTabEntryAt(where, 2, 4));
    EXPECT_FALSE(loaded->file.Locked()) << "the load releases the lock";
}

TEST_F(TableIOItems, OpenAndCloseCount) {
    table->Open();
    EXPECT_EQ(table->OpenCount(), 2);
    for (int i = 0; i < 4; ++i)
        table->Close();
    EXPECT_EQ(table->OpenCount(), 0);
    EXPECT_FALSE(table->Loaded());
    EXPECT_EQ(table->RecordListCount(), 0);
    table->Open();
    EXPECT_EQ(table->OpenCount(), 1);
    EXPECT_EQ(table->GetRecordList(0).size(), 5u);
}

TEST_F(TableIOItems, Searches) {
    struct Case {
        std::int32_t index;
        std::int32_t key;
        std::int32_t pos, indicator, first, last, insert;
    } cases[] = {
        // ByNum holds 10, 20, 20, 20, 30.
        {0, 20, 2, 0, 1, 3, 3},
        {0, 25, 4, -1, 4, 4, 4},
        {0, 5, 0, -1, 0, 0, 0},
        {0, 35, 4, 1, 4, 4, 5},
        {0, 10, 0, 0, 0, 0, 1},
        {0, 30, 4, 0, 4, 4, 5},
        // ByNumDesc holds 30, 20, 20, 20, 10.
        {2, 20, 2, 0, 1, 3, 3},
        {2, 25, 1, -1, 1, 1, 1},
        {2, 5, 4, 1, 4, 4, 5},
        {2, 40, 0, -1, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("index " + std::to_string(c.index) + " key " + std::to_string(c.key));
        ItemsKey key(c.key);
        const TRecordList& list = table->GetRecordList(c.index + 1);
        std::int32_t indicator = 99;
        EXPECT_EQ(table->SearchIndexedField(key.buffers, list, c.index, indicator, 0, false),
                  c.pos);
        EXPECT_EQ(indicator, c.indicator);
        const std::int32_t boundIndicator = c.indicator;
        EXPECT_EQ(
            table->SearchIndexedFieldBound(key.buffers, list, c.index, true, indicator, 0, false),
            c.first);
        EXPECT_EQ(indicator, boundIndicator);
        EXPECT_EQ(
            table->SearchIndexedFieldBound(key.buffers, list, c.index, false, indicator, 0, false),
            c.last);
        EXPECT_EQ(indicator, boundIndicator);
        EXPECT_EQ(table->SearchInsertPos(key.buffers, c.index, indicator), c.insert);
    }
}

TEST_F(TableIOItems, TextKeysAndPartialFields) {
    struct Case {
        std::string name;
        std::int32_t pos, indicator, insert;
    } cases[] = {
        {"d", 3, 0, 4},  // case ignored: A b c D e
        {"B", 1, 0, 2},
        {"ca", 3, -1, 3},
        {"f", 4, 1, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ItemsKey key(0, c.name);
        std::int32_t indicator = 99;
        EXPECT_EQ(
            table->SearchIndexedField(key.buffers, table->GetRecordList(2), 1, indicator, 0, false),
            c.pos);
        EXPECT_EQ(indicator, c.indicator);
        EXPECT_EQ(table->SearchInsertPos(key.buffers, 1, indicator), c.insert);
    }
    // Pair (num, name) case-sensitive: (10,A) (20,b) (20,D) (20,e) (30,c). One key field only
    // compares num; both place (20,"zzz") before (30,c).
    ItemsKey key(20, "zzz");
    std::int32_t indicator = 99;
    EXPECT_EQ(
        table->SearchIndexedField(key.buffers, table->GetRecordList(4), 3, indicator, 1, false), 2);
    EXPECT_EQ(indicator, 0);
    EXPECT_EQ(
        table->SearchIndexedField(key.buffers, table->GetRecordList(4), 3, indicator, 0, false), 4);
    EXPECT_EQ(indicator, -1);
}

TEST_F(TableIOItems, EmptyOrders) {
    TVeskTableIO empty(*loaded->owner, "empty");
    empty.Open();
    ItemsKey unused;
    std::uint8_t n[4] = {};
    TFieldBuffers key;
    key.Add(n, ftInteger, 4);
    std::int32_t indicator = 99;
    EXPECT_EQ(empty.SearchIndexedField(key, empty.GetRecordList(1), 0, indicator, 0, false), -1);
    EXPECT_EQ(indicator, -2);
    EXPECT_EQ(
        empty.SearchIndexedFieldBound(key, empty.GetRecordList(1), 0, true, indicator, 0, false),
        -1);
    EXPECT_EQ(indicator, -2);
    EXPECT_EQ(empty.SearchInsertPos(key, 0, indicator), 0);
    empty.CheckUniqueFieldForAppend(key);
}

TEST_F(TableIOItems, UniqueChecks) {
    auto expectDuplicate = [](const std::function<void()>& fn, const std::string& text) {
        try {
            fn();
            ADD_FAILURE() << "no duplicate reported";
        } catch (const EDatabaseError& e) {
            EXPECT_EQ(e.what(), "Invalid unique field value '" + text + "'");
        }
    };
    ItemsKey duplicate(20, "D");
    expectDuplicate([&] { table->CheckUniqueFieldForAppend(duplicate.buffers); }, "20,D");
    ItemsKey otherCase(20, "d");
    table->CheckUniqueFieldForAppend(otherCase.buffers);  // the primary key compares case
    ItemsKey deletedKey(20, "zz");
    table->CheckUniqueFieldForAppend(deletedKey.buffers);  // a deleted record is never compared
    // Entry 4 (20,"D") is at physical position 4.
    table->CheckUniqueFieldForModify(duplicate.buffers, 4);
    expectDuplicate([&] { table->CheckUniqueFieldForModify(duplicate.buffers, 3); }, "20,D");
}

TEST_F(TableIOItems, PositionsBetweenOrders) {
    const TRecordList& byName = table->GetRecordList(2);  // entries 1 0 2 4 3
    struct Case {
        std::int32_t from, pos, to, result;
    } cases[] = {
        {0, 4, -1, 2}, {0, 4, 1, 2},   {0, 4, 0, 4},   {-1, 3, 0, 2},
        {1, 3, 2, 3},  {0, 5, -1, -1}, {0, -1, 1, -1}, {-1, 9, -1, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(table->ConvertRecordPos(c.from, c.pos, c.to), c.result)
            << c.from << " " << c.pos << " " << c.to;
    EXPECT_EQ(table->IndexPosToPhysicalPos(1, 0), 1);
    EXPECT_EQ(table->IndexPosToPhysicalPos(1, 4), 3);
    EXPECT_EQ(table->ListPosToPhysicalPos(byName, 4), 3);
    EXPECT_EQ(table->ListPosToPhysicalPos(byName, 5), -1);
    EXPECT_EQ(table->IndexPosToListPos(0, 4, byName), 2);
    EXPECT_EQ(table->IndexPosToListPos(1, 3, byName), 3) << "its own list: the position itself";
    EXPECT_EQ(table->IndexPosToListPos(0, 0, TRecordList{}), -1);
}

TEST_F(TableIOItems, ListOperations) {
    TRecordList list;
    TVeskTableIO::AddRecordItem(list, {100, 0});
    TVeskTableIO::InsertRecordItem(list, 0, {200, 1});
    TVeskTableIO::InsertRecordItem(list, 2, {300, 2});
    EXPECT_EQ(Entries(list), (std::vector<std::int32_t>{1, 0, 2}));
    EXPECT_EQ(TVeskTableIO::GetRecordItem(list, 1), (TRecordItem{100, 0}));
    TVeskTableIO::DeleteRecordItem(list, 0);
    EXPECT_EQ(Entries(list), (std::vector<std::int32_t>{0, 2}));
    EXPECT_THROW(TVeskTableIO::InsertRecordItem(list, 3, {}), std::out_of_range);
    EXPECT_THROW(TVeskTableIO::DeleteRecordItem(list, 2), std::out_of_range);
    TVeskTableIO::ClearRecordList(list);
    EXPECT_TRUE(list.empty());
}

TEST_F(TableIOItems, ReadsRecordsAndValues) {
    ItemsKey record(-1, "QQQQ");
    record.buffers.Items(1).Active = false;
    table->ReadRecordData(record.buffers, table->GetRecordList(1), 4);  // entry 2: (30,"c")
    EXPECT_EQ(format::GetI32(record.numBytes), 30);
    EXPECT_EQ(record.buffers.Items(1).GetAsString(), "QQQQ") << "an inactive item is left alone";
    EXPECT_EQ(record.memo.DescriptorPos, where.Records[2] + 15);
    EXPECT_FALSE(record.memo.Decipher);
    record.buffers.Items(1).Active = true;
    table->ReadRecordData(record.buffers, table->GetRecordList(0), 1);
    EXPECT_EQ(record.buffers.Items(1).GetAsString(), "A");
    EXPECT_THROW(table->ReadRecordData(record.buffers, table->GetRecordList(0), 5),
                 std::out_of_range);
    TFieldBuffers tooFew;
    EXPECT_THROW(table->ReadRecordData(tooFew, table->GetRecordList(0), 0), EDatabaseError);

    TMemoryStream value;
    table->ReadFieldValue(value, 3, 1);
    EXPECT_EQ(value.Size(), 11);
    EXPECT_STREQ(reinterpret_cast<const char*>(value.Memory()), "e");
    table->ReadFieldValue(value, 5, 0);  // a deleted record's value is still readable by entry
    EXPECT_EQ(format::GetI32(value.Memory()), 20);
    EXPECT_THROW(table->ReadFieldValue(value, 6000, 0), EDatabaseError);
}

TEST(TableIO, RecordsBeyondTheFileAreRefused) {
    TestImage image;
    const auto at =
        image.AddTable({"t", {{"n", ftInteger}}, {}, {TestRecord(4).I32(0, 1).bytes}, {}});
    image.PutI32(TestImage::RecordTabEntryAt(at, 0), image.End() - 2);
    Loaded loaded(image);
    TVeskTableIO table(*loaded.owner, "t");
    // Refused at load, before any read could come up short.
    try {
        table.Open();
        ADD_FAILURE() << "loaded";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(std::string(e.what()).find("is damaged: entry 0 of table 't': record offset " +
                                             std::to_string(image.End() - 2) +
                                             " lies beyond the end of the file"),
                  std::string::npos)
            << e.what();
    }
    EXPECT_FALSE(table.Loaded());
    EXPECT_FALSE(loaded.file.Locked()) << "the lock is released on error";
}

TEST(TableIO, TextWithoutTerminatorIsBoundedByItsField) {
    TestImage image;
    // name ftString[3] takes 4 bytes; the stored bytes fill all four.
    image.AddTable({"t",
                    {{"name", ftString, 3}},
                    {{"ByName", 0, {0}, {0}}},
                    {TestRecord(4).Text(0, "ABCD").bytes},
                    {}});
    Loaded loaded(image);
    TVeskTableIO table(*loaded.owner, "t");
    table.Open();
    TMemoryStream value;
    table.ReadFieldValue(value, 0, 0);
    EXPECT_EQ(value.AsString(), "ABCD");
    std::uint8_t key[4] = {'A', 'B', 'C', 'D'};
    TFieldBuffers buffers;
    buffers.Add(key, ftString, 4);
    std::int32_t indicator = 99;
    EXPECT_EQ(table.SearchIndexedField(buffers, table.GetRecordList(1), 0, indicator, 0, false), 0);
    EXPECT_EQ(indicator, 0);
    EXPECT_EQ(buffers.Items(0).GetAsString(), "ABCD");
}

TEST(TableIO, CompareFieldValue) {
    auto i32 = [](std::int32_t v) {
        std::vector<std::uint8_t> b(4);
        format::PutI32(b.data(), v);
        return b;
    };
    auto word = [](std::uint16_t v) {
        return std::vector<std::uint8_t>{static_cast<std::uint8_t>(v),
                                         static_cast<std::uint8_t>(v >> 8)};
    };
    auto f64 = [](double v) {
        std::vector<std::uint8_t> b(8);
        format::PutF64(b.data(), v);
        return b;
    };
    auto text = [](const std::string& s, size_t size) {
        std::vector<std::uint8_t> b(size, 0);
        std::copy(s.begin(), s.end(), b.begin());
        return b;
    };
    struct Case {
        const char* name;
        TFieldType type;
        std::vector<std::uint8_t> a, b;
        bool caseInsensitive, partial;
        int expected;
    } cases[] = {
        {"int less", ftInteger, i32(1), i32(2), false, false, -1},
        {"int equal", ftInteger, i32(-2), i32(-2), false, false, 0},
        {"int greater", ftAutoInc, i32(3), i32(-3), false, false, 1},
        {"a before B", ftString, text("a", 4), text("B", 4), false, false, -1},
        {"B and b follow the collation", ftString, text("B", 4), text("b", 4), false, false,
         os::CompareAnsiText("B", "b", false)},
        {"b equals B ignoring case", ftString, text("b", 4), text("B", 4), true, false, 0},
        {"prefix without partial", ftString, text("ab", 4), text("abc", 4), false, false, -1},
        {"prefix with partial", ftString, text("ab", 4), text("abc", 4), false, true, 0},
        {"partial still orders", ftString, text("ac", 4), text("abc", 4), false, true, 1},
        {"any non-zero word is true", ftBoolean, word(0x0100), word(1), false, false, 0},
        {"false before true", ftBoolean, word(0), word(0x0100), false, false, -1},
        {"float", ftFloat, f64(1.5), f64(1.25), false, false, 1},
        {"date", ftDate, i32(700000), i32(700001), false, false, -1},
        {"NaN is neither equal nor less", ftFloat, f64(std::nan("")), f64(1.0), false, false, 1},
        {"texts filling the field", ftString, text("abcd", 4), text("abcc", 4), false, false, 1},
        {"long texts differ late", ftString, text(std::string(300, 'x') + "a", 400),
         text(std::string(300, 'x') + "b", 400), false, false, -1},
        {"long texts equal", ftString, text(std::string(500, 'y'), 600),
         text(std::string(500, 'y'), 600), false, false, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TVeskTableIO::CompareFieldValue(c.a.data(), static_cast<std::int32_t>(c.a.size()),
                                                  c.b.data(), static_cast<std::int32_t>(c.b.size()),
                                                  c.type, c.caseInsensitive, c.partial),
                  c.expected)
            << c.name;
    }
}

TEST(TableIO, LoadFailures) {
    using Damage = std::function<void(TestImage&, const TestTableAt&)>;
    struct Case {
        const char* name;
        std::string table;
        Damage damage;
        std::string part;  // the error's text contains it
    } cases[] = {
        {"unknown table", "Nope", [](TestImage&, auto&) {}, "Table 'Nope' not found"},
        {"field count", "Items",
         [](TestImage& i, auto& at) { i.PutI32(at.Header + format::kHdrFieldCount, 97); },
         "97 fields"},
        {"index count", "Items",
         [](TestImage& i, auto& at) { i.PutI32(at.Header + format::kHdrIndexCount, 9); },
         "9 indexes"},
        {"key field", "Items",
         [](TestImage& i, auto& at) {
             i.PutI32(TestImage::IndexDefAt(at, 0) + format::kIdxFields, 3);
         },
         "names key field 3"},
        {"order loops", "Items",
         [](TestImage& i, auto& at) { i.PutI32(TestImage::IndexTabEntryAt(at, 0, 2) + 4, 1); },
         "loops back to entry 1"},
        {"order leaves the tab", "Items",
         [](TestImage& i, auto& at) { i.PutI32(TestImage::IndexTabEntryAt(at, 0, 0) + 4, 99); },
         "links to entry 99"},
        {"bad head", "Items",
         [](TestImage& i, auto& at) {
             i.PutI32(TestImage::IndexDefAt(at, 1) + format::kIdxHead, -7);
         },
         "links to entry -7"},
        {"wide string", "Items",
         [](TestImage& i, auto& at) {
             i.bytes[at.Header + format::kHdrFields + format::kFldType] = ftWideString;
         },
         "is damaged: field 'num' of table 'Items' has the type WideString, which no table can "
         "hold"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestImage image;
        const TestTableAt at = image.AddTable(ItemsTable());
        c.damage(image, at);
        Loaded loaded(image);
        TVeskTableIO table(*loaded.owner, c.table);
        try {
            table.Open();
            ADD_FAILURE() << "loaded";
        } catch (const EDatabaseError& e) {
            EXPECT_NE(std::string(e.what()).find(c.part), std::string::npos) << e.what();
        }
        EXPECT_EQ(table.OpenCount(), 0);
        EXPECT_FALSE(table.Loaded());
        EXPECT_EQ(table.RecordListCount(), 0);
        EXPECT_FALSE(loaded.file.Locked());
    }
}

TEST(TableIO, OrdersThatLoad) {
    TestImage image;
    TestTable items = ItemsTable();
    items.Fields[2].Type = ftOraBlob;  // every blob kind loads
    const TestTableAt at = image.AddTable(items);
    // An index without a first chunk has an empty order whatever its head says.
    image.PutI32(TestImage::IndexDefAt(at, 1) + format::kIdxFirstChunk, 0);
    image.PutI32(TestImage::IndexDefAt(at, 1) + format::kIdxHead, 3);
    Loaded loaded(image);
    TVeskTableIO table(*loaded.owner, "items");
    table.Open();
    EXPECT_EQ(table.RecordSize(), kRecordSize);
    EXPECT_TRUE(table.GetRecordList(2).empty());
    EXPECT_TRUE(table.IndexTabChunks()[1].empty());
    EXPECT_EQ(table.GetRecordList(1).size(), 5u);
}

TEST(TableIO, LoadsAnOrderOverThreeChunks) {
    TestImage image;
    TestTable table{"many", {{"n", ftInteger}}, {{"Down", tiDescending, {0}, {}}}, {}, {}};
    for (std::int32_t e = 0; e < 2500; ++e) {
        table.Records.push_back(TestRecord(4).I32(0, e).bytes);
        table.Indexes[0].Order.push_back(2499 - e);
    }
    const TestTableAt at = image.AddTable(table);
    Loaded loaded(image);
    TVeskTableIO io(*loaded.owner, "many");
    io.Open();
    EXPECT_EQ(io.RecordTabEntryPos(1023), at.RecordChunks[0] + 4 + 1023 * 5);
    EXPECT_EQ(io.RecordTabEntryPos(1024), at.RecordChunks[1] + 4);
    EXPECT_EQ(io.IndexTabEntryPos(0, 2048), at.IndexChunks[0][2] + 4);
    EXPECT_EQ(io.IndexTabEntryPos(0, 2049), at.IndexChunks[0][2] + 4 + 8);
    EXPECT_THROW(io.RecordTabEntryPos(3072), EDatabaseError);
    ASSERT_EQ(io.GetRecordList(1).size(), 2500u);
    EXPECT_EQ(io.GetRecordList(1).front().EntryNo, 2499);
    EXPECT_EQ(io.GetRecordList(1)[1475].EntryNo, 1024);
    EXPECT_EQ(io.IndexTabChunks()[0].size(), 3u);
    std::uint8_t key[4];
    format::PutI32(key, 1024);
    TFieldBuffers buffers;
    buffers.Add(key, ftInteger, 4);
    std::int32_t indicator = 99;
    EXPECT_EQ(io.SearchIndexedField(buffers, io.GetRecordList(1), 0, indicator, 0, false), 1475);
    EXPECT_EQ(indicator, 0);
}

TEST(TableIO, LoadWaitsForTheFileLock) {
    const std::string path =
        ::testing::TempDir() + "tableio_lock_" + std::to_string(getpid()) + ".dat";
    TestImage image;
    image.AddTable(ItemsTable());
    image.WriteTo(path);
    struct QuickOwner : TDBFileIOOwner {
        std::int32_t LockRetryCount() const override { return 1; }
        void SleepBetweenLockAttempts(std::int32_t) override {}
    } quick;
    TVeskDBFileIO holder;
    holder.Open(path, mtDisk, false);
    TVeskDBFileIO file(&quick);
    file.Open(path, mtDisk, false);
    TFileTableIOOwner owner(file);
    TVeskTableIO table(owner, "Items");
    holder.Lock();
    EXPECT_THROW(table.Open(), EDatabaseError);
    EXPECT_EQ(table.OpenCount(), 0);
    holder.Unlock();
    table.Open();
    EXPECT_EQ(table.GetRecordList(0).size(), 5u);
    file.Close();
    EXPECT_THROW(TFileTableIOOwner(file).FileIO(), EDatabaseError);
    std::remove(path.c_str());
}

TEST(TableIO, EncipheredFieldsAreDecodedByTheirProcessingMode) {
    const engine_testing::ScopedStandardAlgorithms algorithms;
    TestImage image;
    image.SetOption(format::kOptEncryptOn, 1);
    image.SetOptionText(format::kOptCipherName, "Blowfish");
    image.PutText(format::kOptionsAt + format::kOptPasswordDigest, format::kOptPasswordDigestSize,
                  CalcHashString(&THash_SHA::New, "pw", nullptr));
    // secret ftInteger (mode 0, enciphered) at 0; plain ftInteger (mode 1) at 4.
    const TestTableAt at =
        image.AddTable({"t",
                        {{"secret", ftInteger, 0, 0}, {"plain", ftInteger, 0, 1}},
                        {{"BySecret", 0, {0}, {0}}},
                        {TestRecord(8).I32(4, 77).bytes},
                        {}});
    Loaded loaded(image);
    ASSERT_TRUE(loaded.file.CheckPassword("pw"));
    std::uint8_t value[4];
    format::PutI32(value, 1234);
    std::uint8_t stored[4];
    loaded.file.EncodeBuffer(value, stored, 4, true);
    loaded.file.WriteBuffer(stored, at.Records[0], 4);
    TVeskTableIO table(*loaded.owner, "t");
    table.Open();
    EXPECT_TRUE(table.CanEncryptField(0));
    EXPECT_FALSE(table.CanEncryptField(1));
    EXPECT_FALSE(table.CanCompressField(0)) << "only blobs are compressed";
    std::uint8_t secret[4] = {};
    std::uint8_t plain[4] = {};
    TFieldBuffers buffers;
    buffers.Add(secret, ftInteger, 4);
    buffers.Add(plain, ftInteger, 4);
    table.ReadRecordData(buffers, table.GetRecordList(0), 0);
    EXPECT_EQ(format::GetI32(secret), 1234);
    EXPECT_EQ(format::GetI32(plain), 77);
    TMemoryStream single;
    table.ReadFieldValue(single, 0, 0);
    EXPECT_EQ(format::GetI32(single.Memory()), 1234);
    std::int32_t indicator = 99;
    EXPECT_EQ(table.SearchIndexedField(buffers, table.GetRecordList(1), 0, indicator, 0, false), 0);
    EXPECT_EQ(indicator, 0) << "keys compare as decoded values";
}

}  // namespace
}  // namespace vesk
