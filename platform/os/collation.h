#pragma once
// The one text order of the program: stored index keys, Locate and the remote list's sort
// all use it, so it must never depend on the environment's locale.
//
// Texts are compared byte by byte with the ASCII letters folded to lower case; bytes of
// 128 and above compare by value. When the folded texts are equal, a case-sensitive
// comparison is decided at the first position that folding hid: the lower-case letter
// sorts first ('a' < 'B' < 'b'). A shorter text that is a prefix of the longer sorts first.
#include <string>
#include <string_view>

namespace os {

// -1, 0 or 1. Never throws.
int CompareAnsiText(std::string_view left, std::string_view right, bool caseInsensitive);

// The ASCII letter folding used above (a to z become A to Z; nothing else changes).
char AsciiUpper(char c);
char AsciiLower(char c);
// `text` with AsciiUpper applied to every character.
std::string AsciiUpperText(std::string text);

}  // namespace os
