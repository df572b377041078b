#pragma once
// The LIKE matcher: "%" matches any run of characters, also none, "_" exactly one character;
// characters are those of the texts' encoding (UTF-8; a byte that is no valid UTF-8 counts as
// one character of its own). Without caseSensitive the letters a to z equal A to Z.
//
// At the end of the text only what is left of the pattern decides: nothing, or one single
// "%", matches; so 'ab' LIKE 'ab%%' is false while 'abc' LIKE 'ab%%' is true.
//
// Iterative (no recursion per character) and O(text × pattern) at worst. Never throws
// except std::bad_alloc.
#include <string_view>

namespace vesk {

bool MatchLikePattern(std::string_view text, std::string_view pattern, bool caseSensitive);

}  // namespace vesk
