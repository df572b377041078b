#include "platform/ftp/socks_negotiation.h"

#include <gtest/gtest.h>

#include <deque>

#include "platform/ftp/id_exceptions.h"

namespace ftp {
namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values)
        out.push_back(static_cast<char>(v));
    return out;
}

TEST(SocksRequests, BytesOnTheWire) {
    const struct {
        const char* what;
        std::string actual;
        std::string expected;
    } cases[] = {
        {"socks4", BuildSocks4Request({127, 0, 0, 1}, 2121, "ann"),
         Bytes({4, 1, 0x08, 0x49, 127, 0, 0, 1, 'a', 'n', 'n', 0})},
        {"socks4 no user", BuildSocks4Request({10, 1, 2, 3}, 21, ""),
         Bytes({4, 1, 0, 21, 10, 1, 2, 3, 0})},
        {"socks4a", BuildSocks4ARequest("ftp.example", 21, "u"),
         Bytes({4, 1, 0, 21, 0, 0, 0, 1, 'u', 0}) + "ftp.example" + Bytes({0})},
        {"socks5 greeting", BuildSocks5Greeting(false), Bytes({5, 1, 0})},
        {"socks5 greeting auth", BuildSocks5Greeting(true), Bytes({5, 2, 0, 2})},
        {"socks5 user/pass", BuildSocks5UserPassword("ab", "xyz"),
         Bytes({1, 2, 'a', 'b', 3, 'x', 'y', 'z'})},
        {"socks5 ipv4", BuildSocks5Connect("192.168.0.9", 65535),
         Bytes({5, 1, 0, 1, 192, 168, 0, 9, 0xFF, 0xFF})},
        {"socks5 name", BuildSocks5Connect("host", 256),
         Bytes({5, 1, 0, 3, 4, 'h', 'o', 's', 't', 1, 0})},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.actual, c.expected) << c.what;
}

TEST(SocksRequests, FieldsThatDoNotFitAreRefused) {
    EXPECT_THROW(BuildSocks4Request({1, 2, 3, 4}, 21, std::string("a\0b", 3)), EIdSocksError);
    EXPECT_THROW(BuildSocks4ARequest("", 21, ""), EIdSocksError);
    EXPECT_THROW(BuildSocks5UserPassword(std::string(256, 'u'), "p"), EIdSocksError);
    EXPECT_THROW(BuildSocks5Connect(std::string(256, 'h'), 21), EIdSocksError);
    EXPECT_THROW(BuildSocks5Connect("", 21), EIdSocksError);
}

// Plays the server side from a script of answers and records what the client wrote.
struct ScriptedIo {
    std::string written;
    std::string answers;
    SocksIo Io() {
        SocksIo io;
        io.WriteAll = [this](const std::string& bytes) { written += bytes; };
        io.ReadExact = [this](std::size_t n) {
            if (answers.size() < n)
                throw EIdSocksError("The SOCKS server closed the connection.");
            std::string out = answers.substr(0, n);
            answers.erase(0, n);
            return out;
        };
        return io;
    }
};

TIdSocksInfo Info(TSocksVersion version, bool auth) {
    TIdSocksInfo info;
    info.Version = version;
    info.Authentication =
        auth ? TSocksAuthentication::saUsernamePassword : TSocksAuthentication::saNoAuthentication;
    info.Username = "u";
    info.Password = "p";
    return info;
}

TEST(SocksExchange, Socks5WithPasswordSendsEveryStep) {
    ScriptedIo script;
    script.answers = Bytes({5, 2, 1, 0, 5, 0, 0, 3, 3, 'a', 'b', 'c', 0, 21});
    NegotiateSocks(Info(TSocksVersion::svSocks5, true), "10.0.0.1", 21, {}, script.Io());
    EXPECT_EQ(script.written, Bytes({5, 2, 0, 2}) + Bytes({1, 1, 'u', 1, 'p'}) +
                                  Bytes({5, 1, 0, 1, 10, 0, 0, 1, 0, 21}));
    EXPECT_TRUE(script.answers.empty());
}

TEST(SocksExchange, Socks4UsesTheResolvedAddressAndUserId) {
    ScriptedIo script;
    script.answers = Bytes({0, 90, 0, 0, 0, 0, 0, 0});
    NegotiateSocks(Info(TSocksVersion::svSocks4, true), "server", 21, {10, 9, 8, 7}, script.Io());
    EXPECT_EQ(script.written, Bytes({4, 1, 0, 21, 10, 9, 8, 7, 'u', 0}));
}

TEST(SocksExchange, RefusalsAndBrokenAnswersFail) {
    const struct {
        const char* what;
        TIdSocksInfo info;
        std::string answers;
    } cases[] = {
        {"socks4 rejected", Info(TSocksVersion::svSocks4A, false),
         Bytes({0, 91, 0, 0, 0, 0, 0, 0})},
        {"socks4 bad version", Info(TSocksVersion::svSocks4, false),
         Bytes({4, 90, 0, 0, 0, 0, 0, 0})},
        {"socks4 short", Info(TSocksVersion::svSocks4, false), Bytes({0, 90, 0})},
        {"socks5 no method", Info(TSocksVersion::svSocks5, false), Bytes({5, 0xFF})},
        {"socks5 wants password not offered", Info(TSocksVersion::svSocks5, false), Bytes({5, 2})},
        {"socks5 password refused", Info(TSocksVersion::svSocks5, true), Bytes({5, 2, 1, 1})},
        {"socks5 connect refused", Info(TSocksVersion::svSocks5, false),
         Bytes({5, 0, 5, 5, 0, 1, 0, 0, 0, 0, 0, 0})},
        {"socks5 bad address type", Info(TSocksVersion::svSocks5, false),
         Bytes({5, 0, 5, 0, 0, 9, 0, 0})},
    };
    for (const auto& c : cases) {
        ScriptedIo script;
        script.answers = c.answers;
        EXPECT_THROW(NegotiateSocks(c.info, "h", 21, {1, 2, 3, 4}, script.Io()), EIdSocksError)
            << c.what;
    }
}

}  // namespace
}  // namespace ftp
