#include "engine/codec/gost_cipher.h"

#include <array>
#include <cstring>

#include "engine/codec/byte_order.h"

namespace vesk {
namespace {

// S-box 1 (least significant nibble) to S-box 8.
constexpr std::uint8_t kSBox[8][16] = {
    {4, 10, 9, 2, 13, 8, 0, 14, 6, 11, 1, 12, 7, 15, 5, 3},
    {14, 11, 4, 12, 6, 13, 15, 10, 2, 3, 8, 1, 0, 7, 5, 9},
    {5, 8, 1, 13, 10, 3, 4, 2, 14, 15, 12, 7, 6, 0, 9, 11},
    {7, 13, 10, 1, 0, 8, 9, 15, 14, 4, 6, 12, 11, 2, 5, 3},
    {6, 12, 7, 1, 5, 15, 13, 8, 4, 10, 9, 14, 0, 3, 11, 2},
    {4, 11, 10, 0, 7, 2, 1, 13, 3, 6, 8, 5, 9, 12, 15, 14},
    {13, 11, 4, 1, 3, 15, 5, 9, 0, 10, 14, 7, 6, 8, 2, 12},
    {1, 15, 13, 0, 5, 7, 10, 4, 9, 2, 3, 14, 6, 11, 8, 12},
};

using Tables = std::array<std::array<std::uint32_t, 256>, 4>;

// The substitution and the rotation by 11 folded into one table per input byte.
constexpr Tables MakeTables() {
    Tables tables{};
    for (int t = 0; t < 4; ++t) {
        for (int b = 0; b < 256; ++b) {
            const std::uint32_t v =
                (std::uint32_t{kSBox[2 * t + 1][b >> 4]} << 4 | kSBox[2 * t][b & 15]) << (8 * t);
            tables[t][b] = v << 11 | v >> 21;
        }
    }
    return tables;
}

constexpr Tables kTables = MakeTables();

std::uint32_t F(std::uint32_t x) {
    return kTables[0][x & 0xFF] ^ kTables[1][x >> 8 & 0xFF] ^ kTables[2][x >> 16 & 0xFF] ^
           kTables[3][x >> 24];
}

// Runs 32 rounds with the key words in the given order (odd rounds change B, even ones A).
void Rounds(std::uint8_t* block, const std::uint32_t* key, const int (&order)[32]) {
    std::uint32_t a = codec::LoadLE32(block), b = codec::LoadLE32(block + 4);
    for (int j = 0; j < 32; j += 2) {
        b ^= F(a + key[order[j]]);
        a ^= F(b + key[order[j + 1]]);
    }
    codec::StoreLE32(block, b);
    codec::StoreLE32(block + 4, a);
}

constexpr int kEncodeOrder[32] = {0, 1, 2, 3, 4, 5, 6, 7, 0, 1, 2, 3, 4, 5, 6, 7,
                                  0, 1, 2, 3, 4, 5, 6, 7, 7, 6, 5, 4, 3, 2, 1, 0};
constexpr int kDecodeOrder[32] = {0, 1, 2, 3, 4, 5, 6, 7, 7, 6, 5, 4, 3, 2, 1, 0,
                                  7, 6, 5, 4, 3, 2, 1, 0, 7, 6, 5, 4, 3, 2, 1, 0};

}  // namespace

void TEnc_Gost::SetupKey(const std::uint8_t* Key, int Size) {
    std::uint8_t bytes[32] = {};
    if (Size > 0)
        std::memcpy(bytes, Key, static_cast<size_t>(Size));
    for (int i = 0; i < 8; ++i)
        UserWords()[i] = codec::LoadLE32(bytes + 4 * i);
    std::memset(bytes, 0, sizeof bytes);
}

void TEnc_Gost::Encode(std::uint8_t* Block) {
    Rounds(Block, UserWords(), kEncodeOrder);
}

void TEnc_Gost::Decode(std::uint8_t* Block) {
    Rounds(Block, UserWords(), kDecodeOrder);
}

}  // namespace vesk
