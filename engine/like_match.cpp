#include "engine/like_match.h"

#include <cstdint>
#include <vector>

namespace vesk {

namespace {

constexpr char32_t kAnyRun = U'%';
constexpr char32_t kAnyOne = U'_';

// One code point per UTF-8 sequence; a byte that starts no valid sequence stands for itself
// in a range no code point uses, so two such bytes are equal only when they are the same byte.
std::vector<char32_t> DecodeCharacters(std::string_view text) {
    std::vector<char32_t> out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        size_t length = 0;
        char32_t code = 0;
        if (lead < 0x80) {
            length = 1;
            code = lead;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            code = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            code = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            code = lead & 0x07;
        }
        bool valid = length > 0 && i + length <= text.size();
        for (size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                valid = false;
            code = (code << 6) | (next & 0x3F);
        }
        // Overlong forms and surrogates are no characters.
        if (valid && ((length == 3 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) ||
                      (length == 4 && (code < 0x10000 || code > 0x10FFFF)))) {
            valid = false;
        }
        if (valid) {
            out.push_back(code);
            i += length;
        } else {
            out.push_back(0x110000 + lead);
            i += 1;
        }
    }
    return out;
}

char32_t FoldAscii(char32_t c) {
    return (c >= U'a' && c <= U'z') ? c - U'a' + U'A' : c;
}

}  // namespace

bool MatchLikePattern(std::string_view text, std::string_view pattern, bool caseSensitive) {
    const std::vector<char32_t> t = DecodeCharacters(text);
    std::vector<char32_t> p = DecodeCharacters(pattern);

    // A trailing run of two or more "%" matches only where at least one character is left
    // (each "%" but the last cannot start at the text's end); that is "_%" in place of the
    // run, after which ordinary matching applies.
    size_t run = 0;
    while (run < p.size() && p[p.size() - 1 - run] == kAnyRun)
        ++run;
    if (run >= 2) {
        p.resize(p.size() - run);
        p.push_back(kAnyOne);
        p.push_back(kAnyRun);
    }

    const auto equal = [caseSensitive](char32_t a, char32_t b) {
        return caseSensitive ? a == b : FoldAscii(a) == FoldAscii(b);
    };

    // Greedy matching that backtracks only to the last "%": a later "%" can absorb whatever
    // an earlier one would, so earlier choices never need revisiting.
    size_t i = 0;
    size_t j = 0;
    size_t starJ = SIZE_MAX;
    size_t starI = 0;
    while (i < t.size()) {
        if (j < p.size() && p[j] == kAnyRun) {
            starJ = j++;
            starI = i;
        } else if (j < p.size() && (p[j] == kAnyOne || equal(t[i], p[j]))) {
            ++i;
            ++j;
        } else if (starJ != SIZE_MAX) {
            j = starJ + 1;
            i = ++starI;
        } else {
            return false;
        }
    }
    // The text has ended: what is left of the pattern must be empty or one "%".
    return j == p.size() || (j + 1 == p.size() && p[j] == kAnyRun);
}

}  // namespace vesk
