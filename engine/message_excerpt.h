#pragma once
// A piece of a user's text (a filter's token, a name typed) as a message quotes it: short
// enough to read, and every byte that is no character shown as an escape.
#include <cstddef>
#include <string>
#include <string_view>

namespace vesk {

// How many characters of a text a message quotes before it cuts the rest.
inline constexpr std::size_t kMessageExcerptLength = 60;

// The first kMessageExcerptLength characters of text escaped as EscapeStoredText does (a
// well-formed UTF-8 character counts once, every other byte once), followed by "..." when
// the text goes on. Never throws but std::bad_alloc.
std::string MessageExcerpt(std::string_view text);

}  // namespace vesk
