#include "engine/codec/zip_compress.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <stdexcept>

#include "engine/db_error.h"
#include "engine/testing/test_bytes.h"

namespace vesk {
namespace {

using testing_bytes::Random;

std::vector<std::uint8_t> Text(size_t n) {
    std::vector<std::uint8_t> v(n);
    for (size_t i = 0; i < n; ++i)
        v[i] = static_cast<std::uint8_t>("table row "[i % 10] + i / 997 % 3);
    return v;
}

// A memory stream holding bytes, positioned at its end.
struct Holding : TMemoryStream {
    explicit Holding(const std::vector<std::uint8_t>& bytes) {
        if (!bytes.empty())
            WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    }
};

std::int32_t LengthAt(const std::vector<std::uint8_t>& b, size_t at) {
    return static_cast<std::int32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16 |
                                     static_cast<std::uint32_t>(b[at + 3]) << 24);
}

std::vector<std::int32_t> ChunkLengths(const std::vector<std::uint8_t>& stored) {
    std::vector<std::int32_t> lengths;
    for (size_t at = 0; at < stored.size();) {
        const std::int32_t l = LengthAt(stored, at);
        lengths.push_back(l);
        at += 4 + static_cast<size_t>(l < 0 ? -static_cast<std::int64_t>(l) : l);
    }
    return lengths;
}

std::vector<std::uint8_t> Encode(const std::vector<std::uint8_t>& plain) {
    TCompAlgo_Zip zip(nullptr);
    Holding source(plain);
    TMemoryStream dest;
    dest.WriteBuffer("stale", 5);
    zip.EncodeStream(&source, &dest, source.Size());
    return dest.Bytes();
}

std::vector<std::uint8_t> Decode(const std::vector<std::uint8_t>& stored) {
    TCompAlgo_Zip zip(nullptr);
    Holding source(stored);
    TMemoryStream dest;
    dest.WriteBuffer("stale", 5);
    zip.DecodeStream(&source, &dest, source.Size());
    return dest.Bytes();
}

TEST(Zip, ChunkLayout) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> plain;
        std::vector<std::int32_t> signs;  // +1 compressed chunk, -n stored chunk of n bytes
    };
    const Case cases[] = {
        {"empty", {}, {}},
        {"ten bytes that do not shrink", Random(10, 1), {-10}},
        {"exactly one piece of noise", Random(65536, 1), {-65536}},
        {"100,000 zero bytes", std::vector<std::uint8_t>(100000, 0), {1, 1}},
        {"noise then text",
         [] {
             auto v = Random(65536, 1);
             auto t = Text(1000);
             v.insert(v.end(), t.begin(), t.end());
             return v;
         }(),
         {-65536, 1}},
    };
    for (const Case& c : cases) {
        const std::vector<std::uint8_t> stored = Encode(c.plain);
        const std::vector<std::int32_t> lengths = ChunkLengths(stored);
        ASSERT_EQ(lengths.size(), c.signs.size()) << c.what;
        for (size_t i = 0; i < lengths.size(); ++i) {
            if (c.signs[i] < 0)
                EXPECT_EQ(lengths[i], c.signs[i]) << c.what;
            else
                EXPECT_GT(lengths[i], 0) << c.what;
        }
        EXPECT_EQ(Decode(stored), c.plain) << c.what;
    }
    // A stored chunk carries the input bytes as they are.
    const std::vector<std::uint8_t> ten = Random(10, 1);
    const std::vector<std::uint8_t> stored = Encode(ten);
    ASSERT_EQ(stored.size(), 14u);
    EXPECT_TRUE(std::equal(ten.begin(), ten.end(), stored.begin() + 4));
    EXPECT_EQ(Encode(Random(65536, 1)).size(), 65540u);
}

TEST(Zip, SecondPieceOfZerosInflatesToTheRest) {
    const std::vector<std::uint8_t> stored = Encode(std::vector<std::uint8_t>(100000, 0));
    const std::int32_t first = LengthAt(stored, 0);
    const size_t second = 4 + static_cast<size_t>(first);
    const std::int32_t length = LengthAt(stored, second);
    std::vector<Bytef> out(65536);
    uLongf outSize = out.size();
    ASSERT_EQ(uncompress(out.data(), &outSize, stored.data() + second + 4, length), Z_OK);
    EXPECT_EQ(outSize, 34464u);
}

TEST(Zip, RoundTripsInPlaceAndIntoAnotherStream) {
    for (size_t size : {0u, 1u, 100u, 65535u, 65536u, 65537u, 131072u, 200001u}) {
        for (bool noise : {false, true}) {
            const std::vector<std::uint8_t> plain = noise ? Random(size, 7) : Text(size);
            EXPECT_EQ(Decode(Encode(plain)), plain) << size << " noise " << noise;

            TCompAlgo_Zip zip(nullptr);
            Holding s(plain);
            zip.EncodeStream(&s, &s, s.Size());
            EXPECT_EQ(s.Bytes(), Encode(plain)) << size;
            zip.DecodeStream(&s, &s, s.Size());
            EXPECT_EQ(s.Bytes(), plain) << size << " noise " << noise;
        }
    }
}

TEST(Zip, EncodesOnlyTheFirstDataSizeBytes) {
    const std::vector<std::uint8_t> plain = Text(5000);
    TCompAlgo_Zip zip(nullptr);
    Holding source(plain);
    TMemoryStream dest;
    source.SetPosition(4000);  // always read from the start
    zip.EncodeStream(&source, &dest, 3000);
    EXPECT_EQ(Decode(dest.Bytes()), std::vector<std::uint8_t>(plain.begin(), plain.begin() + 3000));
}

