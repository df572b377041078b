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

}  // namespace
