#include "tools/tsv_format.h"

#include <gtest/gtest.h>

namespace {

using namespace vesktool;

TEST(TsvFormat, EscapesWhatWouldBreakACellOrALine) {
    const struct {
        std::string in, out;
    } cases[] = {
        {"plain text", "plain text"},
        {"a\\b", "a\\\\b"},
        {"tab\there", "tab\\there"},
        {"cr\r\nlf", "cr\\r\\nlf"},
        {std::string("z\0y", 3), "z\\0y"},
        {"\\t", "\\\\t"},
        {"", ""},
        {"\xC3\xA9\x01", "\xC3\xA9\x01"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EscapeTsvText(c.in), c.out) << c.in;
}

TEST(TsvFormat, BooleansAndDoubles) {
    EXPECT_EQ(FormatBoolean(0), "False");
    EXPECT_EQ(FormatBoolean(1), "True");
    EXPECT_EQ(FormatBoolean(0xFFFF), "True");
    EXPECT_EQ(FormatDouble(0.1), "0.1");
    EXPECT_EQ(FormatDouble(-2.5), "-2.5");
    EXPECT_EQ(FormatDouble(86400000.0 * 738000), "63763200000000");
    EXPECT_EQ(FormatDouble(0), "0");
    EXPECT_EQ(FormatDouble(1e300), "1e+300");
}

}  // namespace
