#include "engine/codec/data_process_algo.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace vesk {
namespace {

TEST(ProgressPercent, NearestWithHalvesToEven) {
    struct Case {
        std::int64_t current, total;
        int percent;
    };
    const Case cases[] = {{0, 0, 0},         {5, 0, 0},         {0, 10, 0},  {10, 10, 100},
                          {1, 8, 12},        {3, 8, 38},        {1, 200, 0}, {3, 200, 2},
                          {5, 200, 2},       {7, 200, 4},       {2, 3, 67},  {1, 3, 33},
                          {4096, 10000, 41}, {8192, 10000, 82}, {1, -4, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(TDataProcessAlgo::ProgressPercent(c.current, c.total), c.percent)
            << c.current << "/" << c.total;
}

// A chained "cipher" that records the piece sizes it is given: each byte is xored with the
// previous output byte, so pieces must continue one chain to give the whole-buffer result.
class RecordingCipher : public TEncryptAlgo {
  public:
    using TEncryptAlgo::TEncryptAlgo;
    std::vector<std::int64_t> pieces;
    std::uint8_t last = 0x5A;
    void InitKey(const std::string&) override {}
    void Done() override { last = 0x5A; }
    void EncodeBuffer(const void* s, void* d, std::int64_t n) override {
        pieces.push_back(n);
        auto* in = static_cast<const std::uint8_t*>(s);
        auto* out = static_cast<std::uint8_t*>(d);
        for (std::int64_t i = 0; i < n; ++i)
            last = out[i] = in[i] ^ last;
    }
    void DecodeBuffer(const void* s, void* d, std::int64_t n) override {
        pieces.push_back(n);
        auto* in = static_cast<const std::uint8_t*>(s);
        auto* out = static_cast<std::uint8_t*>(d);
        for (std::int64_t i = 0; i < n; ++i) {
            const std::uint8_t c = in[i];
            out[i] = c ^ last;
            last = c;
        }
    }
};

std::vector<std::uint8_t> Sample(size_t n) {
    std::vector<std::uint8_t> v(n);
    for (size_t i = 0; i < n; ++i)
        v[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    return v;
}

TEST(ProcessStream, PiecesOf4096ContinueOneChain) {
    const std::vector<std::uint8_t> plain = Sample(10000);
    RecordingCipher cipher(nullptr);
    std::vector<std::uint8_t> whole(plain.size());
    cipher.EncodeBuffer(plain.data(), whole.data(), 10000);
    cipher.Done();
    cipher.pieces.clear();

    TMemoryStream source, dest;
    source.WriteBuffer(plain.data(), 10000);
    std::vector<int> percents;
    cipher.OnEncodeProgress = [&](TDataProcessOwner*, int p) { percents.push_back(p); };
    cipher.EncodeStream(&source, &dest, -1);
    EXPECT_EQ(cipher.pieces, (std::vector<std::int64_t>{4096, 4096, 1808}));
    EXPECT_EQ(dest.Bytes(), whole);
    EXPECT_EQ(percents, (std::vector<int>{0, 41, 82, 100, 0}));
}

TEST(ProcessStream, InPlaceFromPositionAndShortSource) {
    const std::vector<std::uint8_t> plain = Sample(300);
    RecordingCipher cipher(nullptr);
    TMemoryStream s;
    s.WriteBuffer(plain.data(), 300);
    s.SetPosition(100);
    cipher.EncodeStream(&s, nullptr, 150);  // bytes 100..249 in place
    cipher.Done();
    s.SetPosition(100);
    cipher.DecodeStream(&s, nullptr, 150);
    EXPECT_EQ(s.Bytes(), plain);

    // Asking for more than the source holds stops at the short read, without an error.
    cipher.pieces.clear();
    TMemoryStream small, out;
    small.WriteBuffer(plain.data(), 10);
    small.SetPosition(0);
    cipher.EncodeStream(&small, &out, 5000);
    EXPECT_EQ(cipher.pieces, (std::vector<std::int64_t>{10}));
    EXPECT_EQ(out.Size(), 10);
}

TEST(ProcessStream, EmptyDataReportsZeroTwiceAndNullSourceNothing) {
    RecordingCipher cipher(nullptr);
    std::vector<int> percents;
    cipher.OnDecodeProgress = [&](TDataProcessOwner*, int p) { percents.push_back(p); };
    TMemoryStream s, d;
    cipher.DecodeStream(&s, &d, 0);
    EXPECT_EQ(percents, (std::vector<int>{0, 0}));
    EXPECT_EQ(d.Size(), 0);
    percents.clear();
    cipher.DecodeStream(nullptr, &d, -1);
    EXPECT_TRUE(percents.empty());
}

}  // namespace
}  // namespace vesk
