// The values scans keep: texts of every length around the edge of the blocks that hold them
// come back whole and unmixed, whether a scan meets them first in the file or kept.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/dataset/dataset_test_support.h"

namespace vesk::testing {
namespace {

DatabaseSchema WideSchema() {
    DatabaseSchema schema;
    schema.tables = {{"wide", {{"text", ftString, 300000, 0}, {"n", ftInteger, 0, 0}}, {}}};
    return schema;
}

class ScanValues : public DatabaseFileFixture {
  protected:
    ScanValues() : DatabaseFileFixture(WideSchema(), "ScanDatabase") {}
};

// A text of length characters that no other text of the test equals: its first and last
// characters name the row.
std::string TextOf(size_t length, size_t row) {
    std::string text(length, static_cast<char>('a' + row % 26));
    if (length > 0)
        text.front() = text.back() = static_cast<char>('A' + row % 26);
    for (size_t i = 1; i + 1 < length; i += 997)
        text[i] = static_cast<char>('0' + (i / 997 + row) % 10);
    return text;
}

TEST_F(ScanValues, KeptTextsOfEveryLengthComeBackWhole) {
    // Lengths that fill a block up, start new ones, need a block of their own or a span of
    // several, and follow a span (block size 64 KiB).
    const std::vector<size_t> lengths = {1,      65535,  1, 65536, 2,     65537,
                                         3,      200000, 4, 40000, 40000, 131072,
                                         131073, 250000, 9, 65530, 6,     0};
    TVeskTable& t = Opened("wide");
    std::vector<std::string> texts;
    for (size_t row = 0; row < lengths.size(); ++row) {
        texts.push_back(TextOf(lengths[row], row));
        t.Append();
        t.FieldByName("text").SetAsString(texts.back());
        t.FieldByName("n").SetAsInteger(static_cast<std::int32_t>(row));
        t.Post();
    }
    // The last row first: that scan reads and keeps every text; the later ones compare kept
    // texts, ending at rows in the middle of blocks and spans.
    for (size_t row = lengths.size(); row-- > 0;) {
        SCOPED_TRACE(row);
        ASSERT_TRUE(t.Locate("text", TKeyValue(texts[row])));
        EXPECT_EQ(t.FieldByName("n").AsInteger(), static_cast<std::int32_t>(row));
        EXPECT_EQ(t.FieldByName("text").AsString(), texts[row]);
    }
    // Texts that differ from a kept one only in its last character, or only by being shorter.
    for (size_t row : {1u, 3u, 7u, 13u}) {
        SCOPED_TRACE(row);
        std::string changed = texts[row];
        changed.back() = '#';
        EXPECT_FALSE(t.Locate("text", TKeyValue(changed)));
        EXPECT_FALSE(t.Locate("text", TKeyValue(texts[row].substr(0, texts[row].size() - 1))));
    }
    // A filter over the kept texts passes exactly the rows it names.
    t.SetFilter("text = '" + texts[8] + "' or text = '" + texts[16] + "'");
    t.SetFiltered(true);
    EXPECT_EQ(Column(t, "n"), (std::vector<std::string>{"8", "16"}));
}

// Runs of equal values share their kept bytes; every row still shows its own value, in a
// first pass that keeps them and in the passes that compare what was kept.
TEST_F(ScanValues, RepeatedValuesAreKeptOnceAndStillTellRowsApart) {
    const std::vector<std::string> texts = {"same", "same", "same", "other", "same", "",
                                            "",     "sam",  "same", "samE",  "same"};
    TVeskTable& t = Opened("wide");
    for (size_t row = 0; row < texts.size(); ++row) {
        t.Append();
        t.FieldByName("text").SetAsString(texts[row]);
        t.FieldByName("n").SetAsInteger(static_cast<std::int32_t>(row));
        t.Post();
    }
    struct Case {
        std::string filter;
        std::vector<std::string> rows;
    } cases[] = {
        {"text = 'same'", {"0", "1", "2", "4", "8", "10"}},
        {"text = ''", {"5", "6"}},
        {"text = 'sam' or text = 'other'", {"3", "7"}},
        {"text = 'samE'", {"9"}},
    };
    for (int pass = 0; pass < 2; ++pass) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.filter + (pass == 0 ? " (first)" : " (again)"));
            t.SetFilter(c.filter);
            t.SetFiltered(true);
            EXPECT_EQ(Column(t, "n"), c.rows);
            t.SetFiltered(false);
        }
    }
}

}  // namespace
}  // namespace vesk::testing
