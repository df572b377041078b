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
// `size` bytes that a text-mode transfer would change (CR, LF and NUL among letters), starting
// at a place in the pattern that `seed` picks: a binary transfer must keep them as they are.
std::string LineEndPayload(char seed, std::size_t size);
// Whether the file exists and holds `size` bytes: a transfer that is awaited has written it all.
bool HasFileSize(const std::string& path, std::size_t size);
// Whether `copy` exists and holds the same bytes as `original` (compared whole).
bool SameFileBytes(const std::string& copy, const std::string& original);

}  // namespace ftptest
