#pragma once
// Byte helpers shared by the codec tests.
#include <cstdint>
#include <random>
#include <vector>

namespace vesk::testing_bytes {

// n reproducible pseudo-random bytes.
inline std::vector<std::uint8_t> Random(size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<std::uint8_t> v(n);
    for (auto& b : v)
        b = static_cast<std::uint8_t>(rng());
    return v;
}

}  // namespace vesk::testing_bytes
