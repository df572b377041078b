#include "platform/os/utf8.h"

namespace os {

std::size_t Utf8SequenceLength(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    // The allowed range of the second byte narrows for the leads where the plain range would
    // let overlong forms, surrogates or code points past U+10FFFF through.
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (at + length > text.size())
        return 0;
    if (byte(at + 1) < low || byte(at + 1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF)
            return 0;
    }
    return length;
}

std::string_view CutUtf8(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes)
        return text;
    // Only a character that starts in the last three bytes before the limit can cross it, and
    // at most one does (the bytes after its lead are its continuation bytes, never leads).
    for (std::size_t at = maxBytes >= 3 ? maxBytes - 3 : 0; at < maxBytes; ++at) {
        const std::size_t length = Utf8SequenceLength(text, at);
        if (length > 0 && at + length > maxBytes)
            return text.substr(0, at);
    }
    return text.substr(0, maxBytes);
}

}  // namespace os
