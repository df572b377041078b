#pragma once
// 32-bit words in little- and big-endian byte order and rotations, as the digests and ciphers
// read and write them (independent of the machine's own order).
#include <cstdint>

namespace vesk::codec {

inline std::uint32_t LoadLE32(const std::uint8_t* p) {
    return p[0] | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}

inline std::uint32_t LoadBE32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

inline void StoreLE32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

inline void StoreBE32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

// n in 1..31.
inline std::uint32_t Rol32(std::uint32_t v, int n) {
    return v << n | v >> (32 - n);
}
inline std::uint32_t Ror32(std::uint32_t v, int n) {
    return v >> n | v << (32 - n);
}

}  // namespace vesk::codec
