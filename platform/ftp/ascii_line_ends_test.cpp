#include "platform/ftp/ascii_line_ends.h"

#include <gtest/gtest.h>

#include <vector>

namespace ftp {
namespace {

struct LineEndCase {
    const char* name;
    std::vector<std::string> chunks;  // the data as it arrives, read by read
    std::string expected;
};

std::string Download(const std::vector<std::string>& chunks) {
    AsciiDownloadLineEnds lineEnds;
    std::string out;
    for (const std::string& chunk : chunks)
        lineEnds.Convert(chunk, out);
    lineEnds.Finish(out);
    return out;
}

std::string Upload(const std::vector<std::string>& chunks) {
    AsciiUploadLineEnds lineEnds;
    std::string out;
    for (const std::string& chunk : chunks)
        lineEnds.Convert(chunk, out);
    return out;
}

TEST(AsciiLineEndsTest, DownloadWritesLfForEachCrLf) {
    const LineEndCase cases[] = {
        {"lines", {"one\r\ntwo\r\n"}, "one\ntwo\n"},
        {"a lone CR stays", {"a\rb\r"}, "a\rb\r"},
        {"CR CR LF: the first CR is lone", {"a\r\r\nb"}, "a\r\nb"},
        {"a bare LF stays", {"a\nb"}, "a\nb"},
        {"CR LF split between reads", {"one\r", "\ntwo"}, "one\ntwo"},
        {"a CR at the end of a read with no LF after it", {"one\r", "two\r", ""}, "one\rtwo\r"},
        {"CR alone in a read", {"a", "\r", "\r", "\n"}, "a\r\n"},
        {"empty", {}, ""},
        {"NUL and high bytes pass", {std::string("\0\xff\r\n", 4)}, std::string("\0\xff\n", 3)},
    };
    for (const LineEndCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Download(c.chunks), c.expected);
    }
}

TEST(AsciiLineEndsTest, UploadSendsCrLfForEachLf) {
    const LineEndCase cases[] = {
        {"lines", {"one\ntwo\n"}, "one\r\ntwo\r\n"},
        {"a CR LF in the file is sent as it is", {"one\r\ntwo"}, "one\r\ntwo"},
        {"a lone CR stays", {"a\rb"}, "a\rb"},
        {"CR LF split between reads", {"one\r", "\ntwo"}, "one\r\ntwo"},
        {"LF at the start of a read after a plain byte", {"one", "\ntwo"}, "one\r\ntwo"},
        {"LF LF", {"\n\n"}, "\r\n\r\n"},
    };
    for (const LineEndCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Upload(c.chunks), c.expected);
    }
}

// What a server that stores text with LF makes of the wire (CR LF to LF) and sends of its file
// (LF to CR LF): a file with LF line ends and lone CRs goes up and comes down unchanged, in
// every split of its reads.
TEST(AsciiLineEndsTest, LfFilesSurviveTheRoundTripInEverySplit) {
    const std::string file = "one\ntwo\rthree\n\n\rfour\r";
    for (std::size_t split = 0; split <= file.size(); ++split) {
        SCOPED_TRACE(split);
        const std::vector<std::string> chunks = {file.substr(0, split), file.substr(split)};
        std::string stored;
        const std::string wire = Upload(chunks);
        for (std::size_t i = 0; i < wire.size(); ++i) {
            if (!(wire[i] == '\r' && i + 1 < wire.size() && wire[i + 1] == '\n'))
                stored += wire[i];
        }
        EXPECT_EQ(stored, file);
        std::string sent;
        for (const char c : stored)
            sent += c == '\n' ? std::string("\r\n") : std::string(1, c);
        EXPECT_EQ(Download({sent.substr(0, split), sent.substr(split)}), file);
    }
}

}  // namespace
}  // namespace ftp
