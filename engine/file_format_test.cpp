#include "engine/file_format.h"

#include <gtest/gtest.h>

namespace {

using namespace vesk::format;

TEST(FileFormat, StructureSizesAddUp) {
    EXPECT_EQ(kOptionsAt + kOptionsSize, kTableTabAt);
    EXPECT_EQ(kTableTabAt + kTableTabSize, kFirstFreeAt);
    EXPECT_EQ(kTabOffsets + kMaxTables * 4, kTableTabSize);
    EXPECT_EQ(kHdrFields + kMaxFields * kFieldDefSize, kHdrIndexCount);
    EXPECT_EQ(kHdrIndexes + kMaxIndexes * kIndexDefSize + 16, kTableHeaderSize);
    EXPECT_EQ(kRecordTabChunkSize, 5124);
    EXPECT_EQ(kIndexTabChunkSize, 8196);
}

TEST(FileFormat, BlobAreasAreTheNextMultipleOf64Above) {
    EXPECT_EQ(BlobAllocatedSize(0), 64);
    EXPECT_EQ(BlobAllocatedSize(1), 64);
    EXPECT_EQ(BlobAllocatedSize(63), 64);
    EXPECT_EQ(BlobAllocatedSize(64), 128);
}

TEST(FileFormat, LittleEndianAndTextFields) {
    std::uint8_t bytes[8] = {};
    PutI32(bytes, -2);
    EXPECT_EQ(bytes[0], 0xFE);
    EXPECT_EQ(bytes[3], 0xFF);
    EXPECT_EQ(GetI32(bytes), -2);
    PutF64(bytes, 3.5);
    EXPECT_EQ(GetF64(bytes), 3.5);
    std::uint8_t name[5];
    PutText(name, 5, "abcdefg");
    EXPECT_EQ(GetText(name, 5), "abcd") << "the last byte stays a terminator";
    const std::uint8_t full[3] = {'x', 'y', 'z'};
    EXPECT_EQ(GetText(full, 3), "xyz") << "no terminator: never read past the field";
}

}  // namespace
