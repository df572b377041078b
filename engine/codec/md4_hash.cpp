#include "engine/codec/md4_hash.h"

#include <cstring>

#include "engine/codec/byte_order.h"

namespace vesk {

THash_MD4::~THash_MD4() {
    std::memset(digest_, 0, sizeof digest_);
    std::memset(state_, 0, sizeof state_);
    std::memset(buffer_, 0, sizeof buffer_);
}

void THash_MD4::Init() {
    std::memset(buffer_, 0, sizeof buffer_);
    std::memset(state_, 0, sizeof state_);
    std::memset(digest_, 0, sizeof digest_);
    count_ = 0;
    state_[0] = 0x67452301u;
    state_[1] = 0xEFCDAB89u;
    state_[2] = 0x98BADCFEu;
    state_[3] = 0x10325476u;
    state_[4] = 0xC3D2E1F0u;
}

void THash_MD4::Calc(const void* Data, std::int64_t Size) {
    if (Data == nullptr || Size <= 0)
        return;
    const auto* data = static_cast<const std::uint8_t*>(Data);
    const auto size = static_cast<std::uint64_t>(Size);
    const std::uint64_t fill = count_ % 64;
    count_ += size;
    std::uint64_t at = 0;
    if (fill > 0) {
        if (size < 64 - fill) {
            std::memcpy(buffer_ + fill, data, size);
            return;
        }
        std::memcpy(buffer_ + fill, data, 64 - fill);
        Transform(buffer_);
        at = 64 - fill;
    }
    for (; size - at >= 64; at += 64)
        Transform(data + at);
    std::memcpy(buffer_, data + at, size - at);
}

// The length field holds the full 64-bit bit count, so long messages get their standard
// digest too (for every message under 512 MiB it equals a 32-bit count).
void THash_MD4::Finish(bool bigEndianLength) {
    const std::uint64_t fill = count_ % 64;
    buffer_[fill] = 0x80;
    std::memset(buffer_ + fill + 1, 0, 63 - fill);
    if (fill + 1 > 56) {
        Transform(buffer_);
        std::memset(buffer_, 0, sizeof buffer_);
    }
    const std::uint64_t bits = count_ * 8;
    for (int i = 0; i < 8; ++i) {
        const auto byte = static_cast<std::uint8_t>(bits >> (8 * i));
        buffer_[bigEndianLength ? 63 - i : 56 + i] = byte;
    }
    Transform(buffer_);
    std::memset(buffer_, 0, sizeof buffer_);
}

void THash_MD4::Done() {
    Finish(false);
    for (int i = 0; i < 4; ++i)
        codec::StoreLE32(digest_ + 4 * i, state_[i]);
}

void THash_MD4::Transform(const std::uint8_t* Block) {
    std::uint32_t x[16];
    for (int i = 0; i < 16; ++i)
        x[i] = codec::LoadLE32(Block + 4 * i);
    std::uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3];
    auto step = [](std::uint32_t& w, std::uint32_t f, std::uint32_t m, int s) {
        w = codec::Rol32(w + f + m, s);
    };
    static const int kS1[4] = {3, 7, 11, 19};
    for (int i = 0; i < 16; i += 4) {
        step(a, (b & c) | (~b & d), x[i], kS1[0]);
        step(d, (a & b) | (~a & c), x[i + 1], kS1[1]);
        step(c, (d & a) | (~d & b), x[i + 2], kS1[2]);
        step(b, (c & d) | (~c & a), x[i + 3], kS1[3]);
    }
    auto g = [](std::uint32_t u, std::uint32_t v, std::uint32_t w) {
        return (u & v) | (u & w) | (v & w);
    };
    static const int kS2[4] = {3, 5, 9, 13};
    for (int i = 0; i < 4; ++i) {
        step(a, g(b, c, d), x[i] + 0x5A827999u, kS2[0]);
        step(d, g(a, b, c), x[i + 4] + 0x5A827999u, kS2[1]);
        step(c, g(d, a, b), x[i + 8] + 0x5A827999u, kS2[2]);
        step(b, g(c, d, a), x[i + 12] + 0x5A827999u, kS2[3]);
    }
    static const int kOrder3[4] = {0, 2, 1, 3};
    static const int kS3[4] = {3, 9, 11, 15};
    for (int k : kOrder3) {
        step(a, b ^ c ^ d, x[k] + 0x6ED9EBA1u, kS3[0]);
        step(d, a ^ b ^ c, x[k + 8] + 0x6ED9EBA1u, kS3[1]);
        step(c, d ^ a ^ b, x[k + 4] + 0x6ED9EBA1u, kS3[2]);
        step(b, c ^ d ^ a, x[k + 12] + 0x6ED9EBA1u, kS3[3]);
    }
    state_[0] += a;
    state_[1] += b;
    state_[2] += c;
    state_[3] += d;
    std::memset(x, 0, sizeof x);
}

