#include "platform/os/collation.h"

#include <algorithm>

namespace os {

char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string AsciiUpperText(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), AsciiUpper);
    return text;
}

int CompareAnsiText(std::string_view left, std::string_view right, bool caseInsensitive) {
    const size_t common = std::min(left.size(), right.size());
    int caseTieBreak = 0;  // decided by the first difference that folding hides
    for (size_t i = 0; i < common; ++i) {
        const auto a = static_cast<unsigned char>(AsciiLower(left[i]));
        const auto b = static_cast<unsigned char>(AsciiLower(right[i]));
        if (a != b)
            return a < b ? -1 : 1;
        if (caseTieBreak == 0 && left[i] != right[i]) {
            // Same letter in different case: lower case sorts first.
            caseTieBreak = (left[i] >= 'a' && left[i] <= 'z') ? -1 : 1;
        }
    }
    if (left.size() != right.size())
        return left.size() < right.size() ? -1 : 1;
    return caseInsensitive ? 0 : caseTieBreak;
}

}  // namespace os
