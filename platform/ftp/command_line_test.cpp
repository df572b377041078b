#include "platform/ftp/command_line.h"

#include <gtest/gtest.h>

#include "platform/ftp/id_exceptions.h"
#include "platform/ftp/pasv_reply.h"

namespace ftp {
namespace {

TEST(CommandLine, EndsWithCrLfAndRefusesLineBreaks) {
    EXPECT_EQ(BuildCommandLine("CWD a b"), "CWD a b\r\n");
    EXPECT_EQ(BuildCommandLine("RETR \xff\xfe"), "RETR \xff\xfe\r\n");
    for (const std::string& bad : {std::string("DELE x\r\nDELE y"), std::string("CWD a\nb"),
                                   std::string("CWD a\r"), std::string("RETR a\0b", 8)}) {
        EXPECT_THROW(BuildCommandLine(bad), EIdCommandRefused) << bad;
    }
}

TEST(PasvReply, Table) {
    const struct {
        const char* text;
        const char* host;
        int port;
    } good[] = {
        {"Entering Passive Mode (127,0,0,1,4,1)", "127.0.0.1", 1025},
        {"Entering Passive Mode 10,20,30,40,255,255", "10.20.30.40", 65535},
        {"=192,168,1,2,0,21 ok", "192.168.1.2", 21},
        {"port 2021 then (127, 0, 0, 1, 7, 208)", "127.0.0.1", 2000},
    };
    for (const auto& c : good) {
        const HostPort result = ParsePasvReply(c.text);
        EXPECT_EQ(result.host, c.host) << c.text;
        EXPECT_EQ(result.port, c.port) << c.text;
    }
    for (const char* bad :
         {"Entering Passive Mode", "(127,0,0,1,4)", "(256,0,0,1,4,1)", "(127,0,0,1,4,1000)"}) {
        EXPECT_THROW(ParsePasvReply(bad), EIdReplyFormatError) << bad;
    }
}

TEST(PortArgument, Formats) {
    EXPECT_EQ(FormatPortArgument("127.0.0.1", 1025), "127,0,0,1,4,1");
    EXPECT_EQ(FormatPortArgument("10.0.0.2", 65535), "10,0,0,2,255,255");
    EXPECT_THROW(FormatPortArgument("::1", 21), EIdSocketError);
}

}  // namespace
}  // namespace ftp
