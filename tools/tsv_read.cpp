#include "tools/tsv_read.h"

namespace vesktool {

std::optional<std::string> UnescapeTsvText(std::string_view cell) {
    std::string out;
    out.reserve(cell.size());
    for (std::size_t i = 0; i < cell.size(); ++i) {
        if (cell[i] != '\\') {
            out += cell[i];
            continue;
        }
        if (++i == cell.size())
            return std::nullopt;
        switch (cell[i]) {
            case '\\':
                out += '\\';
                break;
            case 't':
                out += '\t';
                break;
            case 'r':
                out += '\r';
                break;
            case 'n':
                out += '\n';
                break;
            case '0':
                out += '\0';
                break;
            default:
                return std::nullopt;
        }
    }
    return out;
}

std::vector<std::string> SplitTsvLine(std::string_view line) {
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    std::vector<std::string> cells;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        cells.emplace_back(
            line.substr(start, tab == std::string_view::npos ? line.npos : tab - start));
        if (tab == std::string_view::npos)
            return cells;
        start = tab + 1;
    }
}

}  // namespace vesktool
