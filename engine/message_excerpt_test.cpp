#include "engine/message_excerpt.h"

#include <gtest/gtest.h>

namespace vesk {
namespace {

TEST(MessageExcerpt, QuotesSixtyCharactersAndEscapesWhatIsNoCharacter) {
    const std::string sixty(60, 'q');
    const std::string euro = "\xE2\x82\xAC";
    std::string euros;
    for (int i = 0; i < 61; ++i)
        euros += euro;
    const struct {
        std::string text;
        std::string shown;
    } cases[] = {
        {"", ""},
        {"name", "name"},
        {std::string("\0", 1), "\\x00"},
        {"a\xFF"
         "b",
         "a\\xFF"
         "b"},
        {"back\\slash", "back\\\\slash"},
        {sixty, sixty},
        {sixty + "r", sixty + "..."},
        {std::string(120000, 'x'), std::string(60, 'x') + "..."},
        // A character of several bytes counts once, so is never cut apart.
        {euros, euros.substr(0, 60 * euro.size()) + "..."},
        // An escaped byte counts once too.
        {std::string(61, '\x01'),
         [] {
             std::string escaped;
             for (int i = 0; i < 60; ++i)
                 escaped += "\\x01";
             return escaped + "...";
         }()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MessageExcerpt(c.text), c.shown) << c.shown.substr(0, 80);
}

}  // namespace
}  // namespace vesk
