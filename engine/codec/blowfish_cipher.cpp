#include "engine/codec/blowfish_cipher.h"

#include <cstring>

#include <utility>
#include "engine/codec/byte_order.h"

#include "engine/codec/blowfish_tables.h"
#include "engine/codec/encrypt_exception.h"

namespace vesk {
namespace {

constexpr int kSBoxWords = 4 * 256;

}  // namespace

std::uint32_t TEnc_Blowfish::F(std::uint32_t x) const {
    const std::uint32_t* s = UserWords();
    return ((s[x >> 24] + s[256 + (x >> 16 & 0xFF)]) ^ s[512 + (x >> 8 & 0xFF)]) +
           s[768 + (x & 0xFF)];
}

void TEnc_Blowfish::EncodeHalves(std::uint32_t& left, std::uint32_t& right) const {
    const std::uint32_t* p = UserWords() + kSBoxWords;
    for (int i = 0; i < 16; ++i) {
        left ^= p[i];
        right ^= F(left);
        std::swap(left, right);
    }
    std::swap(left, right);
    right ^= p[16];
    left ^= p[17];
}

void TEnc_Blowfish::Encode(std::uint8_t* Block) {
    std::uint32_t left = codec::LoadBE32(Block), right = codec::LoadBE32(Block + 4);
    EncodeHalves(left, right);
    codec::StoreBE32(Block, left);
    codec::StoreBE32(Block + 4, right);
}

void TEnc_Blowfish::Decode(std::uint8_t* Block) {
    const std::uint32_t* p = UserWords() + kSBoxWords;
    std::uint32_t left = codec::LoadBE32(Block), right = codec::LoadBE32(Block + 4);
    for (int i = 17; i > 1; --i) {
        left ^= p[i];
        right ^= F(left);
        std::swap(left, right);
    }
    std::swap(left, right);
    right ^= p[1];
    left ^= p[0];
    codec::StoreBE32(Block, left);
    codec::StoreBE32(Block + 4, right);
}

void TEnc_Blowfish::SetupKey(const std::uint8_t* Key, int Size) {
    // The key repeats cyclically, so an empty one would divide by zero.
    if (Size <= 0)
        throw EEncryptException("TEnc_Blowfish needs a key of at least one byte.",
                                EEncryptException::kInvalidKey);
    std::uint32_t* s = UserWords();
    std::uint32_t* p = s + kSBoxWords;
    std::memcpy(s, blowfish::kInitialS, sizeof blowfish::kInitialS);
    std::memcpy(p, blowfish::kInitialP, sizeof blowfish::kInitialP);
    int at = 0;
    for (int i = 0; i < 18; ++i) {
        std::uint32_t word = 0;
        for (int b = 0; b < 4; ++b) {
            word = word << 8 | Key[at];
            at = (at + 1) % Size;
        }
        p[i] ^= word;
    }
    std::uint32_t left = 0, right = 0;
    for (int i = 0; i < 18; i += 2) {
        EncodeHalves(left, right);
        p[i] = left;
        p[i + 1] = right;
    }
    for (int i = 0; i < kSBoxWords; i += 2) {
        EncodeHalves(left, right);
        s[i] = left;
        s[i + 1] = right;
    }
}

}  // namespace vesk
