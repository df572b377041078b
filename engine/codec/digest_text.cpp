#include "engine/codec/digest_text.h"

#include <cstring>

namespace vesk {
namespace {

std::int64_t EffectiveSize(const void* buffer, std::int64_t size) {
    if (buffer == nullptr)
        return 0;
    if (size < 0)
        return static_cast<std::int64_t>(std::strlen(static_cast<const char*>(buffer)));
    return size;
}

}  // namespace

std::string BufferToHex(const void* Buffer, std::int64_t Size) {
    static const char kDigits[] = "0123456789ABCDEF";
    const std::int64_t size = EffectiveSize(Buffer, Size);
    const auto* bytes = static_cast<const std::uint8_t*>(Buffer);
    std::string text;
    text.reserve(static_cast<size_t>(size) * 2);
    for (std::int64_t i = 0; i < size; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 15];
    }
    return text;
}

std::string BufferToBase64(const void* Buffer, std::int64_t Size) {
    static const char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const std::int64_t size = EffectiveSize(Buffer, Size);
    const auto* bytes = static_cast<const std::uint8_t*>(Buffer);
    std::string text;
    for (std::int64_t at = 0; at < size; at += 3) {
        std::uint32_t group = 0;
        for (int i = 0; i < 3; ++i)
            group = group << 8 | (at + i < size ? bytes[at + i] : 0u);
        int digits[4];
        int last = -1;
        for (int i = 0; i < 4; ++i) {
            digits[i] = static_cast<int>(group >> (18 - 6 * i) & 63);
            if (digits[i] != 0)
                last = i;
        }
        for (int i = 0; i <= last; ++i)
            text += kAlphabet[digits[i]];
    }
    if (size % 3 == 1)
        text += "==";
    if (size % 3 == 2)
        text += "=";
    return text;
}

}  // namespace vesk
