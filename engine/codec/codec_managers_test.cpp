// The compression and encryption managers over test algorithms registered for the test.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "engine/codec/algo_registry.h"
#include "engine/codec/compress_mgr.h"
#include "engine/codec/encrypt_mgr.h"
#include "engine/db_error.h"

namespace vesk {
namespace {

struct RecordingOwner : TDataProcessOwner {
    std::vector<std::string> calls;
    void Note(const char* what, TDataProcessOwner* sender, int percent) {
        calls.push_back(std::string(what) + (sender == this ? ":self:" : ":other:") +
                        std::to_string(percent));
    }
    void DoCompressProgress(TDataProcessOwner* s, int p) override { Note("compress", s, p); }
    void DoUncompressProgress(TDataProcessOwner* s, int p) override { Note("uncompress", s, p); }
    void DoEncryptProgress(TDataProcessOwner* s, int p) override { Note("encrypt", s, p); }
    void DoDecryptProgress(TDataProcessOwner* s, int p) override { Note("decrypt", s, p); }
};

// Reports 50 % once per direction; copies nothing.
class ProgressOnly : public TCompressAlgo {
  public:
    using TCompressAlgo::TCompressAlgo;
    void EncodeStream(TStream*, TStream*, std::int64_t) override {
        DoProgress(Direction::Encode, 1, 2);
    }
    void DecodeStream(TStream*, TStream*, std::int64_t) override {
        DoProgress(Direction::Decode, 1, 2);
    }
};

// A chained byte cipher: each byte is offset by a running counter that Done resets. A
// DataSize of 13 fails after moving the chain on.
class CountingCipher : public TEncryptAlgo {
  public:
    using TEncryptAlgo::TEncryptAlgo;
    std::uint8_t mode = 0;
    std::string key;
    int counter = 0;
    void SetMode(std::uint8_t v) override {
        if (v > 4)
            throw EDatabaseError("bad mode");
        mode = v;
    }
    std::uint8_t GetMode() const override { return mode; }
    void InitKey(const std::string& k) override { key = k; }
    void Done() override { counter = 0; }
    void EncodeBuffer(const void* s, void* d, std::int64_t n) override { Run(s, d, n, +1); }
    void DecodeBuffer(const void* s, void* d, std::int64_t n) override { Run(s, d, n, -1); }

  private:
    void Run(const void* s, void* d, std::int64_t n, int sign) {
        auto* in = static_cast<const std::uint8_t*>(s);
        auto* out = static_cast<std::uint8_t*>(d);
        for (std::int64_t i = 0; i < n; ++i)
            out[i] = static_cast<std::uint8_t>(in[i] + sign * ++counter);
        if (n == 13)
            throw std::runtime_error("cipher failed");
    }
};

template <class A, class Base>
std::unique_ptr<Base> Make(TDataProcessOwner* owner) {
    return std::make_unique<A>(owner);
}

const TCompressAlgoClass kProgressOnly{"ProgressOnly", &Make<ProgressOnly, TCompressAlgo>};
const TEncryptAlgoClass kCountingA{"CountingA", &Make<CountingCipher, TEncryptAlgo>};
const TEncryptAlgoClass kCountingB{"CountingB", &Make<CountingCipher, TEncryptAlgo>};

class ManagersTest : public ::testing::Test {
  protected:
    void SetUp() override {
        UnregisterAllAlgorithms();
        RegisterCompressClass(kProgressOnly, "Squeeze");
        RegisterEncryptClass(kCountingA, "Alpha");
        RegisterEncryptClass(kCountingB, "Beta");
    }
    void TearDown() override { UnregisterAllAlgorithms(); }
    RecordingOwner owner;
};

std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const EDatabaseError& e) {
        return e.what();
    }
    return "no EDatabaseError";
}

