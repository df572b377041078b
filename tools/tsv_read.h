#pragma once
// Reading the TSV that `vesk dump` writes: lines split into cells, and cells unescaped.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vesktool {

// The text of a cell: \\ \t \r \n \0 become backslash, tab, CR, LF and the zero byte. nullopt
// for a backslash before any other character or at the end.
std::optional<std::string> UnescapeTsvText(std::string_view cell);

// The cells of one line (without its line end; a trailing CR is dropped).
std::vector<std::string> SplitTsvLine(std::string_view line);

}  // namespace vesktool
