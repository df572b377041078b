#include "engine/codec/algo_registry.h"

#include <gtest/gtest.h>

#include "engine/codec/standard_algorithms.h"

namespace vesk {
namespace {

class NullCompress : public TCompressAlgo {
  public:
    using TCompressAlgo::TCompressAlgo;
    void EncodeStream(TStream*, TStream*, std::int64_t) override {}
    void DecodeStream(TStream*, TStream*, std::int64_t) override {}
};

template <int N>
std::unique_ptr<TCompressAlgo> MakeNull(TDataProcessOwner* owner) {
    return std::make_unique<NullCompress>(owner);
}

const TCompressAlgoClass kFirst{"First", &MakeNull<1>};
const TCompressAlgoClass kSecond{"Second", &MakeNull<2>};

class AlgoRegistryTest : public ::testing::Test {
  protected:
    void SetUp() override { UnregisterAllAlgorithms(); }
    void TearDown() override { UnregisterAllAlgorithms(); }
};

TEST_F(AlgoRegistryTest, LookupIgnoresCaseAndFindsTheFirstEntry) {
    EXPECT_EQ(FindCompressClass("anything"), -1);  // no registry yet
    RegisterCompressClass(kFirst, "Pack");
    RegisterCompressClass(kSecond, "PACK");
    EXPECT_EQ(CompressClassCount(), 2);
    struct Case {
        const char* name;
        int index;
    };
    for (const Case& c :
         {Case{"pack", 0}, Case{"PaCk", 0}, Case{"Pac", -1}, Case{"Packs", -1}, Case{"", -1}}) {
        EXPECT_EQ(FindCompressClass(c.name), c.index) << c.name;
    }
    EXPECT_EQ(CompressClassAt(0), &kFirst);
    EXPECT_EQ(CompressClassAt(2), nullptr);
    EXPECT_EQ(CompressClassAt(-1), nullptr);
}

TEST_F(AlgoRegistryTest, RegisteringAClassAgainRenamesItsEntry) {
    RegisterCompressClass(kFirst, "Old");
    RegisterCompressClass(kSecond, "Other");
    RegisterCompressClass(kFirst, "New");
    EXPECT_EQ(CompressClassCount(), 2);
    EXPECT_EQ(CompressClassName(0), "New");
    EXPECT_EQ(FindCompressClass("Old"), -1);
    EXPECT_EQ(FindCompressClass("new"), 0);
}

TEST_F(AlgoRegistryTest, StandardAlgorithmsInOrderAndIdempotent) {
    for (int round = 0; round < 2; ++round) {
        RegisterStandardAlgorithms();
        ASSERT_EQ(CompressClassCount(), 1);
        EXPECT_EQ(CompressClassName(0), "ZIP");
        EXPECT_EQ(FindCompressClass("zip"), 0);
        ASSERT_EQ(EncryptClassCount(), 3);
        EXPECT_EQ(EncryptClassName(0), "Blowfish");
        EXPECT_EQ(EncryptClassName(1), "Twofish");
        EXPECT_EQ(EncryptClassName(2), "Gost");
        EXPECT_EQ(FindEncryptClass("GOST"), 2);
        EXPECT_EQ(FindEncryptClass("twofish"), 1);
    }
    UnregisterAllAlgorithms();
    EXPECT_EQ(CompressClassCount(), 0);
    EXPECT_EQ(EncryptClassCount(), 0);
    EXPECT_EQ(FindCompressClass("ZIP"), -1);
}

}  // namespace
}  // namespace vesk
