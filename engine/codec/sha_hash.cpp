#include "engine/codec/sha_hash.h"

#include <cstring>

#include "engine/codec/byte_order.h"

namespace vesk {

void THash_SHA::Done() {
    Finish(true);
    for (int i = 0; i < 5; ++i)
        codec::StoreBE32(digest_ + 4 * i, state_[i]);
}

void THash_SHA::Transform(const std::uint8_t* Block) {
    std::uint32_t w[80];
    for (int t = 0; t < 16; ++t)
        w[t] = codec::LoadBE32(Block + 4 * t);
    // SHA-0: the expansion has no rotation (SHA-1 rotates it left by one bit).
    for (int t = 16; t < 80; ++t)
        w[t] = w[t - 3] ^ w[t - 8] ^ w[t - 14] ^ w[t - 16];
    std::uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3], e = state_[4];
    for (int t = 0; t < 80; ++t) {
        std::uint32_t f, k;
        if (t < 20) {
            f = (b & c) | (~b & d);
            k = 0x5A827999u;
        } else if (t < 40) {
            f = b ^ c ^ d;
            k = 0x6ED9EBA1u;
        } else if (t < 60) {
            f = (b & c) | (b & d) | (c & d);
            k = 0x8F1BBCDCu;
        } else {
            f = b ^ c ^ d;
            k = 0xCA62C1D6u;
        }
        const std::uint32_t temp = codec::Rol32(a, 5) + f + e + k + w[t];
        e = d;
        d = c;
        c = codec::Rol32(b, 30);
        b = a;
        a = temp;
    }
    state_[0] += a;
    state_[1] += b;
    state_[2] += c;
    state_[3] += d;
    state_[4] += e;
    std::memset(w, 0, sizeof w);
}

}  // namespace vesk
