#pragma once
// The help markup, the text of a help topic: blocks separated by blank lines; a block whose
// line begins with "## " is a heading; a line beginning with "- " starts a list item, which
// the lines after it continue; any other block is a paragraph. Lines of a block are joined
// with a blank. Inside a block, "[[context]]" or "[[context|words]]" links to the topic with
// that context name (shown as its words, or as the context name without them).
#include <string>
#include <string_view>
#include <vector>

namespace ui {

struct HelpSpan {
    std::string text;
    std::string link;  // the linked topic's context name; "" for plain text
    bool operator==(const HelpSpan&) const = default;
};

enum class HelpBlockKind { kParagraph, kHeading, kItem };

struct HelpBlock {
    HelpBlockKind kind = HelpBlockKind::kParagraph;
    std::vector<HelpSpan> spans;
    bool operator==(const HelpBlock&) const = default;
};

struct HelpMarkup {
    std::vector<HelpBlock> blocks;
    // Faults found ("line 4: \"[[\" is not closed by \"]]\""); a fault's text is kept as plain
    // text, so a viewer shows everything.
    std::vector<std::string> problems;
};

HelpMarkup ParseHelpMarkup(std::string_view text);

// The words a reader sees, blocks separated by line breaks (what the topics finder searches).
std::string HelpPlainText(const HelpMarkup& markup);

// Every link's context name, in text order.
std::vector<std::string> HelpLinks(const HelpMarkup& markup);

}  // namespace ui
