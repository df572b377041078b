#include "engine/field_buffers.h"

#include <gtest/gtest.h>

#include "engine/day_number.h"
#include "engine/file_format.h"

namespace vesk {
namespace {

TEST(FieldBuffers, ValuesAsText) {
    struct Case {
        TFieldType type;
        std::vector<std::uint8_t> bytes;
        std::string text;
    };
    auto i16 = [](std::int16_t v) {
        std::vector<std::uint8_t> b(2);
        format::PutI16(b.data(), v);
        return b;
    };
    auto i32 = [](std::int32_t v) {
        std::vector<std::uint8_t> b(4);
        format::PutI32(b.data(), v);
        return b;
    };
    auto f64 = [](double v) {
        std::vector<std::uint8_t> b(8);
        format::PutF64(b.data(), v);
        return b;
    };
    auto i64 = [](std::int64_t v) {
        std::vector<std::uint8_t> b(8);
        format::PutI64(b.data(), v);
        return b;
    };
    std::int32_t day = 0;
    ASSERT_TRUE(EncodeDayNumber({2024, 2, 29}, day));
    const Case cases[] = {
        {ftString, {'a', 'b', 0, 'c'}, "ab"},
        {ftFixedChar, {'x', 'y', 'z'}, "xyz"},  // no terminator: bounded by the size
        {ftSmallint, i16(-5), "-5"},
        {ftWord, i16(-1), "65535"},
        {ftInteger, i32(-123456), "-123456"},
        {ftAutoInc, i32(42), "42"},
        {ftLargeint, i64(-9000000000LL), "-9000000000"},
        {ftFloat, f64(2.5), "2.5"},
        {ftCurrency, f64(0.1), "0.1"},
        {ftBoolean, i16(0), "False"},
        {ftBoolean, i16(256), "True"},
        {ftDate, i32(day), "2024-02-29"},
        {ftTime, i32(((13 * 60 + 5) * 60 + 9) * 1000 + 500), "13:05:09"},
        {ftDateTime, f64(day * 86400000.0 + 3600000.0), "2024-02-29 01:00:00"},
        {ftBCD, i32(1), ""},
        {ftInteger, {1, 2}, ""},  // too short for its type
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::vector<std::uint8_t> bytes = c.bytes;
        TFieldBuffers buffers;
        TFieldBufferItem& item =
            buffers.Add(bytes.data(), c.type, static_cast<std::int32_t>(bytes.size()));
        EXPECT_EQ(item.GetAsString(), c.text);
    }
}

TEST(FieldBuffers, BlobItemsHoldTheStreamOfTheSlot) {
    TBlobBufferStream stream;
    stream.Write("memo\0tail", 9);
    TBlobBufferStream* slot = &stream;
    TFieldBuffers buffers;
    TFieldBufferItem& item = buffers.Add(&slot, ftMemo, 20);
    EXPECT_TRUE(item.IsBlob());
    EXPECT_EQ(item.BlobStream(), &stream);
    EXPECT_EQ(item.Size, 0);
    EXPECT_EQ(item.GetDataBuf(), stream.Memory());
    EXPECT_EQ(item.GetAsString(), "memo");
    EXPECT_TRUE(item.Active);
    EXPECT_FALSE(item.OwnsBuffer);
    item.BlobStream()->SetBlobInfo(1234, true, false);
    EXPECT_EQ(stream.DescriptorPos, 1234);
    EXPECT_TRUE(stream.Decipher);
    EXPECT_FALSE(stream.Decompress);

    TFieldBuffers owning;
    owning.AddBlob(new TBlobBufferStream, ftBlob).OwnsBuffer = true;
    owning.Add(new std::uint8_t[4]{}, ftInteger, 4).OwnsBuffer = true;
    owning.Items(0).FreeBuffer();
    EXPECT_EQ(owning.Items(0).Buffer, nullptr);
    EXPECT_FALSE(owning.Items(0).OwnsBuffer);
    owning.Clear();  // frees the integer's memory (the sanitizer reports a leak otherwise)
    EXPECT_EQ(owning.Count(), 0);
}

}  // namespace
}  // namespace vesk
