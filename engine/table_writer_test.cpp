#include "engine/table_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "engine/db_error.h"
#include "engine/table_test_support.h"

namespace vesk {
namespace {

using write_testing::ItemRecord;
using write_testing::OpenTable;

class TableWriterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = write_testing::TempFolder();
        path_ = folder_ + "/items.dat";
        CreateDatabaseFile(path_, Schema());
        Reopen();
    }
    void TearDown() override {
        table_.reset();
        std::filesystem::remove_all(folder_);
    }
    virtual DatabaseSchema Schema() { return write_testing::ItemsSchema(); }
    void Reopen() {
        table_.reset();
        table_ = std::make_unique<OpenTable>(path_, "items");
    }
    TVeskTableWriter Writer() { return TVeskTableWriter(table_->Table()); }
    std::int32_t Append(std::int32_t id, std::int32_t num, const std::string& name,
                        const std::string& memo = {}) {
        ItemRecord record(id, num, name, memo);
        Writer().AppendRecordData(record.buffers, false);
        return record.Id();
    }
    // The blob descriptor of the record at physical position physPos, as stored.
    std::array<std::int32_t, 3> Descriptor(std::int32_t physPos) {
        const TRecordItem item = table_->Table().GetRecordList(0).at(static_cast<size_t>(physPos));
        std::uint8_t bytes[kBlobDescriptorSize];
        table_->File().ReadExact(bytes, item.RecordOffset + table_->Table().FieldOffsets()[3],
                                 sizeof bytes, "descriptor");
        return {format::GetI32(bytes), format::GetI32(bytes + 4), format::GetI32(bytes + 8)};
    }
    std::int64_t FileSize() { return static_cast<std::int64_t>(std::filesystem::file_size(path_)); }

    std::string folder_;
    std::string path_;
    std::unique_ptr<OpenTable> table_;
};

TEST_F(TableWriterTest, AutoIncrementRules) {
    struct Case {
        std::int32_t given;
        std::int32_t stored;
        std::int32_t counterAfter;
    };
    const Case cases[] = {
        {41, 41, 41},  // a larger value raises the counter to it
        {0, 42, 42},   // 0 becomes counter + 1
        {100, 100, 100}, {0, 101, 101},
        {50, 50, 101},  // a smaller non-zero value is stored, the counter stays
        {-7, -7, 101},   {0, 102, 102},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Append(c.given, 1, "n"), c.stored) << "given " << c.given;
        EXPECT_EQ(table_->HeaderI32(format::kHdrAutoInc), c.counterAfter) << "given " << c.given;
    }
    Reopen();
    EXPECT_EQ(table_->HeaderI32(format::kHdrAutoInc), 102);
    std::vector<std::int32_t> ids;
    for (std::int32_t entry : table_->Order(1))
        ids.push_back(table_->IntValue(entry, 0));
    EXPECT_EQ(ids, (std::vector<std::int32_t>{-7, 41, 42, 50, 100, 101, 102}));
}

TEST_F(TableWriterTest, ModifyKeepsOrRaisesTheAutoIncrementValue) {
    Append(0, 1, "a");
    Append(0, 2, "b");
    ItemRecord keep(0, 5, "a2");
    Writer().ModifyRecordData(keep.buffers, 0, false);
    EXPECT_EQ(keep.Id(), 1) << "0 keeps the stored key and hands it back";
    ItemRecord raise(70, 5, "a3");
    Writer().ModifyRecordData(raise.buffers, 0, false);
    EXPECT_EQ(table_->HeaderI32(format::kHdrAutoInc), 70);
    EXPECT_EQ(Append(0, 3, "c"), 71);
    Reopen();
    EXPECT_EQ(table_->IntValue(0, 0), 70);
    EXPECT_EQ(table_->TextValue(0, 2), "a3");
}

TEST_F(TableWriterTest, DuplicateKeyIsRefusedAndLeavesTheFileUnchanged) {
    Append(5, 1, "a");
    Append(6, 1, "b");
    const std::vector<std::uint8_t> before = write_testing::FileBytes(path_);
    ItemRecord duplicate(5, 9, "c");
    try {
        Writer().AppendRecordData(duplicate.buffers, false);
        FAIL() << "no error";
    } catch (const EDatabaseError& error) {
        EXPECT_STREQ(error.what(), "Invalid unique field value '5'");
    }
    ItemRecord modified(6, 9, "c");
    EXPECT_THROW(Writer().ModifyRecordData(modified.buffers, 0, false), EDatabaseError);
    EXPECT_EQ(write_testing::FileBytes(path_), before);
    EXPECT_EQ(table_->HeaderI32(format::kHdrEntryCount), 2);
    EXPECT_EQ(table_->Order(0).size(), 2u);
}

