// The in-memory key search gives what the storage's own search gives while it reads keys
// lazily and once it holds them, reads each probed key once, and forgets its keys when the
// table changes.
#include "engine/dataset/index_key_cache.h"
#include "engine/codec/algo_registry.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/codec/hash.h"
#include "engine/codec/sha_hash.h"
#include "engine/codec/standard_algorithms.h"
#include "engine/table_test_support.h"
#include "engine/table_writer.h"

namespace vesk {
namespace {

using write_testing::ItemRecord;

// Run on a plain file and on an enciphered one (whose keys are decoded as they are read).
class KeyCache : public ::testing::TestWithParam<bool> {
  protected:
    void SetUp() override {
        folder_ = write_testing::TempFolder();
        path_ = folder_ + "/items.dat";
        DatabaseSchema schema = write_testing::ItemsSchema();
        if (GetParam()) {
            RegisterStandardAlgorithms();
            schema.options.encryption = true;
            schema.options.cipherName = "Blowfish";
            schema.options.passwordDigest = CalcHashString(&THash_SHA::New, "secret", nullptr);
        }
        CreateDatabaseFile(path_, schema);
        table_ = std::make_unique<write_testing::OpenTable>(path_, "items");
        if (GetParam()) {
            ASSERT_TRUE(table_->File().CheckPassword("secret"));
            ASSERT_TRUE(table_->Table().CanEncryptField(1));
        }
        TVeskTableWriter writer(table_->Table());
        // Equal keys in the non-unique indexes; names differing only in case.
        for (int i = 0; i < 400; ++i) {
            ItemRecord record(
                0, (i * 7) % 50,
                i % 3 == 0 ? "Name" + std::to_string(i % 40) : "name" + std::to_string(i % 40));
            writer.AppendRecordData(record.buffers, false);
        }
    }
    void TearDown() override {
        table_.reset();
        if (GetParam())
            vesk::UnregisterAllAlgorithms();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    // Every probe key of index indexNo through the cache and through the storage.
    void ExpectSameAsStorage(std::int32_t indexNo, std::int32_t rounds,
                             bool partialCompare = false) {
        TVeskTableIO& table = table_->Table();
        const TRecordList& list = table.GetRecordList(indexNo + 1);
        for (std::int32_t round = 0; round < rounds; ++round)
            for (int probe = -2; probe < 60; ++probe) {
                ItemRecord key(probe + 1, probe, "name" + std::to_string(probe));
                std::int32_t cachedIndicator = 9;
                std::int32_t storedIndicator = 9;
                const std::int32_t cached =
                    cache_.Search(table, indexNo, key.buffers, partialCompare, cachedIndicator);
                const std::int32_t stored = table.SearchIndexedField(
                    key.buffers, list, indexNo, storedIndicator, 0, partialCompare);
                ASSERT_EQ(cached, stored) << "index " << indexNo << " probe " << probe;
                ASSERT_EQ(cachedIndicator, storedIndicator);
            }
    }

    std::string folder_;
    std::string path_;
    std::unique_ptr<write_testing::OpenTable> table_;
    TIndexKeyCache cache_;
};

TEST_P(KeyCache, SameProbesAsTheStorageForEveryIndexKind) {
    for (std::int32_t indexNo : {0, 1, 2}) {  // unique ascending, descending, case-insensitive
        SCOPED_TRACE(indexNo);
        cache_.Clear();
        ExpectSameAsStorage(indexNo, 1);
        ASSERT_TRUE(cache_.Filled());
        const std::int32_t read = cache_.KeysRead();
        EXPECT_GT(read, 0);
        ExpectSameAsStorage(indexNo, 3);
        EXPECT_EQ(cache_.KeysRead(), read);  // the same probes read nothing again
        ExpectSameAsStorage(indexNo, 1, true);
    }
}

TEST_P(KeyCache, ReadsOnlyTheKeysItsSearchesProbe) {
    TVeskTableIO& table = table_->Table();
    ItemRecord key(200, 0, "");
    std::int32_t indicator = 9;
    const std::int32_t pos = cache_.Search(table, 0, key.buffers, false, indicator);
    ASSERT_EQ(indicator, 0);
    std::int32_t storedIndicator = 9;
    EXPECT_EQ(pos, table.SearchIndexedField(key.buffers, table.GetRecordList(1), 0, storedIndicator,
                                            0, false));
    // One bisection over 400 keys probes at most nine of them.
    EXPECT_GE(cache_.KeysRead(), 1);
    EXPECT_LE(cache_.KeysRead(), 9);
    // A second key shares the first probe (the middle of the list).
    const std::int32_t afterOne = cache_.KeysRead();
    ItemRecord other(17, 0, "");
    cache_.Search(table, 0, other.buffers, false, indicator);
    ASSERT_EQ(indicator, 0);
    EXPECT_LE(cache_.KeysRead() - afterOne, 8);
}

TEST_P(KeyCache, ForgetsItsKeysWhenTheTableChanges) {
    ExpectSameAsStorage(1, 4);
    ASSERT_TRUE(cache_.Filled());
    TVeskTableWriter writer(table_->Table());
    ItemRecord changed(5, 1000, "moved");
    writer.ModifyRecordData(changed.buffers, 4, false);
    ItemRecord key(0, 1000, "");
    std::int32_t indicator = 9;
    const std::int32_t pos = cache_.Search(table_->Table(), 1, key.buffers, false, indicator);
    // The rewritten key is found, not the one read before.
    ASSERT_EQ(indicator, 0);
    EXPECT_EQ(table_->Table().GetRecordList(2)[static_cast<size_t>(pos)].EntryNo, 4);
    writer.DeleteRecord(0, false);
    ExpectSameAsStorage(1, 4);
    EXPECT_TRUE(cache_.Filled());
}

// The one row of an equal key in the primary index, as the storage's search finds it, or none.
TEST_P(KeyCache, FindUniqueFindsTheRowTheStorageFinds) {
    TVeskTableIO& table = table_->Table();
    const auto expectSame = [&](const char* when) {
        SCOPED_TRACE(when);
        const TRecordList& list = table.GetRecordList(1);
        for (int id = -3; id <= 2100; ++id) {
            ItemRecord key(id, 0, "");
            std::int32_t indicator = 9;
            const std::int32_t stored =
                table.SearchIndexedField(key.buffers, list, 0, indicator, 0, false);
            ASSERT_EQ(cache_.FindUnique(table, 0, key.buffers), indicator == 0 ? stored : -1)
                << "id " << id;
        }
    };
    expectSame("keys read as they are probed");
    expectSame("keys held");
    // Keys that do not follow their positions: a gap of deleted rows, and a few keys far
    // beyond the rest, so that guesses by value land far from the key.
    TVeskTableWriter writer(table);
    for (int i = 0; i < 150; ++i)
        writer.DeleteRecord(120, false);
    for (const auto& [pos, id] : {std::pair{3, 2000}, {40, 1500}, {200, 1999}}) {
        ItemRecord moved(id, 0, "far");
        writer.ModifyRecordData(moved.buffers, pos, false);
    }
    expectSame("uneven keys, read as they are probed");
    expectSame("uneven keys held");
}

// Once the upper levels are held, a key that follows its position is found by reading it alone.
TEST_P(KeyCache, FindUniqueReadsTheFoundKeyAlone) {
    TVeskTableIO& table = table_->Table();
    for (int id = 10; id <= 400; id += 10) {
        ItemRecord key(id, 0, "");
        ASSERT_GE(cache_.FindUnique(table, 0, key.buffers), 0);
    }
    for (const int id : {155, 3, 398, 271}) {
        const std::int32_t before = cache_.KeysRead();
        ItemRecord key(id, 0, "");
        const std::int32_t pos = cache_.FindUnique(table, 0, key.buffers);
        ASSERT_GE(pos, 0);
        std::int32_t indicator = 9;
        EXPECT_EQ(pos, table.SearchIndexedField(key.buffers, table.GetRecordList(1), 0, indicator,
                                                0, false));
        EXPECT_EQ(indicator, 0);
        EXPECT_EQ(cache_.KeysRead() - before, 1) << "id " << id;
    }
}

INSTANTIATE_TEST_SUITE_P(Files, KeyCache, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Enciphered" : "Plain"; });

}  // namespace
}  // namespace vesk
