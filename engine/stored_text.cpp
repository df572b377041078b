#include "engine/stored_text.h"

#include <cstring>

#include "engine/file_format.h"
#include "platform/os/utf8.h"

namespace vesk {

namespace {

std::string HexByte(unsigned char c) {
    static const char kDigits[] = "0123456789ABCDEF";
    return std::string("\\x") + kDigits[c >> 4] + kDigits[c & 0x0F];
}

bool IsControl(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

// fillsField: the text may take every byte of its field, with no zero byte after it (a text
// field holds at most its size in characters).
std::string TextProblem(const std::uint8_t* at, std::int32_t size, bool asciiOnly,
                        bool fillsField) {
    const auto* begin = reinterpret_cast<const char*>(at);
    const void* zero = std::memchr(begin, 0, static_cast<size_t>(size));
    if (zero == nullptr && !fillsField)
        return "has no terminating zero byte";
    const std::string_view text(begin,
                                zero ? static_cast<size_t>(static_cast<const char*>(zero) - begin)
                                     : static_cast<size_t>(size));
    if (text.empty())
        return "is empty";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (IsControl(byte) || (asciiOnly && (byte == ' ' || byte > 0x7E)))
            return "holds the byte " + HexByte(byte);
    }
    return {};
}

}  // namespace

std::string EscapeStoredText(std::string_view bytes) {
    std::string shown;
    shown.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c == '\\') {
            shown += "\\\\";
            ++i;
        } else if (c >= 0x20 && c < 0x7F) {
            shown += static_cast<char>(c);
            ++i;
        } else if (const size_t length = c >= 0x80 ? os::Utf8SequenceLength(bytes, i) : 0) {
            shown.append(bytes.substr(i, length));
            i += length;
        } else {
            shown += HexByte(c);
            ++i;
        }
    }
    return shown;
}

std::string QuotedStoredText(std::string_view bytes) {
    // Appended rather than joined with "+": the optimiser warns about the joined form falsely.
    std::string text = "'";
    text += EscapeStoredText(bytes);
    text += '\'';
    return text;
}

std::string StoredNameProblem(const std::uint8_t* at, std::int32_t size) {
    return TextProblem(at, size, false, true);
}

std::string StoredAlgorithmNameProblem(const std::uint8_t* at, std::int32_t size) {
    return TextProblem(at, size, true, false);
}

std::string NameProblem(std::string_view name) {
    // As stored: the name, then its zero byte, in a field one byte longer than the longest name.
    if (name.size() >= static_cast<size_t>(format::kNameSize))
        return "is longer than " + std::to_string(format::kNameSize - 1) + " bytes";
    if (name.find('\0') != std::string_view::npos)
        return "holds a zero byte";
    std::uint8_t stored[format::kNameSize] = {};
    std::memcpy(stored, name.data(), name.size());
    return StoredNameProblem(stored, format::kNameSize);
}

}  // namespace vesk