TEST_F(TableWriterTest, AutomaticKeyIsCheckedAsStored) {
    // A counter behind the stored keys (as a foreign writer may leave it): the automatic key
    // it gives is a duplicate and is refused like any other.
    Append(0, 1, "a");
    Append(0, 1, "b");
    Append(0, 1, "c");
    std::vector<std::uint8_t> header = table_->Table().HeaderCopy();
    format::PutI32(header.data() + format::kHdrAutoInc, 1);
    table_->File().WriteTableHeader(table_->Table().TableNo(), header.data());
    Reopen();
    const std::vector<std::uint8_t> before = write_testing::FileBytes(path_);
    ItemRecord clash(0, 1, "d");
    try {
        Writer().AppendRecordData(clash.buffers, false);
        FAIL() << "no error";
    } catch (const EDatabaseError& error) {
        EXPECT_STREQ(error.what(), "Invalid unique field value '2'");
    }
    EXPECT_EQ(clash.Id(), 0) << "the caller's value is given back";
    EXPECT_EQ(write_testing::FileBytes(path_), before);
}

TEST_F(TableWriterTest, DeleteTheLastAndTheOnlyRow) {
    Append(0, 1, "only");
    Writer().DeleteRecord(0, false);
    EXPECT_EQ(table_->HeaderI32(format::kHdrEntryCount), 1);
    for (std::int32_t l = 0; l < 4; ++l)
        EXPECT_TRUE(table_->Order(l).empty()) << l;
    Reopen();
    for (std::int32_t l = 0; l < 4; ++l)
        EXPECT_TRUE(table_->Order(l).empty()) << l;

    Append(0, 3, "a");  // entry 1
    Append(0, 2, "b");  // entry 2
    Append(0, 1, "c");  // entry 3
    Writer().DeleteRecord(2, false);
    EXPECT_EQ(table_->Order(0), (std::vector<std::int32_t>{1, 2}));
    Reopen();
    EXPECT_EQ(table_->Order(0), (std::vector<std::int32_t>{1, 2}));
    EXPECT_EQ(table_->Order(2), (std::vector<std::int32_t>{1, 2}));
    EXPECT_THROW(Writer().DeleteRecord(2, false), EDatabaseError);
}

TEST_F(TableWriterTest, EmptyTableThenAppendGivesKeyOne) {
    for (int i = 0; i < 5; ++i)
        Append(0, i, "x", "memo");
    const std::int64_t size = FileSize();
    Writer().EmptyTable();
    EXPECT_EQ(FileSize(), size);
    EXPECT_EQ(table_->HeaderI32(format::kHdrEntryCount), 0);
    EXPECT_EQ(table_->HeaderI32(format::kHdrFirstChunk), 0);
    Reopen();
    EXPECT_TRUE(table_->Order(0).empty());
    ItemRecord record(0, 1, "new");
    EXPECT_EQ(Writer().AppendRecordData(record.buffers, false), 0);
    EXPECT_EQ(record.Id(), 1);
    Reopen();
    EXPECT_EQ(table_->Order(1), (std::vector<std::int32_t>{0}));
    EXPECT_EQ(table_->TextValue(0, 2), "new");
}

