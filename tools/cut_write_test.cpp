// Every table write, cut short after each of its writes in turn the way a killed writer leaves
// the file (nothing more reaches it, no rollback), loses at most the row it was writing: a
// fresh handle reads every other row as before with indexes that agree with the rows, the
// checker finds no damage, and further appends, modifies and deletes work.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "engine/db_error.h"
#include "engine/table_test_support.h"
#include "engine/table_writer.h"
#include "engine/write_fault_test_support.h"
#include "tools/file_check.h"
#include "tools/items_table_test_base.h"
#include "tools/vesk_commands.h"

namespace vesk {
namespace {

using write_testing::ItemRecord;
using write_testing::OpenTable;

// What a handle shows of the items table: every ordered list and the values of each live row.
struct TableImage {
    std::vector<std::vector<std::int32_t>> orders;
    std::map<std::int32_t, std::string> rows;
    bool operator==(const TableImage&) const = default;

    // The same table without the row of one entry.
    TableImage Without(std::int32_t entry) const {
        TableImage image = *this;
        for (auto& order : image.orders)
            std::erase(order, entry);
        image.rows.erase(entry);
        return image;
    }
};

TableImage ImageOf(OpenTable& table) {
    TableImage image;
    for (std::int32_t list = 0; list < table.Table().RecordListCount(); ++list)
        image.orders.push_back(table.Order(list));
    for (std::int32_t entry : table.Order(0))
        image.rows[entry] = std::to_string(table.IntValue(entry, 0)) + "|" +
                            std::to_string(table.IntValue(entry, 1)) + "|" +
                            table.TextValue(entry, 2) + "|" + table.BlobValue(entry, 3);
    return image;
}

std::string Shown(const TableImage& image) {
    std::string text;
    for (const auto& order : image.orders) {
        for (std::int32_t entry : order)
            text += std::to_string(entry) + " ";
        text += "/ ";
    }
    for (const auto& [entry, row] : image.rows)
        text += "\n  " + std::to_string(entry) + ": " + row.substr(0, 40);
    return text;
}

class CutWriteTest : public write_testing::ItemsTableTestBase<::testing::Test> {
  protected:
    void SetUp() override {
        CreateItemsFile(write_testing::ItemsSchema());
        Append(0, 30, "Charlie", std::string(100, 'c'));
        Append(0, 10, "alpha", "a");
        Append(0, 20, "Bravo", std::string(200, 'b'));
    }

    // Appends two rows, moves the first of them in every index and deletes the second, on a
    // fresh handle; the file must stay sound and read back the same in another handle.
    void ExpectFurtherWritesWork() {
        OpenTable writer(path_, "items");
        const size_t live = writer.Order(0).size();
        ItemRecord first(0, 77, "later", std::string(90, 'l'));
        ItemRecord second(0, 78, "later too", "m");
        TVeskTableWriter(writer.Table()).AppendRecordData(first.buffers, false);
        TVeskTableWriter(writer.Table()).AppendRecordData(second.buffers, false);
        ItemRecord moved(0, -5, "aardvark", std::string(300, 'x'));
        TVeskTableWriter(writer.Table())
            .ModifyRecordData(moved.buffers, static_cast<std::int32_t>(live), false);
        TVeskTableWriter(writer.Table()).DeleteRecord(static_cast<std::int32_t>(live + 1), false);
        EXPECT_EQ(writer.Order(0).size(), live + 1);
        EXPECT_EQ(Joined(vesktool::CheckDatabaseFile(path_)), "");
        OpenTable reader(path_, "items");
        EXPECT_EQ(ImageOf(reader), ImageOf(writer));
    }