TEST(Zip, StoredChunkDecodesToItsBytes) {
    EXPECT_EQ(Decode({0xFD, 0xFF, 0xFF, 0xFF, 'a', 'b', 'c'}),
              (std::vector<std::uint8_t>{'a', 'b', 'c'}));
}

std::vector<std::uint8_t> WithLength(std::int32_t length, std::vector<std::uint8_t> data) {
    const auto u = static_cast<std::uint32_t>(length);
    std::vector<std::uint8_t> v{static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8),
                                static_cast<std::uint8_t>(u >> 16),
                                static_cast<std::uint8_t>(u >> 24)};
    v.insert(v.end(), data.begin(), data.end());
    return v;
}

std::vector<std::uint8_t> Deflated(size_t zeros) {
    std::vector<Bytef> in(zeros, 0), out(compressBound(zeros));
    uLongf outSize = out.size();
    compress2(out.data(), &outSize, in.data(), zeros, Z_DEFAULT_COMPRESSION);
    out.resize(outSize);
    return out;
}

TEST(Zip, DamagedInputIsRefused) {
    const std::vector<std::uint8_t> good = Encode(Text(1000));
    std::vector<std::uint8_t> flipped = good;
    flipped[10] ^= 0xFF;
    std::vector<std::uint8_t> overlong = Deflated(65537);
    struct Case {
        const char* what;
        std::vector<std::uint8_t> stored;
        const char* text;
    };
    const Case cases[] = {
        {"length word cut short", {1, 0}, "Stream read error"},
        {"second length word cut short",
         [&] {
             auto v = WithLength(-2, {1, 2});
             v.push_back(9);
             return v;
         }(),
         "Stream read error"},
        {"zero length", WithLength(0, {}), "Cannot Uncompress."},
        {"stored length over a piece", WithLength(-65537, std::vector<std::uint8_t>(65537)),
         "Cannot Uncompress."},
        {"compressed length over a piece", WithLength(65537, std::vector<std::uint8_t>(65537)),
         "Cannot Uncompress."},
        {"most negative length", WithLength(INT32_MIN, {1, 2, 3}), "Cannot Uncompress."},
        {"stored data cut short", WithLength(-10, {1, 2, 3, 4, 5}), "Cannot Uncompress."},
        {"compressed data cut short", std::vector<std::uint8_t>(good.begin(), good.end() - 3),
         "Cannot Uncompress."},
        {"damaged zlib data", flipped, "Cannot Uncompress."},
        {"piece inflating past 65,536 bytes",
         WithLength(static_cast<std::int32_t>(overlong.size()), overlong), "Cannot Uncompress."},
    };
    for (const Case& c : cases) {
        TCompAlgo_Zip zip(nullptr);
        Holding s(c.stored);
        try {
            zip.DecodeStream(&s, &s, s.Size());
            ADD_FAILURE() << c.what << ": no error";
        } catch (const EDatabaseError& e) {
            ADD_FAILURE() << c.what << ": a database error " << e.what();
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), c.text) << c.what;
        }
        EXPECT_EQ(s.Bytes(), c.stored) << c.what << ": in-place content changed";
    }
}

TEST(Zip, ChunkReachingPastTheStoredSizeIsRefused) {
    // The blob says 7 stored bytes, but the chunk claims 10 bytes that the stream happens to hold.
    TCompAlgo_Zip zip(nullptr);
    Holding s(WithLength(-10, Random(10, 1)));
    TMemoryStream d;
    EXPECT_THROW(zip.DecodeStream(&s, &d, 7), std::runtime_error);
}

TEST(Zip, ProgressOfBothDirections) {
    TCompAlgo_Zip zip(nullptr);
    std::vector<int> encode, decode;
    zip.OnEncodeProgress = [&](TDataProcessOwner*, int p) { encode.push_back(p); };
    zip.OnDecodeProgress = [&](TDataProcessOwner*, int p) { decode.push_back(p); };
    Holding s(std::vector<std::uint8_t>(100000, 0));
    zip.EncodeStream(&s, &s, s.Size());
    EXPECT_EQ(encode, (std::vector<int>{0, 66, 100, 0}));
    zip.DecodeStream(&s, &s, s.Size());
    ASSERT_EQ(decode.size(), 4u);
    EXPECT_EQ(decode.front(), 0);
    EXPECT_EQ(decode[2], 100);
    EXPECT_EQ(decode.back(), 0);

    encode.clear();
    TMemoryStream empty, out;
    zip.EncodeStream(&empty, &out, 0);
    EXPECT_EQ(encode, (std::vector<int>{0, 0}));
    EXPECT_EQ(out.Size(), 0);
}

TEST(Zip, LevelCodes) {
    TCompAlgo_Zip zip(nullptr);
    EXPECT_EQ(zip.GetLevel(), 1);
    zip.SetLevel(3);
    EXPECT_EQ(zip.GetLevel(), 3);
    const std::pair<int, int> table[] = {{0, 9}, {1, -1}, {2, 5}, {3, 1}, {4, -1}, {255, -1}};
    for (auto [code, level] : table)
        EXPECT_EQ(TCompAlgo_Zip::GetZipLevel(static_cast<std::uint8_t>(code)), level) << code;
}

}  // namespace
}  // namespace vesk
