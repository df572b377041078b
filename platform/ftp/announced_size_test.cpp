#include "platform/ftp/announced_size.h"

#include <gtest/gtest.h>

namespace ftp {
namespace {

TEST(AnnouncedSizeTest, TheLastByteCountOfTheReply) {
    const struct {
        std::vector<std::string> text;
        std::int64_t expected;
    } cases[] = {
        {{"Opening BINARY mode data connection for f.bin (1234 bytes)."}, 1234},
        {{"Opening BINARY mode data connection for f.bin (0 bytes)"}, 0},
        {{"Opening data connection for a (5 bytes) b (77 bytes)."}, 77},
        {{"Opening data connection for a (5 bytes).bin (9 Bytes)"}, 9},
        {{"first line", "Opening for x (1 byte)"}, 1},
        {{"File status okay. About to open data connection."}, -1},
        {{"Opening for (bytes) (12bytes) (x bytes) (-3 bytes)"}, -1},
        {{"Opening for f (12 kbytes)"}, -1},
        {{"Opening for f (99999999999999999999 bytes)"}, -1},
        {{"("}, -1},
        {{}, -1},
    };
    for (const auto& c : cases) {
        TIdRFCReply reply;
        reply.NumericCode = 150;
        reply.Text = c.text;
        EXPECT_EQ(AnnouncedSize(reply), c.expected) << (c.text.empty() ? "" : c.text.back());
    }
}

}  // namespace
}  // namespace ftp
