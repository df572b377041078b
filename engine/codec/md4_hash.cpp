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

}  // namespace vesk
