#include "platform/ftp/announced_size.h"

#include <cctype>
#include <string>
#include <string_view>

namespace ftp {

namespace {

// The count of one "(N bytes)" that begins at `open` in `text`, or -1.
std::int64_t CountAt(std::string_view text, std::size_t open) {
    std::size_t at = open + 1;
    std::int64_t value = 0;
    std::size_t digits = 0;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) {
        if (++digits > 18)
            return -1;
        value = value * 10 + (text[at] - '0');
        ++at;
    }
    if (digits == 0 || at >= text.size() || text[at] != ' ')
        return -1;
    std::string word;
    for (++at; at < text.size() && std::isalpha(static_cast<unsigned char>(text[at])); ++at)
        word += static_cast<char>(std::tolower(static_cast<unsigned char>(text[at])));
    if ((word != "bytes" && word != "byte") || at >= text.size() || text[at] != ')')
        return -1;
    return value;
}

}  // namespace

std::int64_t AnnouncedSize(const TIdRFCReply& reply) {
    for (auto line = reply.Text.rbegin(); line != reply.Text.rend(); ++line) {
        const std::string_view text(*line);
        for (std::size_t open = text.rfind('('); open != std::string_view::npos;
             open = open == 0 ? std::string_view::npos : text.rfind('(', open - 1)) {
            const std::int64_t count = CountAt(text, open);
            if (count >= 0)
                return count;
        }
    }
    return -1;
}

}  // namespace ftp