TEST_F(TableWriterTest, FirstRecordAndTheChunkBoundary) {
    const std::int64_t end = FileSize();
    Append(0, 1, "first", std::string(10, 'b'));
    const std::int32_t chunk = table_->HeaderI32(format::kHdrFirstChunk);
    EXPECT_EQ(chunk, end);
    EXPECT_EQ(table_->Table().GetRecordList(0)[0].RecordOffset,
              chunk + format::kRecordTabChunkSize);
    for (int i = 1; i < 1024; ++i)
        Append(0, i, "r");
    const std::int64_t before = FileSize();
    Append(0, 7, "second chunk", std::string(100, 'z'));  // entry 1024
    ASSERT_EQ(table_->Table().RecordTabChunks().size(), 2u);
    EXPECT_EQ(table_->Table().RecordTabChunks()[1], before);
    EXPECT_EQ(table_->Table().GetRecordList(0).back().RecordOffset,
              before + format::kRecordTabChunkSize);
    // The index chunks follow the record and its 128-byte blob area.
    const std::int64_t afterRecord =
        before + format::kRecordTabChunkSize + table_->Table().RecordSize() + 128;
    for (std::int32_t i = 0; i < 3; ++i) {
        ASSERT_EQ(table_->Table().IndexTabChunks()[static_cast<size_t>(i)].size(), 2u);
        EXPECT_EQ(table_->Table().IndexTabChunks()[static_cast<size_t>(i)][1],
                  afterRecord + i * format::kIndexTabChunkSize);
    }
    EXPECT_EQ(FileSize(), afterRecord + 3 * format::kIndexTabChunkSize);
    Reopen();
    EXPECT_EQ(table_->Order(0).size(), 1025u);
    EXPECT_EQ(table_->TextValue(1024, 2), "second chunk");
    EXPECT_EQ(table_->Order(2).front(), 1023) << "the largest num comes first";
}

TEST_F(TableWriterTest, TextValuesAreCutAndPadded) {
    ItemRecord record;
    record.Set(0, 1, "", "");
    std::memset(record.name, 'q', sizeof record.name);  // no terminator at all
    Writer().AppendRecordData(record.buffers, false);
    EXPECT_EQ(std::string(record.name), std::string(write_testing::kNameSize, 'q'));
    Reopen();
    EXPECT_EQ(table_->TextValue(0, 2), std::string(write_testing::kNameSize, 'q'));
}

TEST_F(TableWriterTest, BlobAreaReuseAndGrowth) {
    struct Case {
        const char* what;
        int storedSize;
        bool sameArea;
        std::int32_t allocated;
    };
    Append(0, 1, "a", std::string(100, 'a'));  // 128-byte area
    Append(0, 2, "b", std::string(10, 'b'));   // its area is last in the file
    const std::array<std::int32_t, 3> first = Descriptor(0);
    EXPECT_EQ(first[1], 100);
    EXPECT_EQ(first[2], 128);
    const Case cases[] = {
        {"shrink to 60 reuses the area", 60, true, 128},
        {"127 still fits", 127, true, 128},
        {"128 needs a new 192-byte area at the end", 128, false, 192},
    };
    for (const Case& c : cases) {
        const std::int64_t end = FileSize();
        const std::array<std::int32_t, 3> old = Descriptor(0);
        ItemRecord record(0, 1, "a", std::string(static_cast<size_t>(c.storedSize), 'c'));
        Writer().ModifyRecordData(record.buffers, 0, false);
        const std::array<std::int32_t, 3> now = Descriptor(0);
        EXPECT_EQ(now[0] == old[0], c.sameArea) << c.what;
        if (!c.sameArea) {
            EXPECT_EQ(now[0], end) << c.what;
        }
        EXPECT_EQ(now[1], c.storedSize) << c.what;
        EXPECT_EQ(now[2], c.allocated) << c.what;
        EXPECT_EQ(table_->BlobValue(0, 3), std::string(static_cast<size_t>(c.storedSize), 'c'))
            << c.what;
    }
    // Row 0's area is now the last thing in the file: it grows where it is.
    const std::array<std::int32_t, 3> last = Descriptor(0);
    ItemRecord grow(0, 1, "a", std::string(300, 'g'));
    Writer().ModifyRecordData(grow.buffers, 0, false);
    EXPECT_EQ(Descriptor(0)[0], last[0]);
    EXPECT_EQ(Descriptor(0)[2], 320);
    EXPECT_EQ(FileSize(), last[0] + 320);
    Reopen();
    EXPECT_EQ(table_->BlobValue(0, 3), std::string(300, 'g'));
    EXPECT_EQ(table_->BlobValue(1, 3), std::string(10, 'b'));
}

TEST_F(TableWriterTest, EmptyBlobGetsA64ByteArea) {
    Append(0, 1, "a", "");
    EXPECT_EQ(Descriptor(0)[1], 0);
    EXPECT_EQ(Descriptor(0)[2], 64);
    Append(0, 1, "b", std::string(64, 'x'));
    EXPECT_EQ(Descriptor(1)[2], 128);
}

