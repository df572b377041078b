#include "engine/file_block_cache.h"

#include <gtest/gtest.h>

#include <string>

namespace vesk {
namespace {

constexpr std::int64_t kBlock = TFileBlockCache::kBlockSize;

// A memory stream that counts the positioned reads reaching it.
class CountingStream : public TMemoryStream {
  public:
    int reads = 0;
    std::int64_t ReadAt(void* buffer, std::int64_t position, std::int64_t count) override {
        ++reads;
        return TMemoryStream::ReadAt(buffer, position, count);
    }
};

std::string Pattern(std::int64_t size) {
    std::string bytes(static_cast<size_t>(size), '\0');
    for (std::int64_t i = 0; i < size; ++i)
        bytes[static_cast<size_t>(i)] = static_cast<char>('a' + (i * 7) % 26);
    return bytes;
}

std::string ReadText(TFileBlockCache& cache, TStream& stream, std::int64_t position,
                     std::int64_t count) {
    std::string out(static_cast<size_t>(count), '?');
    out.resize(static_cast<size_t>(cache.Read(stream, out.data(), position, count, stream.Size())));
    return out;
}

TEST(FileBlockCache, ReadsWhatTheStreamHoldsAndHitsHeldBlocks) {
    CountingStream stream;
    const std::string bytes = Pattern(3 * kBlock + 100);
    stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    TFileBlockCache cache(2);
    struct Case {
        std::int64_t position, count;
    } cases[] = {{0, 10},
                 {kBlock - 3, 6},
                 {3 * kBlock + 90, 40},
                 {3 * kBlock + 100, 5},
                 {2 * kBlock, kBlock},
                 {10, 3 * kBlock}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.position) + "+" + std::to_string(c.count));
        const std::int64_t end =
            std::min<std::int64_t>(c.position + c.count, static_cast<std::int64_t>(bytes.size()));
        EXPECT_EQ(ReadText(cache, stream, c.position, c.count),
                  bytes.substr(static_cast<size_t>(c.position),
                               static_cast<size_t>(std::max<std::int64_t>(0, end - c.position))));
        EXPECT_LE(cache.HeldBlocks(), 2u);
    }
    cache.Clear();
    EXPECT_EQ(cache.HeldBlocks(), 0u);
    stream.reads = 0;
    ReadText(cache, stream, kBlock + 5, 8);
    ReadText(cache, stream, kBlock + 500, 8);
    EXPECT_EQ(stream.reads, 1) << "the second read of a block comes from the cache";
    EXPECT_EQ(ReadText(cache, stream, 3 * kBlock - 3, 6), bytes.substr(3 * kBlock - 3, 6));
    EXPECT_EQ(stream.reads, 2) << "the two blocks of one read are read in one call";
    const std::int64_t large = TFileBlockCache::kLargestCachedRead + 1;
    ReadText(cache, stream, 0, large);
    ReadText(cache, stream, 0, large);
    EXPECT_EQ(stream.reads, 4) << "a large read goes to the stream each time";
    cache.Clear();
    ReadText(cache, stream, kBlock + 5, 8);
    EXPECT_EQ(stream.reads, 5) << "a cleared cache reads again";
}

TEST(FileBlockCache, FollowsOwnWritesAndAGrownStream) {
    CountingStream stream;
    const std::string bytes = Pattern(kBlock + 10);
    stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    TFileBlockCache cache;
    ASSERT_EQ(ReadText(cache, stream, kBlock, 20), bytes.substr(kBlock, 10));

    // Written through: bytes inside and just past what the block held.
    stream.WriteAt("WXYZ", kBlock + 8, 4);
    cache.Wrote(kBlock + 8, "WXYZ", 4);
    stream.reads = 0;
    EXPECT_EQ(ReadText(cache, stream, kBlock + 6, 6), bytes.substr(kBlock + 6, 2) + "WXYZ");
    EXPECT_EQ(stream.reads, 0);

    // A write leaving a gap after what the block held: the gap is read from the stream.
    stream.WriteAt("Q", kBlock + 100, 1);
    cache.Wrote(kBlock + 100, "Q", 1);
    EXPECT_EQ(ReadText(cache, stream, kBlock + 98, 3), std::string("\0\0Q", 3));

    // Grown behind the cache's back: bytes past what a block held are read again.
    stream.WriteAt("tail", kBlock + 101, 4);
    EXPECT_EQ(ReadText(cache, stream, kBlock + 100, 5), "Qtail");
    EXPECT_EQ(ReadText(cache, stream, kBlock + 105, 5), "") << "short at the end";
}

}  // namespace
}  // namespace vesk
