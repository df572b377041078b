#include "platform/ui/help_markup.h"

#include <gtest/gtest.h>

namespace ui {
namespace {

using Kind = HelpBlockKind;

TEST(HelpMarkup, BlocksJoinTheirLinesAndLinksKeepTheirTopics) {
    const HelpMarkup markup = ParseHelpMarkup(
        "A paragraph\n  on two lines.\n\n## Heading\n- first item\n  goes on\n- see "
        "[[Newitem6|the page]] or [[Contents]].\r\nLast.\n");
    EXPECT_TRUE(markup.problems.empty());
    const std::vector<HelpBlock> expected = {
        {Kind::kParagraph, {{"A paragraph on two lines.", ""}}},
        {Kind::kHeading, {{"Heading", ""}}},
        {Kind::kItem, {{"first item goes on", ""}}},
        {Kind::kItem,
         {{"see ", ""},
          {"the page", "Newitem6"},
          {" or ", ""},
          {"Contents", "Contents"},
          {". Last.", ""}}},
    };
    EXPECT_EQ(markup.blocks, expected);
    EXPECT_EQ(HelpPlainText(markup),
              "A paragraph on two lines.\nHeading\nfirst item goes on\nsee the page or "
              "Contents. Last.\n");
    EXPECT_EQ(HelpLinks(markup), (std::vector<std::string>{"Newitem6", "Contents"}));
}

TEST(HelpMarkup, FaultyLinksAreReportedAndKeptAsText) {
    const HelpMarkup markup = ParseHelpMarkup("one\n\n[[|words]] and [[open\n");
    EXPECT_EQ(markup.problems, (std::vector<std::string>{
                                   "line 3: the link \"[[|words]]\" lacks its topic or its words",
                                   "line 3: \"[[\" is not closed by \"]]\""}));
    EXPECT_EQ(HelpPlainText(markup), "one\n[[|words]] and [[open\n");
    EXPECT_TRUE(HelpLinks(markup).empty());
    EXPECT_TRUE(ParseHelpMarkup("").blocks.empty());
}

}  // namespace
}  // namespace ui