TEST_F(ManagersTest, UnknownNamesAndMissingAlgorithmRaiseTheirTexts) {
    TCompressMgr compress(&owner);
    TEncryptMgr encrypt(&owner);
    TMemoryStream s;
    std::uint8_t b[1] = {0};
    struct Case {
        std::function<void()> call;
        const char* text;
    };
    const Case cases[] = {
        {[&] { compress.SetAlgoName("Alpha"); }, "Compression algorithm module 'Alpha' not found"},
        {[&] { encrypt.SetAlgoName("Squeeze"); },
         "Encryption algorithm module 'Squeeze' not found"},
        {[&] { encrypt.CheckAlgoName("Gamma"); }, "Encryption algorithm module 'Gamma' not found"},
        {[&] { compress.EncodeStream(&s, &s, 0); }, "General error"},
        {[&] { compress.DecodeStream(&s, &s, 0); }, "General error"},
        {[&] { encrypt.EncodeStream(&s, &s, 0); }, "General error"},
        {[&] { encrypt.DecodeBuffer(b, b, 1); }, "General error"},
        {[&] { encrypt.SetMode(1); }, "General error"},
        {[&] { encrypt.InitKey("pw"); }, "General error"},
        {[&] { encrypt.Done(); }, "General error"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ErrorOf(c.call), c.text);
}

TEST_F(ManagersTest, LowerCaseNameFindsTheEntryAndBindsOwnerProgress) {
    TCompressMgr compress(&owner);
    compress.SetAlgoName("squeeze");
    ASSERT_NE(compress.CompressAlgo(), nullptr);
    EXPECT_EQ(compress.Algo()->Owner(), &owner);
    TMemoryStream s;
    compress.EncodeStream(&s, &s, 0);
    compress.DecodeStream(&s, &s, 0);
    EXPECT_EQ(owner.calls, (std::vector<std::string>{"compress:self:50", "uncompress:self:50"}));
}

TEST_F(ManagersTest, WithoutOwnerNoEventIsBound) {
    TCompressMgr compress(nullptr);
    compress.SetAlgoName("SQUEEZE");
    EXPECT_FALSE(compress.Algo()->OnEncodeProgress);
    EXPECT_FALSE(compress.Algo()->OnDecodeProgress);
}

TEST_F(ManagersTest, SameClassKeepsObjectAnotherClassReplacesIt) {
    TEncryptMgr encrypt(&owner);
    encrypt.SetAlgoName("Alpha");
    encrypt.SetMode(3);
    encrypt.InitKey("secret");
    TEncryptAlgo* first = encrypt.EncryptAlgo();
    encrypt.SetAlgoName("ALPHA");
    ASSERT_EQ(encrypt.EncryptAlgo(), first);
    EXPECT_EQ(static_cast<CountingCipher*>(first)->key, "secret");
    EXPECT_EQ(first->GetMode(), 3);
    encrypt.SetAlgoName("Beta");
    EXPECT_EQ(encrypt.EncryptAlgo()->GetMode(), 0);
    EXPECT_EQ(static_cast<CountingCipher*>(encrypt.EncryptAlgo())->key, "");
}

TEST_F(ManagersTest, EveryOperationIsOneFreshChainAlsoAfterAFailure) {
    TEncryptMgr encrypt(&owner);
    encrypt.SetAlgoName("Alpha");
    const std::vector<std::uint8_t> plain(5, 10);
    std::vector<std::uint8_t> one(5), two(5);
    encrypt.EncodeBuffer(plain.data(), one.data(), 5);
    encrypt.EncodeBuffer(plain.data(), two.data(), 5);
    EXPECT_EQ(one, two);
    EXPECT_EQ(one, (std::vector<std::uint8_t>{11, 12, 13, 14, 15}));

    std::vector<std::uint8_t> failing(13, 0);
    EXPECT_THROW(encrypt.EncodeBuffer(failing.data(), failing.data(), 13), std::runtime_error);
    encrypt.EncodeBuffer(plain.data(), two.data(), 5);
    EXPECT_EQ(one, two);

    TMemoryStream s;
    s.WriteBuffer(one.data(), 5);
    encrypt.DecodeStream(&s, nullptr, -1);
    EXPECT_EQ(s.Bytes(), plain);
    EXPECT_EQ(owner.calls,
              (std::vector<std::string>{"decrypt:self:0", "decrypt:self:100", "decrypt:self:0"}));
    owner.calls.clear();
    encrypt.EncodeStream(&s, nullptr, -1);
    EXPECT_EQ(owner.calls,
              (std::vector<std::string>{"encrypt:self:0", "encrypt:self:100", "encrypt:self:0"}));
}

}  // namespace
}  // namespace vesk
