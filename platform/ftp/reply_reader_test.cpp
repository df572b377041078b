#include "platform/ftp/reply_reader.h"

#include <gtest/gtest.h>

#include "platform/ftp/id_exceptions.h"

namespace ftp {
namespace {

struct ReplyCase {
    std::vector<std::string> chunks;  // fed one after another
    int code;
    std::vector<std::string> text;
    std::string leftOverNext;  // code of a second reply that must follow, or empty
};

void PrintTo(const ReplyCase& c, std::ostream* out) {
    for (const std::string& chunk : c.chunks)
        *out << '[' << chunk << ']';
}

class Replies : public ::testing::TestWithParam<ReplyCase> {};

TEST_P(Replies, SplitAcrossReads) {
    const ReplyCase& c = GetParam();
    ReplyReader reader;
    std::optional<TIdRFCReply> reply;
    for (std::size_t i = 0; i < c.chunks.size(); ++i) {
        EXPECT_FALSE(reply) << "complete before chunk " << i;
        reader.Feed(c.chunks[i]);
        if (!reply)
            reply = reader.TakeReply();
    }
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->NumericCode, c.code);
    EXPECT_EQ(reply->Code, std::to_string(c.code));
    EXPECT_EQ(reply->Text, c.text);
    const auto next = reader.TakeReply();
    if (c.leftOverNext.empty()) {
        EXPECT_FALSE(next);
    } else {
        ASSERT_TRUE(next);
        EXPECT_EQ(next->Code, c.leftOverNext);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, Replies,
    ::testing::Values(ReplyCase{{"220 ready\r\n"}, 220, {"ready"}, ""},
                      ReplyCase{{"22", "0 rea", "dy\r", "\n"}, 220, {"ready"}, ""},
                      ReplyCase{{"200\r\n"}, 200, {""}, ""},
                      ReplyCase{{"230 ok\n"}, 230, {"ok"}, ""},  // bare LF
                      // Multi-line, the end line split over reads; inner lines kept whole, one of
                      // them starting with another code and one with the same code and a dash.
                      ReplyCase{{"211-Features:\r\n MDTM\r\n",
                                 "200 not the end\r\n211-still in\r\n21", "1 End\r\n"},
                                211,
                                {"Features:", " MDTM", "200 not the end", "still in", "End"},
                                ""},
                      // Two replies in one read.
                      ReplyCase{{"150 opening\r\n226 done\r\n"}, 150, {"opening"}, "226"}));

TEST(ReplyReaderLimits, OverLongLineFails) {
    ReplyReader reader;
    const std::string chunk(ReplyReader::kMaxLineLength / 2, 'x');
    reader.Feed("220 ");
    reader.Feed(chunk);
    EXPECT_THROW(
        {
            reader.Feed(chunk);
            reader.Feed(chunk);
        },
        EIdReplyFormatError);
}

TEST(ReplyReaderLimits, LineAtTheLimitIsAccepted) {
    ReplyReader reader;
    reader.Feed("220 " + std::string(ReplyReader::kMaxLineLength - 4, 'y') + "\r\n");
    const auto reply = reader.TakeReply();
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->Text.front().size(), ReplyReader::kMaxLineLength - 4);
}

TEST(ReplyReaderLimits, ReplyThatNeverEndsFails) {
    ReplyReader reader;
    reader.Feed("220-start\r\n");
    EXPECT_THROW(
        {
            for (std::size_t i = 0; i <= ReplyReader::kMaxReplyLines; ++i) {
                reader.Feed(" more\r\n");
                EXPECT_FALSE(reader.TakeReply());
            }
        },
        EIdReplyFormatError);
}

TEST(ReplyReaderLimits, LineWithoutCodeFails) {
    for (const char* bad : {"hello\r\n", "22 short\r\n", "220x\r\n"}) {
        ReplyReader reader;
        reader.Feed(bad);
        EXPECT_THROW(reader.TakeReply(), EIdReplyFormatError) << bad;
    }
}

}  // namespace
}  // namespace ftp
