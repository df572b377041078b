#pragma once
// UTF-8 as the program's texts are: bytes that may or may not form well-formed characters
// (names from servers and damaged files can hold anything).
#include <cstddef>
#include <string_view>

namespace os {

// The length (2 to 4) of the well-formed multi-byte UTF-8 character that starts at
// text[at], or 0 when none starts there (an ASCII byte, a stray continuation byte, an
// overlong form, a surrogate, a code point above U+10FFFF, or a character cut by the end).
// `at` must be below text.size(). Never throws.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t at);

// The longest start of `text` of at most `maxBytes` bytes that ends on no well-formed UTF-8
// character's inside: a character that would cross the limit is left out whole. Bytes that
// form no character are cut at the limit itself. The view points into `text`. Never throws.
std::string_view CutUtf8(std::string_view text, std::size_t maxBytes);

}  // namespace os
