#include "engine/like_match.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "engine/testing/expr_test_nodes.h"

namespace vesk {
namespace {

struct LikeCase {
    const char* text;
    const char* pattern;
    bool caseSensitive;
    bool expected;
};

TEST(LikeMatch, TableOfCases) {
    const LikeCase cases[] = {
        {"abc", "a%", true, true},
        {"abc", "%c", true, true},
        {"abc", "a_c", true, true},
        {"ab", "a_c", true, false},
        {"", "%", true, true},
        {"", "_", true, false},
        {"", "", true, true},
        {"a", "", true, false},
        {"ABC", "abc", true, false},
        {"ABC", "abc", false, true},
        {"ab", "ab%%", true, false},
        {"abc", "ab%%", true, true},
        {"", "%%", true, false},
        {"x", "%%", true, true},
        {"abc", "abc%", true, true},
        {"abcbc", "%bc", true, true},
        {"abcbd", "%bc", true, false},
        {"mississippi", "m%iss%pi", true, true},
        {"mississippi", "m%iss%pix", true, false},
        {"ab", "a%_", true, true},
        {"a", "a%_", true, false},
        {"abc", "%_%", true, true},
        {"\xC3\xA9t\xC3\xA9", "_t_", true, true},  // one character each, not one byte
        {"\xC3\xA9", "__", true, false},
        {"\xFF"
         "a",
         "_a", true, true},                      // a byte that is no UTF-8 is one character
        {"\xC3\xA9", "\xC3\x89", false, false},  // only a to z fold
        {"Hello World", "hello%WORLD", false, true},
    };
    for (const LikeCase& c : cases) {
        EXPECT_EQ(MatchLikePattern(c.text, c.pattern, c.caseSensitive), c.expected)
            << "'" << c.text << "' LIKE '" << c.pattern << "' case " << c.caseSensitive;
    }
}

// The matcher's rules written as plain recursion over positions, for short texts only.
bool ReferenceMatch(const std::string& t, size_t i, const std::string& p, size_t j) {
    const auto at = [](const std::string& s, size_t k) { return k < s.size() ? s[k] : '\0'; };
    if (at(p, j) == '%' && at(p, j + 1) == '\0')
        return true;
    if (at(t, i) == '\0')
        return at(p, j) == '\0';
    if (at(p, j) == '%')
        return ReferenceMatch(t, i, p, j + 1) || ReferenceMatch(t, i + 1, p, j);
    if (at(p, j) == '_')
        return ReferenceMatch(t, i + 1, p, j + 1);
    return at(t, i) == at(p, j) && ReferenceMatch(t, i + 1, p, j + 1);
}

TEST(LikeMatch, AgreesWithTheRecursiveRulesOnRandomInputs) {
    std::mt19937 random(20261210);
    const std::string textAlphabet = "ab";
    const std::string patternAlphabet = "ab%_";
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        std::string pattern;
        const int textLength = static_cast<int>(random() % 7);
        const int patternLength = static_cast<int>(random() % 7);
        for (int k = 0; k < textLength; ++k)
            text += textAlphabet[random() % textAlphabet.size()];
        for (int k = 0; k < patternLength; ++k) {
            pattern += patternAlphabet[random() % patternAlphabet.size()];
        }
        ASSERT_EQ(MatchLikePattern(text, pattern, true), ReferenceMatch(text, 0, pattern, 0))
            << "'" << text << "' LIKE '" << pattern << "'";
    }
}

TEST(LikeMatch, OneMegabyteTextNeedsNoDeepStack) {
    std::string text(1 << 20, 'a');
    text.back() = 'b';
    EXPECT_TRUE(MatchLikePattern(text, "%b", true));
    EXPECT_TRUE(MatchLikePattern(text, "a%a_", true));
    EXPECT_FALSE(MatchLikePattern(text, "%c%", true));
    EXPECT_TRUE(MatchLikePattern(text, std::string(1 << 20, '_'), true));
    EXPECT_FALSE(MatchLikePattern(text, std::string((1 << 20) + 1, '_'), true)) << "one too many";
}

TEST(LikeMatch, OperatorNodeUsesTheCaseOption) {
    TExprNodes nodes;
    TExprNode* text = testing::Text(nodes, "ABC", ftMemo);
    TExprNode* pattern = testing::Text(nodes, "a%");
    EXPECT_FALSE(testing::Apply(nodes, toLIKE, text, pattern)->AsBoolean());
    EXPECT_TRUE(testing::Apply(nodes, toLIKE, text, pattern, foCaseInsensitive)->AsBoolean());
    EXPECT_THROW(testing::Apply(nodes, toLIKE, testing::Constant<std::int32_t>(nodes, ftInteger, 1),
                                pattern),
                 std::exception);
}

}  // namespace
}  // namespace vesk
