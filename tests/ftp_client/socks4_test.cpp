// SOCKS 4 and 4A requests byte for byte, for the control connection and a passive data
// connection, with our scripted SOCKS server relaying to our scripted FTP server.
#include <gtest/gtest.h>

#include <cstdio>

#include "platform/ftp/id_exceptions.h"
#include "tests/ftp_client/client_rig.h"
#include "tests/ftp_servers/server_fixture.h"

namespace ftptest {
namespace {

const char* const kSiteScript = R"({
  "rules": [
    {"expect": "USER .*", "reply": "331 Password required"},
    {"expect": "PASS .*", "reply": "230 Logged in"},
    {"expect": "SYST", "reply": "215 UNIX Type: L8"},
    {"expect": "TYPE .*", "reply": "200 Type set"},
    {"expect": "LIST", "reply": ["150 Here it comes",
        {"data_send": "-rw-r--r--   1 ftp ftp 5 Jan 01 2020 a.txt\r\n"}, {"data_close": true},
        "226 Done"]}
  ]
})";

std::string Hex(const std::string& bytes) {
    std::string out;
    char digits[3];
    for (unsigned char c : bytes) {
        std::snprintf(digits, sizeof digits, "%02x", c);
        out += digits;
    }
    return out;
}

std::string PortBytes(int port) {
    return std::string{static_cast<char>(port >> 8), static_cast<char>(port & 255)};
}

struct Socks4Case {
    const char* name;
    ftp::TSocksVersion version;
    const char* host;
    const char* user;
    // The request with "PP" standing for the two port bytes.
    std::string request;
};

std::string WithPort(std::string request, int port) {
    return request.replace(request.find("PP"), 2, PortBytes(port));
}

TEST(Socks4Test, RequestsForControlAndDataConnections) {
    using namespace std::string_literals;
    const Socks4Case cases[] = {
        {"4 with user", ftp::TSocksVersion::svSocks4, "127.0.0.1", "sockuser",
         "\x04\x01PP\x7f\x00\x00\x01sockuser\x00"s},
        {"4 without user", ftp::TSocksVersion::svSocks4, "127.0.0.1", "",
         "\x04\x01PP\x7f\x00\x00\x01\x00"s},
        {"4 resolves the name itself", ftp::TSocksVersion::svSocks4, "localhost", "u",
         "\x04\x01PP\x7f\x00\x00\x01u\x00"s},
        {"4A hands the name over", ftp::TSocksVersion::svSocks4A, "localhost", "sockuser",
         "\x04\x01PP\x00\x00\x00\x01sockuser\x00localhost\x00"s},
        {"4A without user", ftp::TSocksVersion::svSocks4A, "localhost", "",
         "\x04\x01PP\x00\x00\x00\x01\x00localhost\x00"s},
    };
    for (const Socks4Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedServer site(ScriptedServer::Mode::kFtp, kSiteScript);
        ScriptedServer socks(ScriptedServer::Mode::kSocks4, "{}");
        ClientRig rig(FtpAccount{c.host, site.port(), "alice", "secret", "/", ""});
        rig.UseSocks(c.version, socks.port(), c.user, "unused-by-socks4");
        rig.Login();
        std::vector<std::string> lines;
        rig.ftp.List(lines);
        ASSERT_EQ(lines.size(), 1u);

        const std::vector<std::string> requests = socks.Recorded();
        ASSERT_EQ(requests.size(), 2u);
        EXPECT_EQ(requests[0], Hex(WithPort(c.request, site.port())));
        // The data connection goes to the port of the PASV reply, asked for the same way.
        ASSERT_EQ(requests[1].size(), requests[0].size());
        EXPECT_EQ(requests[1].substr(0, 4), requests[0].substr(0, 4));
        EXPECT_NE(requests[1].substr(4, 4), requests[0].substr(4, 4));
        EXPECT_EQ(requests[1].substr(8), requests[0].substr(8));
    }
}

TEST(Socks4Test, RefusedOrDroppedRequestFailsTheConnect) {
    const char* scripts[] = {
        R"({"socks": [{"reply": 91}]})",
        R"({"socks": [{"reply": 92}]})",
        R"({"socks": [{"close": true}]})",
    };
    for (const char* script : scripts) {
        SCOPED_TRACE(script);
        ScriptedServer site(ScriptedServer::Mode::kFtp, kSiteScript);
        ScriptedServer socks(ScriptedServer::Mode::kSocks4, script);
        ClientRig rig(FtpAccount{"127.0.0.1", site.port(), "alice", "secret", "/", ""});
        rig.UseSocks(ftp::TSocksVersion::svSocks4, socks.port());
        EXPECT_THROW(rig.Login(), ftp::EIdException);
        EXPECT_FALSE(rig.ftp.Connected());
        EXPECT_EQ(socks.Recorded().size(), 1u);
        EXPECT_TRUE(site.Recorded().empty());
    }
}

}  // namespace
}  // namespace ftptest
