#include "tools/tsv_format.h"

#include <charconv>
#include <cmath>

namespace vesktool {

std::string EscapeTsvText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\0':
                out += "\\0";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string FormatBoolean(std::int64_t word) {
    return word != 0 ? "True" : "False";
}

std::string FormatDouble(double value) {
    // Plain digits for the magnitudes of dates, times and amounts; exponents only far out.
    const double magnitude = std::fabs(value);
    const bool plain = magnitude == 0 || (magnitude >= 1e-4 && magnitude < 1e21);
    char buffer[64];
    const auto result =
        plain ? std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed)
              : std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

}  // namespace vesktool
