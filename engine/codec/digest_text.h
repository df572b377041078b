#pragma once
// Digest texts. Both take a null Buffer as empty and a negative Size as "Buffer is a
// zero-terminated string".
#include <cstdint>
#include <string>

namespace vesk {

// Two upper-case hexadecimal digits per byte, high half first.
std::string BufferToHex(const void* Buffer, std::int64_t Size);

// The engine's own base-64 style text (the form kept in database files; not RFC 4648): per
// group of three bytes (the last completed with zeros) its four 6-bit digits up to the last
// non-zero one, an all-zero group giving nothing; then "==" when Size mod 3 is 1, "=" when 2.
std::string BufferToBase64(const void* Buffer, std::int64_t Size);

}  // namespace vesk
