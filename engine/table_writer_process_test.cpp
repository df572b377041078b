// Two processes writing one file at the same time: every write re-reads the table under the
// file lock, so no entry is claimed twice, every automatic key is given once, and a modify of a
// row that the other process emptied away never lands on the row that has its entry since.
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "engine/db_error.h"
#include "engine/table_test_support.h"
#include "engine/table_writer.h"

namespace vesk {
namespace {

// Short waits between lock attempts, and no time-out: the two writers take turns quickly.
class PatientOwner : public TDBFileIOOwner {
  public:
    std::int32_t LockRetryCount() const override { return 0; }
    std::int32_t LockWaitTime() const override { return 1; }
};

constexpr int kAppendsPerProcess = 150;

// Appends kAppendsPerProcess rows named by the writer; returns false on any error.
bool AppendRows(const std::string& path, const std::string& writer) {
    try {
        PatientOwner owner;
        write_testing::OpenTable table(path, "items", &owner);
        for (int i = 0; i < kAppendsPerProcess; ++i) {
            write_testing::ItemRecord record(0, i, writer, writer + std::to_string(i));
            TVeskTableWriter(table.Table()).AppendRecordData(record.buffers, false);
        }
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

constexpr int kModifyEvery = 3;  // steps between two modifies

// Appends kAppendsPerProcess rows named by the writer with a memo that names the row, modifies
// the oldest of the rows it appended every few steps (its number and name, never its memo) and
// empties the table after the steps emptyAfter names. Returns false on any error but a row gone,
// and when a modify changed another row than the one the writer meant.
bool WriteRows(const std::string& path, const std::string& writer,
               const std::set<int>& emptyAfter) {
    try {
        PatientOwner owner;
        write_testing::OpenTable table(path, "items", &owner);
        // The rows this writer appended as its table showed them then, like a data set's list.
        TRecordList mine;
        std::vector<std::string> memos;
        for (int i = 0; i < kAppendsPerProcess; ++i) {
            write_testing::ItemRecord record(0, i, writer, writer + std::to_string(i));
            TVeskTableWriter(table.Table()).AppendRecordData(record.buffers, false);
            mine.push_back(table.Table().GetRecordList(0).back());
            memos.push_back(writer + std::to_string(i));
            if (i % kModifyEvery == kModifyEvery - 1) {
                // Its oldest row: after the other's empty, the first entry to be given again.
                const auto k = static_cast<size_t>(
                    std::min_element(mine.begin(), mine.end(),
                                     [](const TRecordItem& a, const TRecordItem& b) {
                                         return a.EntryNo < b.EntryNo;
                                     }) -
                    mine.begin());
                write_testing::ItemRecord changed(0, 1000 + i, writer);
                changed.buffers.Items(3).Active = false;
                try {
                    const std::int32_t physPos =
                        table.Table().ListPosToPhysicalPos(mine, static_cast<std::int32_t>(k));
                    if (physPos < 0)
                        throw EDatabaseError("Record not found");
                    TVeskTableWriter(table.Table())
                        .ModifyRecordData(changed.buffers, physPos, false);
                    if (table.BlobValue(mine[k].EntryNo, 3) != memos[k])
                        return false;
                } catch (const EDatabaseError& e) {
                    if (std::string(e.what()) != "Record not found")
                        throw;
                    mine.erase(mine.begin() + static_cast<std::ptrdiff_t>(k));
                    memos.erase(memos.begin() + static_cast<std::ptrdiff_t>(k));
                }
            }
            if (emptyAfter.contains(i)) {
                TVeskTableWriter(table.Table()).EmptyTable();
                mine.clear();
                memos.clear();
            }
        }
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

// Runs `child` in a forked process beside `parent` in this one and expects both to succeed.
void ExpectBothSucceed(const std::function<bool()>& child, const std::function<bool()>& parent) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0)
        _exit(child() ? 0 : 1);
    const bool parentDone = parent();
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(parentDone);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(TableWriterProcessTest, TwoProcessesAppendWithoutClaimingTheSameEntry) {
    const std::string folder = write_testing::TempFolder();
    const std::string path = folder + "/shared.dat";
    CreateDatabaseFile(path, write_testing::ItemsSchema());

    ASSERT_NO_FATAL_FAILURE(ExpectBothSucceed([&] { return AppendRows(path, "child"); },
                                              [&] { return AppendRows(path, "parent"); }));

    write_testing::OpenTable table(path, "items");
    ASSERT_EQ(table.HeaderI32(format::kHdrEntryCount), 2 * kAppendsPerProcess);
    ASSERT_EQ(table.Order(0).size(), static_cast<size_t>(2 * kAppendsPerProcess));
    std::set<std::int32_t> ids;
    std::map<std::string, int> rowsBy;
    for (std::int32_t entry : table.Order(0)) {
        ids.insert(table.IntValue(entry, 0));
        const std::string name = table.TextValue(entry, 2);
        const int number = table.IntValue(entry, 1);
        EXPECT_EQ(table.BlobValue(entry, 3), name + std::to_string(number)) << entry;
        ++rowsBy[name];
    }
    EXPECT_EQ(ids.size(), static_cast<size_t>(2 * kAppendsPerProcess));
    EXPECT_EQ(*ids.begin(), 1);
    EXPECT_EQ(*ids.rbegin(), 2 * kAppendsPerProcess);
    EXPECT_EQ(rowsBy["child"], kAppendsPerProcess);
    EXPECT_EQ(rowsBy["parent"], kAppendsPerProcess);
    for (std::int32_t l = 1; l <= 3; ++l)
        EXPECT_EQ(table.Order(l).size(), ids.size()) << l;
    std::filesystem::remove_all(folder);
}

TEST(TableWriterProcessTest, TwoProcessesAppendModifyAndEmptyWithoutMixingTheirRows) {
    const std::string folder = write_testing::TempFolder();
    const std::string path = folder + "/shared.dat";
    CreateDatabaseFile(path, write_testing::ItemsSchema());

    // The rows one process keeps after the other's empty share entry numbers with those
    // appended since, for the rest of the run.
    ASSERT_NO_FATAL_FAILURE(ExpectBothSucceed(
        [&] {
            return WriteRows(path, "child", {24, 74});
        },
        [&] {
            return WriteRows(path, "parent", {49, 99});
        }));

    // The rows left since the last empty: each as its writer appended or modified it.
    write_testing::OpenTable table(path, "items");
    std::set<std::int32_t> ids;
    for (std::int32_t entry : table.Order(0)) {
        const std::int32_t id = table.IntValue(entry, 0);
        EXPECT_TRUE(ids.insert(id).second) << "key " << id << " twice";
        const std::string name = table.TextValue(entry, 2);
        const int number = table.IntValue(entry, 1);
        const std::string memo = table.BlobValue(entry, 3);
        EXPECT_TRUE(name == "child" || name == "parent") << entry << ": " << name;
        // Appended as number, perhaps modified since (number 1000 and more), by the same writer.
        EXPECT_EQ(memo.rfind(name, 0), 0u) << "entry " << entry << ": " << memo;
        if (number < 1000) {
            EXPECT_EQ(memo, name + std::to_string(number)) << "entry " << entry;
        }
    }
    EXPECT_FALSE(ids.empty());
    for (std::int32_t l = 1; l <= 3; ++l)
        EXPECT_EQ(table.Order(l).size(), ids.size()) << l;
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace vesk
