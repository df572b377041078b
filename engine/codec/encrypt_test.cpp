// The modes of operation, key set-up and key wiping of the cipher framework.
#include "engine/codec/encrypt.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "engine/codec/blowfish_cipher.h"
#include "engine/codec/encrypt_exception.h"
#include "engine/codec/gost_cipher.h"
#include "engine/codec/sha_hash.h"
#include "engine/codec/twofish_cipher.h"
#include "engine/db_error.h"
#include "engine/testing/test_bytes.h"

namespace vesk {
namespace {

using testing_bytes::Random;

using Bytes = std::vector<std::uint8_t>;

struct CipherKind {
    const char* name;
    std::function<std::unique_ptr<TEncrypt>()> make;
};

const CipherKind kCiphers[] = {
    {"TEnc_Blowfish", [] { return std::make_unique<TEnc_Blowfish>(); }},
    {"TEnc_Twofish", [] { return std::make_unique<TEnc_Twofish>(); }},
    {"TEnc_Gost", [] { return std::make_unique<TEnc_Gost>(); }},
};

std::unique_ptr<TEncrypt> Keyed(const CipherKind& kind, std::uint8_t mode) {
    std::unique_ptr<TEncrypt> cipher = kind.make();
    cipher->SetMode(mode);
    cipher->InitKey("database password", nullptr);
    return cipher;
}

Bytes Encode(TEncrypt& cipher, const Bytes& plain) {
    Bytes out(plain.size());
    cipher.EncodeBuffer(plain.data(), out.data(), static_cast<std::int64_t>(plain.size()));
    return out;
}

Bytes Decode(TEncrypt& cipher, const Bytes& data) {
    Bytes out = data;  // in place
    cipher.DecodeBuffer(out.data(), out.data(), static_cast<std::int64_t>(out.size()));
    return out;
}

TEST(Encrypt, EveryModeRoundTripsWholeAndSplitInputs) {
    for (const CipherKind& kind : kCiphers) {
        for (std::uint8_t mode = 0; mode <= 4; ++mode) {
            std::unique_ptr<TEncrypt> cipher = Keyed(kind, mode);
            const size_t bs = static_cast<size_t>(cipher->BlockSize());
            for (size_t length : {size_t{1}, bs - 1, bs, bs + 1, 2 * bs + 5, 3 * bs, size_t{100}}) {
                const Bytes plain = Random(length, static_cast<unsigned>(length + mode));
                const Bytes whole = Encode(*cipher, plain);
                cipher->Done();
                // Pieces at block boundaries continue one chain.
                Bytes pieces(length);
                for (size_t at = 0; at < length;) {
                    const size_t n = std::min(length - at, at == 0 ? bs : 2 * bs);
                    cipher->EncodeBuffer(plain.data() + at, pieces.data() + at,
                                         static_cast<std::int64_t>(n));
                    at += n;
                }
                cipher->Done();
                EXPECT_EQ(pieces, whole) << kind.name << " mode " << int(mode) << " " << length;
                EXPECT_EQ(Decode(*cipher, whole), plain)
                    << kind.name << " mode " << int(mode) << " " << length;
                cipher->Done();
                Bytes back(length);
                for (size_t at = 0; at < length; at += bs) {
                    const size_t n = std::min(length - at, bs);
                    cipher->DecodeBuffer(whole.data() + at, back.data() + at,
                                         static_cast<std::int64_t>(n));
                }
                cipher->Done();
                EXPECT_EQ(back, plain) << kind.name << " mode " << int(mode) << " " << length;
                if (mode != 4 || length >= bs) {
                    EXPECT_NE(whole, plain) << kind.name;
                }
            }
        }
    }
}

TEST(Encrypt, ModesFollowTheirChainingRules) {
    const Bytes iv = Random(8, 1);
    const Bytes key = Random(16, 2);
    auto fresh = [&](std::uint8_t mode) {
        auto cipher = std::make_unique<TEnc_Blowfish>();
        cipher->SetMode(mode);
        cipher->Init(key.data(), 16, iv.data());
        return cipher;
    };
    auto E = [&](const Bytes& block) {
        TEnc_Blowfish raw;
        raw.Init(key.data(), 16, iv.data());
        Bytes b = block;
        raw.Encode(b.data());
        return b;
    };
    auto Xor = [](Bytes a, const Bytes& b) {
        for (size_t i = 0; i < a.size() && i < b.size(); ++i)
            a[i] ^= b[i];
        return a;
    };
    const Bytes plain = Random(19, 3);
    const Bytes p0(plain.begin(), plain.begin() + 8), p1(plain.begin() + 8, plain.begin() + 16),
        tail(plain.begin() + 16, plain.end());
    auto join = [](std::initializer_list<Bytes> parts) {
        Bytes all;
        for (const Bytes& p : parts)
            all.insert(all.end(), p.begin(), p.end());
        return all;
    };
    {  // mode 0: F := C xor F
        auto c = fresh(0);
        const Bytes c0 = E(Xor(p0, iv));
        const Bytes f1 = Xor(c0, iv);
        const Bytes c1 = E(Xor(p1, f1));
        const Bytes f2 = Xor(c1, f1);
        const Bytes t = Xor(tail, E(f2));
        EXPECT_EQ(Encode(*c, plain), join({c0, c1, t}));
        EXPECT_EQ(Bytes(c->Feedback().begin(), c->Feedback().end()), Xor(E(f2), f2));
    }
    {  // mode 1: cipher block chaining, the tail xored with E(F), F unchanged by it
        auto c = fresh(1);
        const Bytes c0 = E(Xor(p0, iv));
        const Bytes c1 = E(Xor(p1, c0));
        const Bytes t = Xor(tail, E(c1));
        EXPECT_EQ(Encode(*c, plain), join({c0, c1, t}));
        EXPECT_EQ(Bytes(c->Feedback().begin(), c->Feedback().end()), c1);
    }
    {  // mode 2 and 3: 8-bit feedback of the cipher byte or of the key byte
        for (std::uint8_t mode : {2, 3}) {
            auto c = fresh(mode);
            Bytes f = iv, expected;
            for (std::uint8_t p : Bytes(plain.begin(), plain.begin() + 3)) {
                const std::uint8_t k = E(f)[0];
                expected.push_back(p ^ k);
                f.erase(f.begin());
                f.push_back(mode == 2 ? static_cast<std::uint8_t>(p ^ k) : k);
            }
            EXPECT_EQ(Encode(*c, Bytes(plain.begin(), plain.begin() + 3)), expected);
            EXPECT_EQ(Bytes(c->Feedback().begin(), c->Feedback().end()), f);
        }
    }
    {  // mode 4: blocks alone, a partial block stored as it is
        auto c = fresh(4);
        EXPECT_EQ(Encode(*c, plain), join({E(p0), E(p1), tail}));
        EXPECT_EQ(Encode(*c, Bytes(plain.begin(), plain.begin() + 4)),
                  Bytes(plain.begin(), plain.begin() + 4));
        auto t = std::make_unique<TEnc_Twofish>();
        t->SetMode(4);
        t->InitKey("pw", nullptr);
        const Bytes fifteen = Random(15, 4);
        EXPECT_EQ(Encode(*t, fifteen), fifteen);
    }
}

TEST(Encrypt, DoneRestartsTheChain) {
    struct Case {
        std::uint8_t mode;
        size_t length;
        bool differsWithoutDone;
    };
    const Case cases[] = {{0, 5, true},  {0, 20, true}, {1, 5, false}, {1, 8, true},
                          {1, 20, true}, {2, 1, true},  {3, 9, true},  {4, 16, false}};
    for (const Case& c : cases) {
        auto cipher = Keyed(kCiphers[0], c.mode);
        const Bytes plain = Random(c.length, 5);
        const Bytes first = Encode(*cipher, plain);
        const Bytes chained = Encode(*cipher, plain);
        cipher->Done();
        EXPECT_EQ(Encode(*cipher, plain), first) << int(c.mode);
        EXPECT_EQ(chained != first, c.differsWithoutDone) << int(c.mode) << " " << c.length;
    }
}

TEST(Encrypt, ShortValuesInModesZeroAndOneDifferWhereTheInputDoes) {
    for (std::uint8_t mode : {0, 1}) {
        auto cipher = Keyed(kCiphers[2], mode);
        const Bytes a = {1, 2, 3, 4, 5};
        Bytes b = a;
        b[3] = 9;
        const Bytes ea = Encode(*cipher, a);
        cipher->Done();
        const Bytes eb = Encode(*cipher, b);
        Bytes k(cipher->Vector().begin(), cipher->Vector().end());
        cipher->Encode(k.data());
        for (size_t i = 0; i < a.size(); ++i) {
            EXPECT_EQ(ea[i], a[i] ^ k[i]);
            EXPECT_EQ(ea[i] != eb[i], i == 3);
        }
    }
}

TEST(Encrypt, VectorIsTheEncipheredAllOnesBlockOrTheGivenOne) {
    for (const CipherKind& kind : kCiphers) {
        std::unique_ptr<TEncrypt> cipher = kind.make();
        const Bytes key = Random(20, 6);
        cipher->Init(key.data(), 20, nullptr);
        Bytes ones(static_cast<size_t>(cipher->BlockSize()), 0xFF);
        cipher->Encode(ones.data());
        EXPECT_EQ(Bytes(cipher->Vector().begin(), cipher->Vector().end()), ones) << kind.name;
        EXPECT_EQ(Bytes(cipher->Feedback().begin(), cipher->Feedback().end()), ones);
        const Bytes iv = Random(static_cast<size_t>(cipher->BlockSize()), 7);
        cipher->Init(key.data(), 20, iv.data());
        EXPECT_EQ(Bytes(cipher->Vector().begin(), cipher->Vector().end()), iv) << kind.name;
    }
}

TEST(Encrypt, InitKeyUsesTheShaZeroDigestOfThePassword) {
    for (const CipherKind& kind : kCiphers) {
        std::unique_ptr<TEncrypt> byPassword = kind.make(), byDigest = kind.make();
        byPassword->InitKey("secret", nullptr);
        std::uint8_t digest[20];
        THash::CalcString(&THash_SHA::New, digest, "secret");
        byDigest->Init(digest, 20, nullptr);
        const Bytes plain = Random(40, 8);
        EXPECT_EQ(Encode(*byPassword, plain), Encode(*byDigest, plain)) << kind.name;
        byPassword->Done();
        EXPECT_TRUE(std::equal(byPassword->Feedback().begin(), byPassword->Feedback().end(),
                               byPassword->Vector().begin()));
    }
}

TEST(Encrypt, WithoutAKeyNothingIsWritten) {
    for (const CipherKind& kind : kCiphers) {
        std::unique_ptr<TEncrypt> cipher = kind.make();
        Bytes data(16, 0xAB);
        for (bool encode : {true, false}) {
            try {
                if (encode)
                    cipher->EncodeBuffer(data.data(), data.data(), 16);
                else
                    cipher->DecodeBuffer(data.data(), data.data(), 16);
                ADD_FAILURE() << kind.name << " without a key";
            } catch (const EEncryptException& e) {
                EXPECT_EQ(std::string(e.what()),
                          std::string(kind.name) +
                              " is not initialized call Init() or InitKey() before.");
                EXPECT_EQ(e.ErrorCode, 3);
            }
            EXPECT_EQ(data, Bytes(16, 0xAB));
        }
    }
}

TEST(Encrypt, ProtectWipesKeyMaterialAndScratchIsClearedAfterUse) {
    for (const CipherKind& kind : kCiphers) {
        std::unique_ptr<TEncrypt> cipher = Keyed(kind, 1);
        Encode(*cipher, Random(33, 9));
        auto allAre = [](std::span<const std::uint8_t> s, std::uint8_t v) {
            return std::all_of(s.begin(), s.end(), [v](std::uint8_t b) { return b == v; });
        };
        EXPECT_TRUE(allAre(cipher->Buffer(), 0)) << kind.name;
        EXPECT_FALSE(allAre(cipher->User(), 0)) << kind.name;
        EXPECT_EQ(static_cast<int>(cipher->User().size()), cipher->UserSize());
        cipher->Protect();
        EXPECT_FALSE(cipher->Initialized());
        EXPECT_TRUE(allAre(cipher->Vector(), 0xFF)) << kind.name;
        EXPECT_TRUE(allAre(cipher->Feedback(), 0xFF)) << kind.name;
        EXPECT_TRUE(allAre(cipher->Buffer(), 0)) << kind.name;
        EXPECT_TRUE(allAre(cipher->User(), 0)) << kind.name;
    }
}

TEST(Encrypt, ModeAboveFourIsRefusedAndSizesNotPositiveDoNothing) {
    auto cipher = Keyed(kCiphers[1], 2);
    for (int mode : {5, 7, 255}) {
        EXPECT_THROW(cipher->SetMode(static_cast<std::uint8_t>(mode)), EDatabaseError);
        EXPECT_EQ(cipher->Mode(), 2);
    }
    Bytes data(4, 1);
    cipher->EncodeBuffer(data.data(), data.data(), 0);
    cipher->EncodeBuffer(data.data(), data.data(), -3);
    EXPECT_EQ(data, Bytes(4, 1));
    EXPECT_TRUE(
        std::equal(cipher->Feedback().begin(), cipher->Feedback().end(), cipher->Vector().begin()));
}

TEST(Encrypt, ContextSizes) {
    struct Case {
        int index, block, key, user;
    };
    for (const Case& c : {Case{0, 8, 56, 4168}, Case{1, 16, 32, 4256}, Case{2, 8, 32, 32}}) {
        std::unique_ptr<TEncrypt> cipher = kCiphers[c.index].make();
        EXPECT_EQ(cipher->BlockSize(), c.block);
        EXPECT_EQ(cipher->KeySize(), c.key);
        EXPECT_EQ(cipher->UserSize(), c.user);
        EXPECT_EQ(cipher->Mode(), 0);
    }
}

}  // namespace
}  // namespace vesk