TEST_F(TableWriterTest, ModifyWithAnEqualKeyDoesNotMoveTheRecord) {
    Append(0, 5, "same");
    Append(0, 5, "Same");
    Append(0, 5, "SAME");
    const std::vector<std::int32_t> byNum = table_->Order(2);
    const std::vector<std::int32_t> byName = table_->Order(3);
    const std::vector<std::uint8_t> before = write_testing::FileBytes(path_);
    // Same num, the name only differs in case (equal in a case-insensitive index).
    ItemRecord record(0, 5, "sAmE");
    std::vector<std::tuple<std::int32_t, std::int32_t, std::int32_t>> moves;
    Writer().ModifyRecordData(record.buffers, 1, false,
                              [&](std::int32_t i, std::int32_t from, std::int32_t to) {
                                  moves.emplace_back(i, from, to);
                              });
    EXPECT_TRUE(moves.empty());
    EXPECT_EQ(table_->Order(2), byNum);
    EXPECT_EQ(table_->Order(3), byName);
    // Only the record and the header's write counter changed, no index-tab entry.
    const std::vector<std::uint8_t> after = write_testing::FileBytes(path_);
    ASSERT_EQ(after.size(), before.size());
    for (std::int32_t i = 0; i < 3; ++i)
        for (std::int64_t chunk : table_->Table().IndexTabChunks()[static_cast<size_t>(i)])
            EXPECT_TRUE(std::equal(before.begin() + chunk,
                                   before.begin() + chunk + format::kIndexTabChunkSize,
                                   after.begin() + chunk))
                << "index " << i;
    Reopen();
    EXPECT_EQ(table_->Order(2), byNum);
    EXPECT_EQ(table_->TextValue(1, 2), "sAmE");
}

TEST_F(TableWriterTest, AdjustCallbacksReportTheListChanges) {
    Append(0, 10, "b");
    Append(0, 30, "c");
    std::vector<std::tuple<std::int32_t, std::int32_t, std::int32_t>> appended;
    ItemRecord record(0, 20, "a");
    Writer().AppendRecordData(record.buffers, false,
                              [&](std::int32_t i, std::int32_t pos, const TRecordItem& item) {
                                  appended.emplace_back(i, pos, item.EntryNo);
                              });
    using T = std::tuple<std::int32_t, std::int32_t, std::int32_t>;
    EXPECT_EQ(appended, (std::vector<T>{{-1, -1, 2}, {0, 2, 2}, {1, 1, 2}, {2, 0, 2}}));
    // Move "a"/20 to "z"/5: last in every index but pk.
    std::vector<T> moved;
    ItemRecord change(0, 5, "z");
    Writer().ModifyRecordData(change.buffers, 2, false,
                              [&](std::int32_t i, std::int32_t from, std::int32_t to) {
                                  moved.emplace_back(i, from, to);
                              });
    EXPECT_EQ(moved, (std::vector<T>{{1, 1, 3}, {2, 0, 3}}));
    EXPECT_EQ(table_->Order(2), (std::vector<std::int32_t>{1, 0, 2}));
    EXPECT_EQ(table_->Order(3), (std::vector<std::int32_t>{0, 1, 2}));
    Reopen();
    EXPECT_EQ(table_->Order(2), (std::vector<std::int32_t>{1, 0, 2}));
    EXPECT_EQ(table_->Order(3), (std::vector<std::int32_t>{0, 1, 2}));
}

// A blob value whose reading fails after the first bytes, as a lazily loaded value may.
class FailingBlob : public TBlobBufferStream {
  public:
    std::int64_t Read(void* buffer, std::int64_t count) override {
        if (Position() > 0)
            throw EStreamError("Stream read error");
        return TBlobBufferStream::Read(buffer, std::min<std::int64_t>(count, 1));
    }
};

