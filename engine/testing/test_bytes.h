#pragma once
// Byte helpers shared by the engine's tests.
#include <cstdint>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
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

// The whole content of the file at path; empty when it cannot be read.
inline std::vector<std::uint8_t> FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace vesk::testing_bytes
