// A randomised model test of the writes: thousands of appends, modifies, deletes and empties
// over a table with an auto-increment primary index, a descending integer index and a
// case-insensitive text index, crossing the 1024 and 2048 entry boundaries. Every few dozen
// operations the file is opened again from disk and must give the same rows and orders as the
// in-memory state before, and both must agree with a plain model.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include "engine/db_error.h"
#include "engine/table_test_support.h"
#include "engine/table_writer.h"
#include "platform/os/collation.h"

namespace vesk {
namespace {

using write_testing::ItemRecord;
using write_testing::OpenTable;

struct ModelRow {
    std::int32_t id;
    std::int32_t num;
    std::string name;
    std::string memo;
};

class WriteModel {
  public:
    std::map<std::int32_t, ModelRow> live;  // by entry number
    std::int32_t entries = 0;
    std::int32_t counter = 0;

    bool IdTaken(std::int32_t id, std::int32_t exceptEntry = -1) const {
        for (const auto& [entry, row] : live)
            if (row.id == id && entry != exceptEntry)
                return true;
        return false;
    }
};

// True when a is allowed before b in index i (0 pk, 1 bynum descending, 2 byname ci).
bool InOrder(std::int32_t indexNo, const ModelRow& a, const ModelRow& b) {
    switch (indexNo) {
        case 0:
            return a.id < b.id;  // unique: strictly ascending
        case 1:
            return a.num >= b.num;
        default:
            return os::CompareAnsiText(a.name, b.name, true) <= 0;
    }
}

std::string RandomName(std::mt19937& random) {
    static const char* const kNames[] = {"alpha", "Alpha", "ALPHA", "beta",         "Beta", "gamma",
                                         "delta", "x",     "",      "abcdefghijkl", "zz",   "Zz"};
    return kNames[random() % std::size(kNames)];
}

std::string RandomBlob(std::mt19937& random) {
    const int length = static_cast<int>(random() % 4 == 0 ? random() % 300 : random() % 70);
    std::string blob(static_cast<size_t>(length), '\0');
    for (char& c : blob)
        c = static_cast<char>(random() % 256);
    return blob;
}

class WriteModelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = write_testing::TempFolder();
        path_ = folder_ + "/model.dat";
        CreateDatabaseFile(path_, write_testing::ItemsSchema(true));
        Reopen();
    }
    void TearDown() override {
        table_.reset();
        std::filesystem::remove_all(folder_);
    }
    void Reopen() {
        table_.reset();
        table_ = std::make_unique<OpenTable>(path_, "items");
    }

    // Lists of the engine against the model: same live entries, each index in key order.
    void ExpectOrdersMatchModel(const std::string& when) {
        std::vector<std::int32_t> physical;
        for (const auto& [entry, row] : model_.live)
            physical.push_back(entry);
        ASSERT_EQ(table_->Order(0), physical) << when;
        for (std::int32_t i = 0; i < 3; ++i) {
            std::vector<std::int32_t> order = table_->Order(i + 1);
            std::vector<std::int32_t> sorted = order;
            std::sort(sorted.begin(), sorted.end());
            ASSERT_EQ(sorted, physical) << when << ", index " << i;
            for (size_t k = 1; k < order.size(); ++k)
                ASSERT_TRUE(InOrder(i, model_.live.at(order[k - 1]), model_.live.at(order[k])))
                    << when << ", index " << i << " at " << k;
        }
        ASSERT_EQ(table_->HeaderI32(format::kHdrEntryCount), model_.entries) << when;
        ASSERT_EQ(table_->HeaderI32(format::kHdrAutoInc), model_.counter) << when;
    }

    void ExpectValuesMatchModel(const std::string& when) {
        for (const auto& [entry, row] : model_.live) {
            ASSERT_EQ(table_->IntValue(entry, 0), row.id) << when << ", entry " << entry;
            ASSERT_EQ(table_->IntValue(entry, 1), row.num) << when << ", entry " << entry;
            ASSERT_EQ(table_->TextValue(entry, 2), row.name) << when << ", entry " << entry;
            ASSERT_EQ(table_->BlobValue(entry, 3), row.memo) << when << ", entry " << entry;
        }
    }

    void ReopenAndCompare(const std::string& when) {
        std::vector<std::vector<std::int32_t>> before;
        for (std::int32_t l = 0; l < 4; ++l)
            before.push_back(table_->Order(l));
        Reopen();
        for (std::int32_t l = 0; l < 4; ++l)
            ASSERT_EQ(table_->Order(l), before[static_cast<size_t>(l)]) << when << ", list " << l;
        ExpectOrdersMatchModel(when);
    }

