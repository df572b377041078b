#pragma once
// Whole-file reads and writes and reproducible random content for transfer tests.
#include <cstddef>
#include <cstdint>
#include <string>

namespace ftptest {

// The file's bytes. Throws std::runtime_error when it cannot be read.
std::string ReadFileBytes(const std::string& path);
// Creates or replaces the file with `bytes`. Throws std::runtime_error on failure.
void WriteFileBytes(const std::string& path, const std::string& bytes);
// `size` pseudo-random bytes, the same for the same seed.
std::string RandomBytes(std::size_t size, std::uint32_t seed);

}  // namespace ftptest