    // Runs write cut off after its n-th file write, for n = 0, 1, ... until it completes. After
    // every cut a fresh handle must show the table as before or as after the write or, when
    // mayHide, as before without row `entry`; so must the cut handle, which reads the table
    // again after its failed write. A handle opened before the cut must see the change when it
    // writes next.
    // The checker must name some cut as a write cut short with expectedMark, or none when it
    // is empty.
    void ExpectEveryCutLosesAtMostTheRow(const std::string& what, std::int32_t entry, bool mayHide,
                                         const std::string& expectedMark,
                                         const std::function<void(TVeskTableWriter&)>& write) {
        const std::vector<std::uint8_t> before = write_testing::FileBytes(path_);
        const TableImage beforeImage = ImageOf(*table_);
        ASSERT_EQ(Joined(vesktool::CheckDatabaseFile(path_)), "") << what;
        {
            TVeskTableWriter writer(table_->Table());
            write(writer);
        }
        const TableImage afterImage = ImageOf(*table_);
        ASSERT_NE(afterImage, beforeImage) << what << ": the write changed nothing";
        std::string marks;  // what the checker names as cut short, over every cut
        std::int64_t n = 0;
        for (;; ++n) {
            ASSERT_LT(n, 100) << what << ": the write never completed";
            SCOPED_TRACE(what + ", cut after write " + std::to_string(n));
            PutFileBytes(before);
            // A handle that read the table before the cut and writes after it.
            OpenTable bystander(path_, "items");
            owner_.plan.CutAfter(n);
            std::string error;
            try {
                TVeskTableWriter writer(table_->Table());
                write(writer);
            } catch (const std::exception& e) {
                error = e.what();
            }
            const bool fired = owner_.plan.fired;
            owner_.plan.Disarm();
            if (!fired) {
                EXPECT_EQ(error, "");
                EXPECT_EQ(ImageOf(*table_), afterImage);
                break;
            }
            EXPECT_NE(error, "");
            const vesktool::CheckReport report = vesktool::CheckFile(path_);
            EXPECT_EQ(Joined(report.problems), "");
            TableImage cut;
            try {
                OpenTable fresh(path_, "items");
                cut = ImageOf(fresh);
            } catch (const std::exception& e) {
                ADD_FAILURE() << "a fresh handle cannot read the table: " << e.what();
                return;
            }
            const bool known = cut == beforeImage || cut == afterImage ||
                               (mayHide && cut == beforeImage.Without(entry));
            EXPECT_TRUE(known) << "the table reads as" << Shown(cut)
                               << "\nbefore:" << Shown(beforeImage)
                               << "\nafter:" << Shown(afterImage);
            ASSERT_TRUE(table_->Table().Loaded()) << "the cut handle could not read the table";
            EXPECT_EQ(ImageOf(*table_), cut) << "the cut handle";
            table_.reset();
            marks += Joined(report.interrupted);

            ItemRecord late(0, 50, "bystander", "late");
            TVeskTableWriter(bystander.Table()).AppendRecordData(late.buffers, false);
            EXPECT_EQ(Joined(vesktool::CheckDatabaseFile(path_)), "") << "after the bystander";
            OpenTable reader(path_, "items");
            EXPECT_EQ(ImageOf(bystander), ImageOf(reader)) << "the bystander";
            EXPECT_EQ(ImageOf(reader).rows.size(), cut.rows.size() + 1);
            ExpectFurtherWritesWork();
            if (::testing::Test::HasFailure())
                return;
        }
        EXPECT_GT(n, 0) << what << ": no write was cut";
        if (expectedMark.empty())
            EXPECT_EQ(marks, "") << what;
        else
            EXPECT_NE(marks.find(expectedMark), std::string::npos)
                << what << ": the checker named\n"
                << marks;
    }
};

TEST_F(CutWriteTest, EveryCutOfEveryWriteLosesAtMostItsRow) {
    ExpectEveryCutLosesAtMostTheRow(
        "append", 3, false,
        "table 'items': an append was cut short: entry 3 is written but not counted; the table "
        "reads without it\n",
        [](TVeskTableWriter& writer) {
            ItemRecord record(0, 15, "delta", std::string(70, 'd'));
            writer.AppendRecordData(record.buffers, false);
        });
    ExpectEveryCutLosesAtMostTheRow(
        "append without its blob", 4, false,
        "table 'items': an append was cut short: entry 4 is written but not counted",
        [](TVeskTableWriter& writer) {
            ItemRecord record(0, 16, "echo");
            record.buffers.Items(3).Active = false;
            writer.AppendRecordData(record.buffers, false);
        });
    ExpectEveryCutLosesAtMostTheRow("modify: new keys, a blob outgrowing its area", 0, true, "",
                                    [](TVeskTableWriter& writer) {
                                        ItemRecord record(0, 5, "zulu", std::string(300, 'z'));
                                        writer.ModifyRecordData(record.buffers, 0, false);
                                    });
    ExpectEveryCutLosesAtMostTheRow("modify: the same keys, the last blob growing in place", 0,
                                    true, "", [](TVeskTableWriter& writer) {
                                        ItemRecord record(0, 5, "zulu", std::string(900, 'g'));
                                        writer.ModifyRecordData(record.buffers, 0, false);
                                    });
    ExpectEveryCutLosesAtMostTheRow("modify: the same keys, a blob shrinking into its area", 2,
                                    true, "", [](TVeskTableWriter& writer) {
                                        ItemRecord record(0, 20, "Bravo", "short");
                                        writer.ModifyRecordData(record.buffers, 2, false);
                                    });
    ExpectEveryCutLosesAtMostTheRow("delete", 1, false, "",
                                    [](TVeskTableWriter& writer) { writer.DeleteRecord(1, true); });
    ExpectEveryCutLosesAtMostTheRow("empty", 0, false, "",
                                    [](TVeskTableWriter& writer) { writer.EmptyTable(); });
}

TEST_F(CutWriteTest, EveryCutOfAnAppendOpeningNewChunksLosesAtMostItsRow) {
    // Entry 1024 opens a record-tab chunk and a chunk in every index.
    for (std::int32_t e = 3; e < format::kEntriesPerChunk; ++e)
        Append(0, e % 7, "row", e % 5 == 0 ? "memo" : "");
    ExpectEveryCutLosesAtMostTheRow(
        "append of entry 1024", 1024, false,
        "table 'items': an append was cut short: index 'byname': the chunk at offset ",
        [](auto& writer) {
            ItemRecord record(0, 3, "first of a chunk", "blob");
            writer.AppendRecordData(record.buffers, true);
        });
}

TEST_F(CutWriteTest, CheckNamesWhatACutAppendLeavesAndPassesTheFile) {
    const std::vector<std::uint8_t> before = write_testing::FileBytes(path_);
    for (std::int64_t n = 0;; ++n) {
        ASSERT_LT(n, 20) << "no cut left the entry written and not counted";
        PutFileBytes(before);
        owner_.plan.CutAfter(n);
        ItemRecord record(0, 15, "delta", "cut");
        EXPECT_THROW(TVeskTableWriter(table_->Table()).AppendRecordData(record.buffers, false),
                     EStreamError);
        owner_.plan.Disarm();
        if (!vesktool::CheckFile(path_).interrupted.empty())
            break;
    }
    table_.reset();
    std::ostringstream out, err;
    EXPECT_EQ(vesktool::RunVesk({"check", path_}, out, err), vesktool::kExitOk);
    EXPECT_EQ(out.str(), path_ +
                             ": table 'items': an append was cut short: entry 3 is written but "
                             "not counted; the table reads without it\n");
    EXPECT_EQ(err.str(), "");

    // Entries after the last one that no append leaves that way are damage.
    OpenTable table(path_, "items");
    const std::int64_t entry = table.Table().RecordTabEntryPos(2) + format::kRecordTabEntrySize;
    const std::uint8_t live = 0;
    table.File().WriteBuffer(&live, entry + 4, 1);
    const vesktool::CheckReport report = vesktool::CheckFile(path_);
    EXPECT_EQ(Joined(report.problems),
              "table 'items': record tab: the entries after the last one are not zero\n");
    EXPECT_TRUE(report.interrupted.empty());
}

}  // namespace
}  // namespace vesk
