// The registered ciphers behind the encryption manager, as the file access object uses them.
#include "engine/codec/enc_algo.h"

#include <gtest/gtest.h>

#include "engine/codec/algo_registry.h"
#include "engine/codec/encrypt_exception.h"
#include "engine/codec/encrypt_mgr.h"
#include "engine/codec/standard_algorithms.h"
#include "engine/db_error.h"
#include "engine/testing/test_bytes.h"

namespace vesk {
namespace {

using testing_bytes::Random;

using Bytes = std::vector<std::uint8_t>;

class EncAlgoTest : public ::testing::Test {
  protected:
    void SetUp() override { RegisterStandardAlgorithms(); }
    void TearDown() override { UnregisterAllAlgorithms(); }
};

const char* const kNames[] = {"Blowfish", "twofish", "GOST"};

TEST_F(EncAlgoTest, StreamsAndValuesRoundTripInEveryMode) {
    for (const char* name : kNames) {
        for (std::uint8_t mode = 0; mode <= 4; ++mode) {
            TEncryptMgr mgr(nullptr);
            mgr.SetAlgoName(name);
            mgr.SetMode(mode);
            mgr.InitKey("pass");
            const Bytes plain = Random(10000, mode);
            // A stream in 4096-byte pieces equals one value over all of it.
            Bytes asValue(plain.size());
            mgr.EncodeBuffer(plain.data(), asValue.data(), 10000);
            TMemoryStream s;
            s.WriteBuffer(plain.data(), 10000);
            mgr.EncodeStream(&s, nullptr, -1);
            EXPECT_EQ(s.Bytes(), asValue) << name << " mode " << int(mode);
            mgr.DecodeStream(&s, nullptr, -1);
            EXPECT_EQ(s.Bytes(), plain) << name << " mode " << int(mode);
            // Values: one chain each, so equal values give equal outputs.
            const Bytes value = Random(13, 99);
            Bytes one(13), two(13);
            mgr.EncodeBuffer(value.data(), one.data(), 13);
            mgr.EncodeBuffer(value.data(), two.data(), 13);
            EXPECT_EQ(one, two) << name;
            mgr.DecodeBuffer(one.data(), one.data(), 13);
            EXPECT_EQ(one, value) << name << " mode " << int(mode);
        }
    }
}

TEST_F(EncAlgoTest, RegisteredNamesMakeTheirCiphers) {
    struct Case {
        const char* name;
        const char* cipher;
    };
    for (const Case& c : {Case{"blowfish", "TEnc_Blowfish"}, Case{"Twofish", "TEnc_Twofish"},
                          Case{"gost", "TEnc_Gost"}}) {
        TEncryptMgr mgr(nullptr);
        mgr.SetAlgoName(c.name);
        auto* adapter = dynamic_cast<TEncAlgo_Base*>(mgr.EncryptAlgo());
        ASSERT_NE(adapter, nullptr) << c.name;
        EXPECT_STREQ(adapter->Cipher().ClassName(), c.cipher);
    }
}

TEST_F(EncAlgoTest, WithoutKeyTheCipherErrorPassesUnchanged) {
    TEncryptMgr mgr(nullptr);
    mgr.SetAlgoName("Gost");
    Bytes data(8, 0);
    try {
        mgr.EncodeBuffer(data.data(), data.data(), 8);
        ADD_FAILURE() << "no error";
    } catch (const EEncryptException& e) {
        EXPECT_STREQ(e.what(), "TEnc_Gost is not initialized call Init() or InitKey() before.");
        EXPECT_EQ(e.ErrorCode, 3);
    }
    EXPECT_EQ(data, Bytes(8, 0));
}

TEST_F(EncAlgoTest, SameNameKeepsKeyAndModeAndBadModeIsRefused) {
    TEncryptMgr mgr(nullptr);
    mgr.SetAlgoName("Blowfish");
    mgr.SetMode(1);
    mgr.InitKey("pass");
    const Bytes value = Random(20, 1);
    Bytes before(20), after(20);
    mgr.EncodeBuffer(value.data(), before.data(), 20);
    mgr.SetAlgoName("BLOWFISH");
    EXPECT_EQ(mgr.EncryptAlgo()->GetMode(), 1);
    mgr.EncodeBuffer(value.data(), after.data(), 20);
    EXPECT_EQ(before, after);
    EXPECT_THROW(mgr.SetMode(5), EDatabaseError);
    EXPECT_EQ(mgr.EncryptAlgo()->GetMode(), 1);
}

TEST_F(EncAlgoTest, CiphersDifferFromEachOther) {
    const Bytes value = Random(32, 4);
    std::vector<Bytes> outputs;
    for (const char* name : kNames) {
        TEncryptMgr mgr(nullptr);
        mgr.SetAlgoName(name);
        mgr.InitKey("pass");
        Bytes out(32);
        mgr.EncodeBuffer(value.data(), out.data(), 32);
        outputs.push_back(out);
    }
    EXPECT_NE(outputs[0], outputs[1]);
    EXPECT_NE(outputs[1], outputs[2]);
    EXPECT_NE(outputs[0], outputs[2]);
}

}  // namespace
}  // namespace vesk
