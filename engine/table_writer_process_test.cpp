// Two processes appending to one file at the same time: every append re-reads the table under
// the file lock, so no entry is claimed twice and every automatic key is given once.
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <set>

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

TEST(TableWriterProcessTest, TwoProcessesAppendWithoutClaimingTheSameEntry) {
    const std::string folder = write_testing::TempFolder();
    const std::string path = folder + "/shared.dat";
    CreateDatabaseFile(path, write_testing::ItemsSchema());

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        _exit(AppendRows(path, "child") ? 0 : 1);
    const bool parentDone = AppendRows(path, "parent");
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(parentDone);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);

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

}  // namespace
}  // namespace vesk
