#include "engine/codec/twofish_core.h"

#include <array>
#include <cstring>

#include "engine/codec/byte_order.h"

namespace vesk::twofish {
namespace {

using Perm = std::array<std::uint8_t, 256>;

constexpr std::uint8_t Ror4(std::uint8_t x) {
    return static_cast<std::uint8_t>(((x >> 1) | (x << 3)) & 15);
}

// The fixed permutations q0 and q1, built from their four 4-bit tables each.
constexpr Perm MakeQ(const std::uint8_t (&t)[4][16]) {
    Perm q{};
    for (int x = 0; x < 256; ++x) {
        std::uint8_t a = static_cast<std::uint8_t>(x >> 4), b = static_cast<std::uint8_t>(x & 15);
        for (int stage = 0; stage < 2; ++stage) {
            const std::uint8_t a1 = a ^ b;
            const std::uint8_t b1 = static_cast<std::uint8_t>(a ^ Ror4(b) ^ ((8 * a) & 15));
            a = t[2 * stage][a1];
            b = t[2 * stage + 1][b1];
        }
        q[static_cast<size_t>(x)] = static_cast<std::uint8_t>(16 * b + a);
    }
    return q;
}

constexpr std::uint8_t kQ0Tables[4][16] = {
    {0x8, 0x1, 0x7, 0xD, 0x6, 0xF, 0x3, 0x2, 0x0, 0xB, 0x5, 0x9, 0xE, 0xC, 0xA, 0x4},
    {0xE, 0xC, 0xB, 0x8, 0x1, 0x2, 0x3, 0x5, 0xF, 0x4, 0xA, 0x6, 0x7, 0x0, 0x9, 0xD},
    {0xB, 0xA, 0x5, 0xE, 0x6, 0xD, 0x9, 0x0, 0xC, 0x8, 0xF, 0x3, 0x2, 0x4, 0x7, 0x1},
    {0xD, 0x7, 0xF, 0x4, 0x1, 0x2, 0x6, 0xE, 0x9, 0xB, 0x3, 0x0, 0x8, 0x5, 0xC, 0xA}};
constexpr std::uint8_t kQ1Tables[4][16] = {
    {0x2, 0x8, 0xB, 0xD, 0xF, 0x7, 0x6, 0xE, 0x3, 0x1, 0x9, 0x4, 0x0, 0xA, 0xC, 0x5},
    {0x1, 0xE, 0x2, 0xB, 0x4, 0xC, 0x3, 0x7, 0x6, 0xD, 0xA, 0x5, 0xF, 0x9, 0x0, 0x8},
    {0x4, 0xC, 0x7, 0x5, 0x1, 0x6, 0x9, 0xA, 0x0, 0xE, 0xD, 0x8, 0x2, 0xB, 0x3, 0xF},
    {0xB, 0x9, 0x5, 0x1, 0xC, 0x3, 0xD, 0xE, 0x6, 0x4, 0x7, 0xF, 0x2, 0x0, 0x8, 0xA}};

constexpr Perm kQ0 = MakeQ(kQ0Tables);
constexpr Perm kQ1 = MakeQ(kQ1Tables);

// Multiplication in GF(2^8) modulo the given polynomial.
constexpr std::uint8_t GfMul(std::uint8_t a, std::uint8_t b, unsigned poly) {
    unsigned result = 0, x = a;
    for (; b != 0; b >>= 1) {
        if (b & 1)
            result ^= x;
        x <<= 1;
        if (x & 0x100)
            x ^= poly;
    }
    return static_cast<std::uint8_t>(result);
}

constexpr unsigned kMdsPoly = 0x169;
constexpr unsigned kRsPoly = 0x14D;

constexpr std::uint8_t kMds[4][4] = {{0x01, 0xEF, 0x5B, 0x5B},
                                     {0x5B, 0xEF, 0xEF, 0x01},
                                     {0xEF, 0x5B, 0x01, 0xEF},
                                     {0xEF, 0x01, 0xEF, 0x5B}};

constexpr std::uint8_t kRs[4][8] = {{0x01, 0xA4, 0x55, 0x87, 0x5A, 0x58, 0xDB, 0x9E},
                                    {0xA4, 0x56, 0x82, 0xF3, 0x1E, 0xC6, 0x68, 0xE5},
                                    {0x02, 0xA1, 0xFC, 0xC1, 0x47, 0xAE, 0x3D, 0x19},
                                    {0xA4, 0x55, 0x87, 0x5A, 0x58, 0xDB, 0x9E, 0x03}};

// Column j of the MDS matrix times byte y, as a little-endian word.
std::uint32_t MdsColumn(int j, std::uint8_t y) {
    std::uint32_t z = 0;
    for (int i = 0; i < 4; ++i)
        z |= std::uint32_t{GfMul(kMds[i][j], y, kMdsPoly)} << (8 * i);
    return z;
}

std::uint8_t ByteOf(std::uint32_t w, int i) {
    return static_cast<std::uint8_t>(w >> (8 * i));
}

// The S-box chain of h for byte position j of the input, with key list l of k words.
std::uint8_t Chain(int j, std::uint8_t y, const std::uint32_t* l, int k) {
    static const Perm* const kStage4[4] = {&kQ1, &kQ0, &kQ0, &kQ1};
    static const Perm* const kStage3[4] = {&kQ1, &kQ1, &kQ0, &kQ0};
    static const Perm* const kStage2[4] = {&kQ0, &kQ1, &kQ0, &kQ1};
    static const Perm* const kStage1[4] = {&kQ0, &kQ0, &kQ1, &kQ1};
    static const Perm* const kStage0[4] = {&kQ1, &kQ0, &kQ1, &kQ0};
    if (k == 4)
        y = (*kStage4[j])[y] ^ ByteOf(l[3], j);
    if (k >= 3)
        y = (*kStage3[j])[y] ^ ByteOf(l[2], j);
    y = (*kStage2[j])[y] ^ ByteOf(l[1], j);
    y = (*kStage1[j])[y] ^ ByteOf(l[0], j);
    return (*kStage0[j])[y];
}

std::uint32_t H(std::uint32_t x, const std::uint32_t* l, int k) {
    std::uint32_t z = 0;
    for (int j = 0; j < 4; ++j)
        z ^= MdsColumn(j, Chain(j, ByteOf(x, j), l, k));
    return z;
}

// The Reed-Solomon code of eight key bytes.
std::uint32_t RsCode(const std::uint8_t* m) {
    std::uint32_t s = 0;
    for (int i = 0; i < 4; ++i) {
        std::uint8_t v = 0;
        for (int j = 0; j < 8; ++j)
            v ^= GfMul(kRs[i][j], m[j], kRsPoly);
        s |= std::uint32_t{v} << (8 * i);
    }
    return s;
}

struct Shape {
    int cycles;
    int step;  // subkey words a cycle advances
};

Shape ShapeOf(Variant variant) {
    return variant == Variant::Engine ? Shape{15, 2} : Shape{8, 4};
}

std::uint32_t G(const std::uint32_t* tables, std::uint32_t x) {
    return tables[x & 0xFF] ^ tables[256 + (x >> 8 & 0xFF)] ^ tables[512 + (x >> 16 & 0xFF)] ^
           tables[768 + (x >> 24)];
}

}  // namespace

void SetupKey(const std::uint8_t* key, int size, Variant variant, std::uint32_t* schedule) {
    std::uint8_t bytes[32] = {};
    if (size > 32)
        size = 32;
    if (size > 0)
        std::memcpy(bytes, key, static_cast<size_t>(size));
    const int length = size <= 16 ? 16 : size <= 24 ? 24 : 32;
    const int k = length / 8;
    std::uint32_t even[4] = {}, odd[4] = {}, sbox[4] = {};
    for (int i = 0; i < k; ++i) {
        even[i] = codec::LoadLE32(bytes + 8 * i);
        odd[i] = codec::LoadLE32(bytes + 8 * i + 4);
        sbox[k - 1 - i] = RsCode(bytes + 8 * i);
    }
    constexpr std::uint32_t kRho = 0x01010101u;
    std::uint32_t* subkeys = schedule;
    for (std::uint32_t i = 0; i < 20; ++i) {
        const std::uint32_t a = H(2 * i * kRho, even, k);
        const std::uint32_t b = codec::Rol32(H((2 * i + 1) * kRho, odd, k), 8);
        subkeys[2 * i] = a + b;
        subkeys[2 * i + 1] = codec::Rol32(a + (variant == Variant::Engine ? b >> 1 : 2 * b), 9);
    }
    std::uint32_t* tables = schedule + 40;
    for (int j = 0; j < 4; ++j)
        for (int x = 0; x < 256; ++x)
            tables[256 * j + x] = MdsColumn(j, Chain(j, static_cast<std::uint8_t>(x), sbox, k));
    std::memset(bytes, 0, sizeof bytes);
    std::memset(even, 0, sizeof even);
    std::memset(odd, 0, sizeof odd);
    std::memset(sbox, 0, sizeof sbox);
}

void Encrypt(const std::uint32_t* schedule, Variant variant, std::uint8_t* block) {
    const std::uint32_t* key = schedule;
    const std::uint32_t* tables = schedule + 40;
    std::uint32_t r0 = codec::LoadLE32(block) ^ key[0], r1 = codec::LoadLE32(block + 4) ^ key[1];
    std::uint32_t r2 = codec::LoadLE32(block + 8) ^ key[2],
                  r3 = codec::LoadLE32(block + 12) ^ key[3];
    const Shape shape = ShapeOf(variant);
    for (int c = 0; c < shape.cycles; ++c) {
        const int j = 8 + shape.step * c;
        std::uint32_t t0 = G(tables, r0), t1 = G(tables, codec::Rol32(r1, 8));
        r2 = codec::Ror32(r2 ^ (t0 + t1 + key[j]), 1);
        r3 = codec::Rol32(r3, 1) ^ (t0 + 2 * t1 + key[j + 1]);
        t0 = G(tables, r2);
        t1 = G(tables, codec::Rol32(r3, 8));
        r0 = codec::Ror32(r0 ^ (t0 + t1 + key[j + 2]), 1);
        r1 = codec::Rol32(r1, 1) ^ (t0 + 2 * t1 + key[j + 3]);
    }
    codec::StoreLE32(block, r2 ^ key[4]);
    codec::StoreLE32(block + 4, r3 ^ key[5]);
    codec::StoreLE32(block + 8, r0 ^ key[6]);
    codec::StoreLE32(block + 12, r1 ^ key[7]);
}

void Decrypt(const std::uint32_t* schedule, Variant variant, std::uint8_t* block) {
    const std::uint32_t* key = schedule;
    const std::uint32_t* tables = schedule + 40;
    std::uint32_t y0 = codec::LoadLE32(block) ^ key[4], y1 = codec::LoadLE32(block + 4) ^ key[5];
    std::uint32_t y2 = codec::LoadLE32(block + 8) ^ key[6],
                  y3 = codec::LoadLE32(block + 12) ^ key[7];
    const Shape shape = ShapeOf(variant);
    for (int c = 0; c < shape.cycles; ++c) {
        const int j = 39 - shape.step * c;
        std::uint32_t t0 = G(tables, y0), t1 = G(tables, codec::Rol32(y1, 8));
        y2 = codec::Rol32(y2, 1) ^ (t0 + t1 + key[j - 1]);
        y3 = codec::Ror32(y3 ^ (t0 + 2 * t1 + key[j]), 1);
        t0 = G(tables, y2);
        t1 = G(tables, codec::Rol32(y3, 8));
        y0 = codec::Rol32(y0, 1) ^ (t0 + t1 + key[j - 3]);
        y1 = codec::Ror32(y1 ^ (t0 + 2 * t1 + key[j - 2]), 1);
    }
    codec::StoreLE32(block, y2 ^ key[0]);
    codec::StoreLE32(block + 4, y3 ^ key[1]);
    codec::StoreLE32(block + 8, y0 ^ key[2]);
    codec::StoreLE32(block + 12, y1 ^ key[3]);
}

}  // namespace vesk::twofish
