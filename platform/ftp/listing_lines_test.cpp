#include "platform/ftp/listing_lines.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/ftp/id_exceptions.h"

namespace ftp {
namespace {

struct LinesCase {
    const char* name;
    std::vector<std::string> chunks;  // fed one after another
    ListingLines::Limits limits;
    std::vector<std::string> lines;  // kept, also when it fails
    const char* error;               // nullptr: succeeds
};

constexpr ListingLines::Limits kRoomy{1000, 100, 100};

TEST(ListingLinesTest, SplitsAndBoundsTheListing) {
    const LinesCase cases[] = {
        {"line ends LF and CR LF, last line without one",
         {"a\r\nb\nc"},
         kRoomy,
         {"a", "b", "c"},
         nullptr},
        {"a CR LF split across chunks", {"a\r", "\nb\r", "\n"}, kRoomy, {"a", "b"}, nullptr},
        {"empty lines are not kept",
         {"\n\r\n\n", "a\n\r\n\n", "b\n\n"},
         kRoomy,
         {"a", "b"},
         nullptr},
        {"a lone CR is no line end", {"a\rb\n"}, kRoomy, {"a\rb"}, nullptr},
        {"empty lines count as bytes only", {"\n\n\n\n\n\n\nx\n"}, {9, 100, 1}, {"x"}, nullptr},
        {"exactly the line bound", {"a\nb\nc\n"}, {1000, 100, 3}, {"a", "b", "c"}, nullptr},
        {"one line over the line bound",
         {"a\nb\nc\nd"},
         {1000, 100, 3},
         {"a", "b", "c"},
         "Listing too long."},
        {"one byte over the byte bound",
         {"abcd\n", "ef\n"},
         {7, 100, 100},
         {"abcd"},
         "Listing too long."},
        {"a line at its length bound, with CR", {"abcd\r\n"}, {1000, 4, 100}, {"abcd"}, nullptr},
        {"a line over its length bound", {"abcde\n"}, {1000, 4, 100}, {}, "Listing line too long."},
        {"a last line over its length bound",
         {"a\nbcdef"},
         {1000, 4, 100},
         {"a"},
         "Listing line too long."},
    };
    // Kept in a list, or handed on one at a time: the same lines and the same bounds.
    for (const bool handedOn : {false, true}) {
        for (const LinesCase& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (handedOn ? " (handed on)" : " (kept)"));
            std::vector<std::string> lines;
            std::optional<ListingLines> collector;
            if (handedOn)
                collector.emplace([&lines](std::string&& line) { lines.push_back(line); },
                                  c.limits);
            else
                collector.emplace(lines, c.limits);
            try {
                for (const std::string& chunk : c.chunks)
                    collector->Feed(chunk.data(), chunk.size());
                collector->Finish();
                EXPECT_TRUE(c.error == nullptr) << "the listing was taken";
            } catch (const EIdReplyFormatError& e) {
                ASSERT_TRUE(c.error != nullptr) << e.what();
                EXPECT_STREQ(e.what(), c.error);
            }
            EXPECT_EQ(lines, c.lines);
        }
    }
}

}  // namespace
}  // namespace ftp
