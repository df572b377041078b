// Every table write, failed at each of its writes in turn (nothing written, or half of the
// bytes, with a full disk's error), leaves the file exactly as it was: the same bytes, a file
// the checker finds sound, and the same rows, keys and index orders for the failing handle
// and for a fresh one.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/db_error.h"
#include "engine/table_test_support.h"
#include "engine/table_writer.h"
#include "engine/write_fault_test_support.h"
#include "tools/file_check.h"
#include "tools/items_table_test_base.h"

namespace vesk {
namespace {

using write_testing::ItemRecord;
using write_testing::OpenTable;
using write_testing::WriteFault;

// What a handle shows of the items table: every ordered list and the values of its rows.
struct TableImage {
    std::int32_t entryCount = 0;
    std::int32_t autoInc = 0;
    std::vector<std::vector<std::int32_t>> orders;
    std::vector<std::string> rows;
    bool operator==(const TableImage&) const = default;
};

TableImage ImageOf(OpenTable& table) {
    TableImage image;
    image.entryCount = table.HeaderI32(format::kHdrEntryCount);
    image.autoInc = table.HeaderI32(format::kHdrAutoInc);
    for (std::int32_t list = 0; list < table.Table().RecordListCount(); ++list)
        image.orders.push_back(table.Order(list));
    for (std::int32_t entry : table.Order(0))
        image.rows.push_back(std::to_string(table.IntValue(entry, 0)) + "|" +
                             std::to_string(table.IntValue(entry, 1)) + "|" +
                             table.TextValue(entry, 2) + "|" + table.BlobValue(entry, 3));
    return image;
}

class WriteRollbackTest : public write_testing::ItemsTableTestBase<::testing::TestWithParam<bool>> {
  protected:
    void SetUp() override {
        CreateItemsFile(write_testing::ItemsSchema(GetParam()));
        Append(0, 30, "Charlie", std::string(100, 'c'));
        Append(0, 10, "alpha", "a");
        Append(0, 20, "Bravo", std::string(200, 'b'));
    }
    TVeskTableWriter Writer() { return TVeskTableWriter(table_->Table()); }

    // Runs write with its n-th file write failing, for n = 1, 2, ... until it succeeds, once
    // for each kind of failure; after every failure the file and both handles' view of it
    // must be as before. The write takes effect at the end.
    void ExpectRollbackAtEveryWrite(const std::string& what,
                                    const std::function<void(TVeskTableWriter&)>& write) {
        const std::vector<std::uint8_t> before = write_testing::FileBytes(path_);
        const TableImage image = ImageOf(*table_);
        ASSERT_EQ(Joined(vesktool::CheckDatabaseFile(path_)), "") << what;
        for (WriteFault kind : {WriteFault::kNothingWritten, WriteFault::kShortWrite}) {
            const std::string trace =
                what + (kind == WriteFault::kShortWrite ? ", short write" : ", nothing written");
            PutFileBytes(before);
            std::int64_t n = 1;
            for (;; ++n) {
                ASSERT_LT(n, 100) << trace << ": the write never succeeded";
                owner_.plan.Arm(n, kind);
                std::string error;
                try {
                    TVeskTableWriter writer = Writer();
                    write(writer);
                } catch (const EStreamError& e) {
                    error = e.what();
                }
                const bool fired = owner_.plan.fired;
                owner_.plan.Disarm();
                if (!fired) {
                    EXPECT_EQ(error, "") << trace;
                    break;
                }
                SCOPED_TRACE(trace + ", write " + std::to_string(n) + " failed");
                EXPECT_EQ(error, "Stream write error: No space left on device");
                EXPECT_TRUE(write_testing::FileBytes(path_) == before);
                EXPECT_EQ(Joined(vesktool::CheckDatabaseFile(path_)), "");
                EXPECT_EQ(ImageOf(*table_), image) << "the failing handle";
                OpenTable fresh(path_, "items");
                EXPECT_EQ(ImageOf(fresh), image) << "a fresh handle";
                if (::testing::Test::HasFailure())
                    return;
            }
            EXPECT_GT(n, 1) << trace << ": no write of it was made to fail";
            EXPECT_NE(ImageOf(*table_), image) << trace << ": the write changed nothing";
            EXPECT_EQ(Joined(vesktool::CheckDatabaseFile(path_)), "") << trace;
        }
    }
};

TEST_P(WriteRollbackTest, EveryWriteOfEveryOperationRollsBack) {
    ExpectRollbackAtEveryWrite("append", [](TVeskTableWriter& writer) {
        ItemRecord record(0, 15, "delta", std::string(70, 'd'));
        writer.AppendRecordData(record.buffers, false);
    });
    ExpectRollbackAtEveryWrite("modify: new keys, a blob outgrowing its area", [](auto& writer) {
        ItemRecord record(0, 5, "zulu", std::string(300, 'z'));
        writer.ModifyRecordData(record.buffers, 0, false);
    });
    ExpectRollbackAtEveryWrite("modify: the last blob grows in place", [](auto& writer) {
        ItemRecord record(0, 5, "zulu", std::string(700, 'y'));
        writer.ModifyRecordData(record.buffers, 0, false);
    });
    ExpectRollbackAtEveryWrite("modify: a blob shrinks into its area", [](auto& writer) {
        ItemRecord record(0, 40, "echo", "e");
        writer.ModifyRecordData(record.buffers, 2, false);
    });
    ExpectRollbackAtEveryWrite("delete", [](auto& writer) { writer.DeleteRecord(1, true); });
    ExpectRollbackAtEveryWrite("empty", [](auto& writer) { writer.EmptyTable(); });
}

TEST_P(WriteRollbackTest, AppendOpeningNewChunksRollsBack) {
    // Entry 1024 opens a record-tab chunk and a chunk in every index.
    while (table_->HeaderI32(format::kHdrEntryCount) < format::kEntriesPerChunk)
        Append(0, table_->HeaderI32(format::kHdrEntryCount) % 7, "row", "");
    ExpectRollbackAtEveryWrite("append of entry 1024", [](auto& writer) {
        ItemRecord record(0, 3, "first of a chunk", "blob");
        writer.AppendRecordData(record.buffers, true);
    });
}

INSTANTIATE_TEST_SUITE_P(BlobCheck, WriteRollbackTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "On" : "Off";
                         });

}  // namespace
}  // namespace vesk
