#include "platform/os/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Utf8, SequenceLengthOfWellFormedAndBrokenCharacters) {
    struct Case {
        const char* what;
        std::string text;
        std::size_t expected;
    };
    const Case cases[] = {
        {"ASCII", "a", 0},
        {"two bytes", "\xC3\xA9", 2},
        {"three bytes", "\xE2\x94\x9C", 3},
        {"four bytes", "\xF0\x9F\x98\x80", 4},
        {"highest code point", "\xF4\x8F\xBF\xBF", 4},
        {"past U+10FFFF", "\xF4\x90\x80\x80", 0},
        {"overlong two bytes", "\xC0\xAF", 0},
        {"overlong three bytes", "\xE0\x80\xAF", 0},
        {"overlong four bytes", "\xF0\x80\x80\xAF", 0},
        {"surrogate", "\xED\xA0\x80", 0},
        {"stray continuation", "\x80", 0},
        {"cut by the end", "\xE2\x94", 0},
        {"bad continuation", "\xE2\x28\xA1", 0},
        {"lead byte F5", "\xF5\x80\x80\x80", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(os::Utf8SequenceLength(c.text, 0), c.expected) << c.what;
    // Counted from a position inside the text.
    EXPECT_EQ(os::Utf8SequenceLength(std::string("ab\xC3\xA9"), 2), 2u);
}

// A cut never ends inside a character: one that would cross the limit is left out whole;
// bytes that form no character are cut at the limit.
TEST(Utf8, CutEndsOnACharacterBoundary) {
    const std::string e = "\xC3\xA9";             // 2 bytes
    const std::string euro = "\xE2\x82\xAC";      // 3 bytes
    const std::string clef = "\xF0\x9D\x84\x9E";  // 4 bytes
    struct Case {
        std::string text;
        std::size_t limit;
        std::string cut;
    };
    const Case cases[] = {
        {"abc", 3, "abc"},
        {"abc", 5, "abc"},
        {"abcd", 3, "abc"},
        {"abc", 0, ""},
        {"a" + e + "b", 2, "a"},      // é would end at 3
        {"a" + e + "b", 3, "a" + e},  // é ends at 3
        {e + e, 1, ""},
        {"ab" + euro, 3, "ab"},
        {"ab" + euro, 4, "ab"},
        {"ab" + euro, 5, "ab" + euro},
        {clef + "z", 3, ""},
        {"a" + clef + "z", 4, "a"},
        {"a" + clef + "z", 5, "a" + clef},
        {std::string(5, '\x80'), 3, std::string(3, '\x80')},  // no characters
        {"ab\xE2\x82z", 3, "ab\xE2"},                         // a broken character
        {"a\xC3", 1, "a"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(os::CutUtf8(c.text, c.limit), c.cut) << c.text << " to " << c.limit;
}

}  // namespace