TEST_F(TableWriterTest, FailedAppendLeavesNoPhantomRow) {
    Append(0, 1, "a", "x");
    ItemRecord record(0, 2, "b");
    FailingBlob blob;
    blob.Write("abc", 3);
    record.buffers.Items(3).Buffer = &blob;
    EXPECT_THROW(Writer().AppendRecordData(record.buffers, false), EStreamError);
    EXPECT_EQ(record.Id(), 0);
    EXPECT_EQ(table_->Order(0), (std::vector<std::int32_t>{0}));
    EXPECT_EQ(table_->HeaderI32(format::kHdrEntryCount), 1);
    EXPECT_EQ(table_->HeaderI32(format::kHdrAutoInc), 1);
    Reopen();
    EXPECT_EQ(table_->Order(0), (std::vector<std::int32_t>{0}));
    EXPECT_EQ(Append(0, 3, "c"), 2);
    Reopen();
    EXPECT_EQ(table_->Order(3), (std::vector<std::int32_t>{0, 1}));
}

// Two blob fields: the first reuses its area, the second fails; the first's old bytes return.
class TwoBlobTest : public TableWriterTest {
  protected:
    DatabaseSchema Schema() override {
        DatabaseSchema schema;
        schema.tables = {SchemaTable{"items", {{"a", ftBlob, 0, 0}, {"b", ftBlob, 0, 0}}, {}}};
        return schema;
    }
};

TEST_F(TwoBlobTest, FailedModifyRestoresAReusedArea) {
    TBlobBufferStream a, b;
    TFieldBuffers buffers;
    buffers.AddBlob(&a, ftBlob);
    buffers.AddBlob(&b, ftBlob);
    a.Write("old value a", 11);
    b.Write("old value b", 11);
    Writer().AppendRecordData(buffers, false);
    const std::vector<std::uint8_t> before = write_testing::FileBytes(path_);

    TBlobBufferStream newA;
    FailingBlob newB;
    newA.Write("new a", 5);
    newB.Write("new b", 5);
    TFieldBuffers failing;
    failing.AddBlob(&newA, ftBlob);
    failing.AddBlob(&newB, ftBlob);
    EXPECT_THROW(Writer().ModifyRecordData(failing, 0, false), EStreamError);
    const std::vector<std::uint8_t> after = write_testing::FileBytes(path_);
    ASSERT_GE(after.size(), before.size());
    EXPECT_TRUE(std::equal(before.begin(), before.end(), after.begin()));
    Reopen();
    EXPECT_EQ(table_->BlobValue(0, 0), "old value a");
    EXPECT_EQ(table_->BlobValue(0, 1), "old value b");
}

TEST_F(TableWriterTest, TwoHandlesNeverClaimTheSameEntry) {
    OpenTable second(path_, "items");
    Append(0, 1, "first handle");
    ItemRecord record(0, 2, "second handle");
    EXPECT_EQ(TVeskTableWriter(second.Table()).AppendRecordData(record.buffers, false), 1);
    EXPECT_EQ(record.Id(), 2) << "the second handle saw the first one's key";
    Writer().DeleteRecord(0, false);  // the first handle catches up before it writes
    EXPECT_EQ(table_->Order(0), (std::vector<std::int32_t>{1}));
    ItemRecord modified(0, 3, "changed");
    // The second handle still shows entry 0, which the first one deleted meanwhile.
    EXPECT_THROW(TVeskTableWriter(second.Table()).ModifyRecordData(modified.buffers, 0, false),
                 EDatabaseError);
    // That attempt brought the second handle up to date: the row is now at position 0.
    ASSERT_EQ(second.Order(0), (std::vector<std::int32_t>{1}));
    TVeskTableWriter(second.Table()).ModifyRecordData(modified.buffers, 0, false);
    Reopen();
    EXPECT_EQ(table_->Order(0), (std::vector<std::int32_t>{1}));
    EXPECT_EQ(table_->TextValue(1, 2), "changed");
    EXPECT_EQ(table_->Order(3), (std::vector<std::int32_t>{1}));
}

