#include "platform/ui/help_markup.h"

namespace ui {

namespace {

std::string_view TrimRight(std::string_view line) {
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\r'))
        line.remove_suffix(1);
    return line;
}

// Splits a block's joined text into plain and linked spans.
void AddSpans(HelpBlock& block, std::string_view text, int line,
              std::vector<std::string>& problems) {
    auto plain = [&](std::string_view part) {
        if (part.empty())
            return;
        if (!block.spans.empty() && block.spans.back().link.empty())
            block.spans.back().text += part;
        else
            block.spans.push_back({std::string(part), ""});
    };
    for (;;) {
        const std::size_t open = text.find("[[");
        if (open == std::string_view::npos)
            break;
        const std::size_t close = text.find("]]", open + 2);
        if (close == std::string_view::npos) {
            problems.push_back("line " + std::to_string(line) + ": \"[[\" is not closed by \"]]\"");
            break;
        }
        plain(text.substr(0, open));
        const std::string_view inner = text.substr(open + 2, close - open - 2);
        const std::size_t bar = inner.find('|');
        const std::string_view context = inner.substr(0, bar);
        const std::string_view words =
            bar == std::string_view::npos ? context : inner.substr(bar + 1);
        if (context.empty() || words.empty()) {
            problems.push_back("line " + std::to_string(line) + ": the link \"[[" +
                               std::string(inner) + "]]\" lacks its topic or its words");
            plain(text.substr(open, close + 2 - open));
        } else {
            block.spans.push_back({std::string(words), std::string(context)});
        }
        text.remove_prefix(close + 2);
    }
    plain(text);
}

}  // namespace

HelpMarkup ParseHelpMarkup(std::string_view text) {
    HelpMarkup markup;
    std::string joined;  // the open block's lines
    int firstLine = 0;
    HelpBlockKind kind = HelpBlockKind::kParagraph;
    auto finish = [&] {
        if (!joined.empty()) {
            HelpBlock block;
            block.kind = kind;
            AddSpans(block, joined, firstLine, markup.problems);
            markup.blocks.push_back(std::move(block));
        }
        joined.clear();
    };
    int number = 0;
    for (std::size_t start = 0; start <= text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = TrimRight(text.substr(start, end - start));
        start = end + 1;
        ++number;
        if (line.empty()) {
            finish();
        } else if (line.starts_with("## ")) {
            finish();
            kind = HelpBlockKind::kHeading;
            firstLine = number;
            joined = line.substr(3);
            finish();
        } else if (line.starts_with("- ")) {
            finish();
            kind = HelpBlockKind::kItem;
            firstLine = number;
            joined = line.substr(2);
        } else if (joined.empty()) {
            kind = HelpBlockKind::kParagraph;
            firstLine = number;
            joined = line.substr(line.find_first_not_of(" \t"));
        } else {
            joined += ' ';
            joined += line.substr(line.find_first_not_of(" \t"));
        }
    }
    finish();
    return markup;
}

std::string HelpPlainText(const HelpMarkup& markup) {
    std::string plain;
    for (const HelpBlock& block : markup.blocks) {
        for (const HelpSpan& span : block.spans)
            plain += span.text;
        plain += '\n';
    }
    return plain;
}

std::vector<std::string> HelpLinks(const HelpMarkup& markup) {
    std::vector<std::string> links;
    for (const HelpBlock& block : markup.blocks) {
        for (const HelpSpan& span : block.spans) {
            if (!span.link.empty())
                links.push_back(span.link);
        }
    }
    return links;
}

}  // namespace ui