void THash_RipeMD160::Done() {
    Finish(false);
    for (int i = 0; i < 5; ++i)
        codec::StoreLE32(digest_ + 4 * i, state_[i]);
}

void THash_RipeMD160::Transform(const std::uint8_t* Block) {
    static const int kR[80] = {0, 1,  2,  3,  4,  5,  6,  7,  8,  9, 10, 11, 12, 13, 14, 15,
                               7, 4,  13, 1,  10, 6,  15, 3,  12, 0, 9,  5,  2,  14, 11, 8,
                               3, 10, 14, 4,  9,  15, 8,  1,  2,  7, 0,  6,  13, 11, 5,  12,
                               1, 9,  11, 10, 0,  8,  12, 4,  13, 3, 7,  15, 14, 5,  6,  2,
                               4, 0,  5,  9,  7,  12, 2,  10, 14, 1, 3,  8,  11, 6,  15, 13};
    static const int kRr[80] = {5,  14, 7,  0, 9, 2,  11, 4,  13, 6,  15, 8,  1,  10, 3,  12,
                                6,  11, 3,  7, 0, 13, 5,  10, 14, 15, 8,  12, 4,  9,  1,  2,
                                15, 5,  1,  3, 7, 14, 6,  9,  11, 8,  12, 2,  10, 0,  4,  13,
                                8,  6,  4,  1, 3, 11, 15, 0,  5,  12, 2,  13, 9,  7,  10, 14,
                                12, 15, 10, 4, 1, 5,  8,  7,  6,  2,  13, 14, 0,  3,  9,  11};
    static const int kS[80] = {11, 14, 15, 12, 5,  8,  7,  9,  11, 13, 14, 15, 6,  7,  9,  8,
                               7,  6,  8,  13, 11, 9,  7,  15, 7,  12, 15, 9,  11, 7,  13, 12,
                               11, 13, 6,  7,  14, 9,  13, 15, 14, 8,  13, 6,  5,  12, 7,  5,
                               11, 12, 14, 15, 14, 15, 9,  8,  9,  14, 5,  6,  8,  6,  5,  12,
                               9,  15, 5,  11, 6,  8,  13, 12, 5,  12, 13, 14, 11, 8,  5,  6};
    static const int kSr[80] = {8,  9,  9,  11, 13, 15, 15, 5,  7,  7,  8,  11, 14, 14, 12, 6,
                                9,  13, 15, 7,  12, 8,  9,  11, 7,  7,  12, 7,  6,  15, 13, 11,
                                9,  7,  15, 11, 8,  6,  6,  14, 12, 13, 5,  14, 13, 13, 7,  5,
                                15, 5,  8,  11, 14, 14, 6,  14, 6,  9,  12, 9,  12, 5,  15, 8,
                                8,  5,  12, 9,  12, 5,  14, 6,  8,  13, 6,  5,  15, 13, 11, 11};
    static const std::uint32_t kK[5] = {0, 0x5A827999u, 0x6ED9EBA1u, 0x8F1BBCDCu, 0xA953FD4Eu};
    static const std::uint32_t kKr[5] = {0x50A28BE6u, 0x5C4DD124u, 0x6D703EF3u, 0x7A6D76E9u, 0};
    auto f = [](int round, std::uint32_t x, std::uint32_t y, std::uint32_t z) -> std::uint32_t {
        switch (round) {
            case 0:
                return x ^ y ^ z;
            case 1:
                return (x & y) | (~x & z);
            case 2:
                return (x | ~y) ^ z;
            case 3:
                return (x & z) | (y & ~z);
            default:
                return x ^ (y | ~z);
        }
    };
    std::uint32_t x[16];
    for (int i = 0; i < 16; ++i)
        x[i] = codec::LoadLE32(Block + 4 * i);
    std::uint32_t al = state_[0], bl = state_[1], cl = state_[2], dl = state_[3], el = state_[4];
    std::uint32_t ar = al, br = bl, cr = cl, dr = dl, er = el;
    for (int j = 0; j < 80; ++j) {
        const int round = j / 16;
        std::uint32_t t =
            codec::Rol32(al + f(round, bl, cl, dl) + x[kR[j]] + kK[round], kS[j]) + el;
        al = el;
        el = dl;
        dl = codec::Rol32(cl, 10);
        cl = bl;
        bl = t;
        t = codec::Rol32(ar + f(4 - round, br, cr, dr) + x[kRr[j]] + kKr[round], kSr[j]) + er;
        ar = er;
        er = dr;
        dr = codec::Rol32(cr, 10);
        cr = br;
        br = t;
    }
    const std::uint32_t t = state_[1] + cl + dr;
    state_[1] = state_[2] + dl + er;
    state_[2] = state_[3] + el + ar;
    state_[3] = state_[4] + al + br;
    state_[4] = state_[0] + bl + cr;
    state_[0] = t;
    std::memset(x, 0, sizeof x);
}

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