TEST_F(TableWriterTest, HandlesBehindAnEmptyFindTheirRowsGoneNotTheNewOnes) {
    Append(0, 1, "old a", "old");
    Append(0, 2, "old b", "old");
    Append(0, 3, "old c", "old");
    OpenTable second(path_, "items");
    OpenTable third(path_, "items");
    // The first handle empties the table and appends rows that get entries 0 and 1 again.
    Writer().EmptyTable();
    Append(0, 10, "new a", "new");
    Append(0, 20, "new b", "new");
    ItemRecord modified(0, 7, "from behind", "overwritten");
    const auto expectNotFound = [](const std::function<void()>& write, const char* what) {
        try {
            write();
            ADD_FAILURE() << what << " went through";
        } catch (const EDatabaseError& e) {
            EXPECT_STREQ(e.what(), "Record not found") << what;
        }
    };
    expectNotFound(
        [&] { TVeskTableWriter(second.Table()).ModifyRecordData(modified.buffers, 1, false); },
        "the modify of the old row 1");
    expectNotFound([&] { TVeskTableWriter(third.Table()).DeleteRecord(0, false); },
                   "the delete of the old row 0");
    Reopen();
    EXPECT_EQ(table_->Order(0), (std::vector<std::int32_t>{0, 1}));
    EXPECT_EQ(table_->TextValue(0, 2), "new a");
    EXPECT_EQ(table_->TextValue(1, 2), "new b");
    EXPECT_EQ(table_->BlobValue(1, 3), "new");
    EXPECT_EQ(table_->IntValue(1, 1), 20);
    // Both are current now and write the new rows where they are.
    TVeskTableWriter(second.Table()).ModifyRecordData(modified.buffers, 1, false);
    TVeskTableWriter(third.Table()).DeleteRecord(0, false);
    Reopen();
    EXPECT_EQ(table_->Order(0), (std::vector<std::int32_t>{1}));
    EXPECT_EQ(table_->TextValue(1, 2), "from behind");
}

}  // namespace
}  // namespace vesk

namespace vesk {
namespace {

TEST_F(TableWriterTest, DamagedBlobDescriptorIsNeverWrittenThrough) {
    struct Case {
        const char* what;
        std::int32_t offset, stored, allocated;
    };
    const Case cases[] = {
        {"area over the file header", 0, 10, 128},
        {"area past the end of the file", 1 << 30, 10, 128},
        {"allocated size off the 64-byte steps", 4000, 10, 100},
        {"negative allocated size", 4000, 10, -64},
    };
    for (const Case& c : cases) {
        TearDown();
        SetUp();
        Append(0, 1, "a", "old");
        const TRecordItem item = table_->Table().GetRecordList(0)[0];
        std::uint8_t descriptor[kBlobDescriptorSize] = {};
        format::PutI32(descriptor, c.offset);
        format::PutI32(descriptor + 4, c.stored);
        format::PutI32(descriptor + 8, c.allocated);
        table_->File().WriteBuffer(
            descriptor, item.RecordOffset + table_->Table().FieldOffsets()[3], sizeof descriptor);
        const std::vector<std::uint8_t> before = write_testing::FileBytes(path_);
        const std::int64_t end = FileSize();
        ItemRecord record(0, 1, "a", "new value");
        Writer().ModifyRecordData(record.buffers, 0, false);
        const std::vector<std::uint8_t> after = write_testing::FileBytes(path_);
        EXPECT_TRUE(
            std::equal(before.begin(), before.begin() + format::kFirstFreeAt, after.begin()))
            << c.what;
        EXPECT_EQ(Descriptor(0)[0], end) << c.what << ": a new area at the end";
        EXPECT_EQ(table_->BlobValue(0, 3), "new value") << c.what;
    }
}

TEST_F(TableWriterTest, WritesToAReadOnlyFileFailAndLeaveTheTableAsItWas) {
    Append(0, 1, "a");
    table_.reset();
    std::filesystem::permissions(path_, std::filesystem::perms::owner_read |
                                            std::filesystem::perms::group_read |
                                            std::filesystem::perms::others_read);
    Reopen();
    ASSERT_TRUE(table_->File().ReadOnlyFile());
    ItemRecord record(0, 2, "b");
    try {
        Writer().AppendRecordData(record.buffers, false);
        ADD_FAILURE() << "appended";
    } catch (const EStreamError& e) {
        EXPECT_STREQ(e.what(), "Stream write error: Bad file descriptor");
    }
    EXPECT_EQ(record.Id(), 0);
    EXPECT_THROW(Writer().DeleteRecord(0, false), EStreamError);
    EXPECT_EQ(table_->Order(0), (std::vector<std::int32_t>{0}));
    EXPECT_EQ(table_->HeaderI32(format::kHdrEntryCount), 1);
    EXPECT_EQ(table_->HeaderI32(format::kHdrAutoInc), 1);
}

}  // namespace
}  // namespace vesk