    void Append(std::mt19937& random) {
        ItemRecord record;
        std::int32_t id = 0;
        const unsigned pick = random() % 20;
        if (pick == 0 && !model_.live.empty())
            id = std::next(model_.live.begin(), random() % model_.live.size())->second.id;
        else if (pick == 1)
            id = model_.counter + 1 + static_cast<std::int32_t>(random() % 5);
        const ModelRow row{id, static_cast<std::int32_t>(random() % 40), RandomName(random),
                           RandomBlob(random)};
        record.Set(row.id, row.num, row.name, row.memo);
        const std::int32_t stored = id == 0 ? model_.counter + 1 : id;
        if (model_.IdTaken(stored)) {
            ExpectRefusedUnchanged(
                [&] { TVeskTableWriter(table_->Table()).AppendRecordData(record.buffers, false); });
            ASSERT_EQ(record.Id(), id) << "the caller's key is given back";
            return;
        }
        const std::int32_t entry =
            TVeskTableWriter(table_->Table()).AppendRecordData(record.buffers, false);
        ASSERT_EQ(entry, model_.entries);
        ASSERT_EQ(record.Id(), stored);
        model_.counter = std::max(model_.counter, stored);
        model_.live[entry] = ModelRow{stored, row.num, row.name, row.memo};
        ++model_.entries;
    }

    void Modify(std::mt19937& random) {
        if (model_.live.empty())
            return;
        const std::int32_t physPos = static_cast<std::int32_t>(random() % model_.live.size());
        auto at = std::next(model_.live.begin(), physPos);
        ModelRow row = at->second;
        std::int32_t givenId = 0;
        if (random() % 8 == 0) {
            givenId = std::next(model_.live.begin(), random() % model_.live.size())->second.id;
        }
        if (random() % 2)
            row.num = static_cast<std::int32_t>(random() % 40);
        if (random() % 2)
            row.name = RandomName(random);
        if (random() % 3 == 0)
            row.memo = RandomBlob(random);
        ItemRecord record(givenId, row.num, row.name, row.memo);
        const std::int32_t storedId = givenId == 0 ? row.id : givenId;
        if (model_.IdTaken(storedId, at->first)) {
            ExpectRefusedUnchanged([&] {
                TVeskTableWriter(table_->Table()).ModifyRecordData(record.buffers, physPos, false);
            });
            return;
        }
        TVeskTableWriter(table_->Table()).ModifyRecordData(record.buffers, physPos, false);
        ASSERT_EQ(record.Id(), storedId);
        row.id = storedId;
        model_.counter = std::max(model_.counter, storedId);
        at->second = row;
    }

    void Delete(std::mt19937& random) {
        if (model_.live.empty())
            return;
        const std::int32_t physPos = static_cast<std::int32_t>(random() % model_.live.size());
        TVeskTableWriter(table_->Table()).DeleteRecord(physPos, false);
        model_.live.erase(std::next(model_.live.begin(), physPos));
    }

    void Empty() {
        TVeskTableWriter(table_->Table()).EmptyTable();
        model_.live.clear();
        model_.entries = 0;
        model_.counter = 0;
    }

    template <typename Write>
    void ExpectRefusedUnchanged(Write write) {
        const std::vector<std::uint8_t> before = write_testing::FileBytes(path_);
        EXPECT_THROW(
            try { write(); } catch (const EDatabaseError& error) {
                EXPECT_EQ(std::string(error.what()).rfind("Invalid unique field value '", 0), 0u);
                throw;
            },
            EDatabaseError);
        EXPECT_EQ(write_testing::FileBytes(path_), before);
    }

    std::string folder_;
    std::string path_;
    std::unique_ptr<OpenTable> table_;
    WriteModel model_;
};

TEST_F(WriteModelTest, RandomWritesMatchTheModelAcrossReopens) {
    std::mt19937 random(20261210);
    bool crossed1024 = false, crossed2048 = false;
    for (int op = 1; op <= 4200; ++op) {
        const std::string when = "after operation " + std::to_string(op);
        if (op == 60 || op == 3400) {
            Empty();
        } else {
            const unsigned pick = random() % 100;
            if (pick < 66)
                Append(random);
            else if (pick < 86)
                Modify(random);
            else
                Delete(random);
        }
        if (HasFatalFailure())
            FAIL() << when;
        crossed1024 = crossed1024 || model_.entries > 1024;
        crossed2048 = crossed2048 || model_.entries > 2048;
        if (op % 37 == 0) {
            ReopenAndCompare(when);
            if (HasFatalFailure())
                return;
        }
        if (op % 500 == 0) {
            ExpectValuesMatchModel(when);
            if (HasFatalFailure())
                return;
        }
    }
    ReopenAndCompare("at the end");
    ExpectValuesMatchModel("at the end");
    EXPECT_TRUE(crossed1024);
    EXPECT_TRUE(crossed2048);
}

}  // namespace
}  // namespace vesk
