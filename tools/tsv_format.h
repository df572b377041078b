#pragma once
// How `vesk dump` writes values: one TSV cell per value, so a cell never holds a tab or a
// line break of its own.
#include <cstdint>
#include <string>
#include <string_view>

namespace vesktool {

// Text as stored, with backslash, tab, CR, LF and the zero byte written as \\ \t \r \n \0.
std::string EscapeTsvText(std::string_view text);

// "True" for any non-zero word, "False" for 0 (the stored boolean is a 16-bit word).
std::string FormatBoolean(std::int64_t word);

// The shortest decimal text that reads back as the same double, in plain digits from 1e-4
// to below 1e21 and with an exponent beyond.
std::string FormatDouble(double value);

}  // namespace vesktool
