#include "platform/os/collation.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char* left;
    const char* right;
    bool caseInsensitive;
    int expected;
};

TEST(Collation, OrdersTextsAsTheStoredKeysRequire) {
    const Case cases[] = {
        {"a", "B", false, -1},     {"B", "b", false, 1},        {"b", "B", false, -1},
        {"B", "b", true, 0},       {"abc", "ABC", true, 0},     {"abc", "abd", true, -1},
        {"ab", "abc", false, -1},  {"", "", false, 0},          {"", "a", false, -1},
        {"aB", "Ab", false, -1},  // first hidden difference decides: 'a' before 'A'
        {"Ab", "ab", false, 1},    {"\xC3\xA9", "z", false, 1},  // high bytes after ASCII
        {"abC", "abd", false, -1},  // folded difference wins over an earlier case difference
    };
    for (const Case& c : cases) {
        EXPECT_EQ(os::CompareAnsiText(c.left, c.right, c.caseInsensitive), c.expected)
            << c.left << " vs " << c.right << (c.caseInsensitive ? " (ci)" : "");
        EXPECT_EQ(os::CompareAnsiText(c.right, c.left, c.caseInsensitive), -c.expected)
            << "reversed: " << c.right << " vs " << c.left;
    }
}

}  // namespace
