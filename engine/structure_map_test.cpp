#include "engine/structure_map.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/file_format.h"

namespace vesk {
namespace {

constexpr std::int64_t kFileSize = 1 << 20;
constexpr std::int64_t kRecordSize = 100;
constexpr std::int64_t kFirst = format::kFirstFreeAt + 1000;

// Table "a": ten records back to back from kFirst, entries 0 to 9, then entry 10 behind a gap.
TTableStructures TableA() {
    TTableStructures a(0, "a");
    for (std::int32_t e = 0; e < 10; ++e)
        a.AddRecord(e, kFirst + e * kRecordSize, kRecordSize, kFileSize);
    a.AddRecord(10, kFirst + 20 * kRecordSize, kRecordSize, kFileSize);
    return a;
}

std::vector<std::string> AllOverlaps(const TStructureMap& map) {
    std::vector<std::string> found;
    map.ForEachOverlap([&](const std::string& overlap) { found.push_back(overlap); });
    return found;
}

TEST(StructureMap, RecordsBackToBackFormOneRunWhoseRecordsAreNamedWhereTheyAreHit) {
    TStructureMap map;
    map.Set(TableA());
    EXPECT_EQ(map.Find(0)->Structures().size(), 2u);  // entries 0 to 9, and entry 10
    EXPECT_EQ(map.OverlapOf(0), "");
    EXPECT_EQ(map.MaxEnd(), kFirst + 21 * kRecordSize);

    // Table "b"'s blob area starts inside entry 3 of the run.
    TTableStructures b(1, "b");
    b.SetPartNames({}, {"memo"});
    b.AddBlobArea(7, 0, kFirst + 3 * kRecordSize + 10, 5, 64, kFileSize);
    map.Set(std::move(b));
    const std::string expected = "the blob area of field 'memo' of entry 7 of table 'b' at " +
                                 std::to_string(kFirst + 3 * kRecordSize + 10) +
                                 " lies on the record of entry 3 of table 'a' at " +
                                 std::to_string(kFirst + 3 * kRecordSize);
    EXPECT_EQ(map.OverlapOf(0), expected);
    EXPECT_EQ(map.OverlapOf(1), expected);
    EXPECT_EQ(AllOverlaps(map), std::vector<std::string>{expected});
    EXPECT_EQ(
        map.BlobAreaLiesOn(1, 7, 0, kFirst + 3 * kRecordSize + 10, kFirst + 3 * kRecordSize + 74),
        "the record of entry 3 of table 'a' at " + std::to_string(kFirst + 3 * kRecordSize));
    // An area is checked apart from what the map knows of that same area.
    TTableStructures c(2, "c");
    c.SetPartNames({}, {"memo"});
    const std::int64_t free = kFirst + 15 * kRecordSize;  // between entries 9 and 10 of "a"
    c.AddBlobArea(4, 0, free, 5, 64, kFileSize);
    map.Set(std::move(c));
    EXPECT_EQ(map.BlobAreaLiesOn(2, 4, 0, free, free + 64), "");
    EXPECT_EQ(map.BlobAreaLiesOn(2, 5, 0, free + 60, free + 124),
              "the blob area of field 'memo' of entry 4 of table 'c' at " + std::to_string(free));
}

TEST(StructureMap, ARecordThatStartsInsideARunOfItsOwnTableIsNamedWithTheRecordItHits) {
    TTableStructures a(0, "a");
    for (std::int32_t e = 0; e < 5; ++e)
        a.AddRecord(e, kFirst + e * kRecordSize, kRecordSize, kFileSize);
    a.AddRecord(5, kFirst + 2 * kRecordSize + 50, kRecordSize, kFileSize);
    // Left out, as damage of its own: outside the file, in its fixed part, of no bytes.
    a.AddRecord(6, kFileSize - 10, kRecordSize, kFileSize);
    a.AddRecord(7, 0, kRecordSize, kFileSize);
    a.AddRecord(8, kFirst, 0, kFileSize);
    TStructureMap map;
    map.Set(std::move(a));
    EXPECT_EQ(map.OverlapOf(0), "the record of entry 5 of table 'a' at " +
                                    std::to_string(kFirst + 2 * kRecordSize + 50) +
                                    " lies on the record of entry 2 of table 'a' at " +
                                    std::to_string(kFirst + 2 * kRecordSize));
    EXPECT_EQ(AllOverlaps(map).size(), 1u);
}

TEST(StructureMap, AChunkReachesItsFullSizeAndAddsInAnyOrderAreCheckedAlike) {
    // A last chunk laid at the end of a file that holds only its used part still owns its
    // whole size: new structures go past it.
    TTableStructures a(0, "a");
    a.AddRecord(0, kFirst, kRecordSize, kFileSize);
    a.AddRecordChunks({static_cast<std::int32_t>(kFileSize - 8)});
    a.AddHeader(kFirst + 100 * kRecordSize);
    TStructureMap map;
    map.Set(std::move(a));
    EXPECT_EQ(map.MaxEnd(), kFileSize - 8 + format::kRecordTabChunkSize);
    EXPECT_EQ(map.OverlapOf(0), "");

    TTableStructures b(1, "b");
    b.AddIndexChunks(0, {static_cast<std::int32_t>(kFileSize - 8 + 40)});
    b.SetPartNames({"pk"}, {});
    map.Set(std::move(b));
    EXPECT_EQ(map.OverlapOf(1), "chunk 0 of the index tab of index 'pk' of table 'b' at " +
                                    std::to_string(kFileSize - 8 + 40) +
                                    " lies on chunk 0 of the record tab of table 'a' at " +
                                    std::to_string(kFileSize - 8));
    map.Forget(1);
    EXPECT_EQ(AllOverlaps(map).size(), 0u);
}

}  // namespace
}  // namespace vesk
