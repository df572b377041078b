#include "engine/codec/checksum_hash.h"

#include <array>
#include <cstring>

#include "engine/codec/byte_order.h"

namespace vesk {
namespace {

constexpr std::array<std::uint32_t, 256> MakeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t v = i;
        for (int bit = 0; bit < 8; ++bit)
            v = (v & 1) ? (v >> 1) ^ 0xEDB88320u : v >> 1;
        table[i] = v;
    }
    return table;
}

constexpr std::array<std::uint32_t, 256> kCrcTable = MakeCrcTable();

}  // namespace

THash_XOR32::~THash_XOR32() {
    value_ = 0;
    std::memset(digest_, 0, sizeof digest_);
}

void THash_XOR32::Init() {
    value_ = 0;
}

void THash_XOR32::Calc(const void* Data, std::int64_t Size) {
    if (Data == nullptr || Size <= 0)
        return;
    const auto* bytes = static_cast<const std::uint8_t*>(Data);
    std::int64_t at = 0;
    if (Size % 2 != 0) {
        // The lone second byte of a one-byte message lies outside the data: it counts as zero.
        const std::uint32_t second = Size > 1 ? bytes[1] : 0u;
        value_ ^= bytes[0] | second << 8;
        at = 1;
    }
    for (std::int64_t word = 0; word < Size / 2; ++word, at += 2) {
        value_ = codec::Rol32(value_, 5);
        value_ ^= bytes[at] | std::uint32_t{bytes[at + 1]} << 8;
    }
}

std::uint8_t* THash_XOR32::DigestKey() {
    for (int i = 0; i < 4; ++i)
        digest_[i] = static_cast<std::uint8_t>(value_ >> (8 * i));
    return digest_;
}

void THash_CRC32::Init() {
    value_ = 0xFFFFFFFFu;
}

void THash_CRC32::Calc(const void* Data, std::int64_t Size) {
    if (Data == nullptr || Size <= 0)
        return;
    const auto* bytes = static_cast<const std::uint8_t*>(Data);
    for (std::int64_t i = 0; i < Size; ++i)
        value_ = (value_ >> 8) ^ kCrcTable[(value_ ^ bytes[i]) & 0xFF];
}

void THash_CRC32::Done() {
    value_ = ~value_;
}

std::uint32_t CalcCRC32(const void* Buffer, std::int64_t Size) {
    std::uint8_t digest[4] = {};
    THash::CalcBuffer(&THash_CRC32::New, digest, Buffer, Size);
    return digest[0] | std::uint32_t{digest[1]} << 8 | std::uint32_t{digest[2]} << 16 |
           std::uint32_t{digest[3]} << 24;
}

}  // namespace vesk
