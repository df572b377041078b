#include "engine/record_placement.h"

#include <gtest/gtest.h>

#include "engine/file_format.h"

namespace vesk {
namespace {

TEST(RecordPlacement, ARecordLiesInsideTheFileAndOnNoStructure) {
    TRecordPlacement placement;
    const std::int64_t header = format::kFirstFreeAt;  // 3821
    placement.AddStructure(header, format::kTableHeaderSize, "the header of table 0");
    placement.AddChunks({10000, 30000}, 5124, "the record tab");
    // A damaged file may hold structures on top of each other: the one reaching furthest
    // still counts when a shorter one starts after it.
    placement.AddStructure(20000, 9000, "a long one");
    placement.AddStructure(21000, 10, "a short one");
    constexpr std::int64_t kSize = 50000;
    const struct {
        std::int64_t offset;
        std::int64_t recordSize;
        std::string problem;
    } cases[] = {
        {0, 10, "lies in the file's fixed part"},
        {-1, 10, "lies in the file's fixed part"},
        {header - 1, 1, "lies in the file's fixed part"},
        {header, 10, "lies on the header of table 0"},
        {header + format::kTableHeaderSize - 1, 10, "lies on the header of table 0"},
        {header + format::kTableHeaderSize, 10, ""},  // right after the header
        {10000 - 10, 10, ""},                         // ends where the chunk starts
        {10000 - 10, 11, "lies on the record tab chunk 0"},
        {10000 + 5124, 10, ""},  // right after the chunk
        {30000 + 5000, 10, "lies on the record tab chunk 1"},
        {21005, 1, "lies on a long one"},
        {28000, 10, "lies on a long one"},
        {29000, 10, ""},
        {kSize - 10, 10, ""},  // the last bytes of the file
        {kSize - 9, 10, "lies beyond the end of the file"},
        {kSize, 0, "lies beyond the end of the file"},  // even a record of no bytes
        {INT32_MAX, 4, "lies beyond the end of the file"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(placement.Problem(c.offset, c.recordSize, kSize), c.problem)
            << c.offset << " + " << c.recordSize;
    placement.Clear();
    EXPECT_EQ(placement.Problem(header, 10, kSize), "");
}

}  // namespace
}  // namespace vesk
