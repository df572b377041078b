#include "platform/ftp/socks_negotiation.h"

#include <arpa/inet.h>

#include "platform/ftp/id_exceptions.h"

namespace ftp {

namespace {

void AppendPort(std::string& out, std::uint16_t port) {
    out.push_back(static_cast<char>(port >> 8));
    out.push_back(static_cast<char>(port & 0xFF));
}

// User ids and names travel NUL-terminated in SOCKS 4; an inner NUL would end them early and
// let the rest be read as another field.
void CheckNoNul(const std::string& text, const char* what) {
    if (text.find('\0') != std::string::npos) {
        throw EIdSocksError(std::string("SOCKS ") + what + " contains a NUL byte.");
    }
}

std::string Socks4UserId(const TIdSocksInfo& info) {
    return info.Authentication == TSocksAuthentication::saUsernamePassword ? info.Username
                                                                           : std::string();
}

void CheckSocks4Reply(const std::string& reply) {
    if (static_cast<unsigned char>(reply[0]) != 0) {
        throw EIdSocksError("Invalid reply from the SOCKS server.");
    }
    switch (static_cast<unsigned char>(reply[1])) {
        case 90:
            return;
        case 91:
            throw EIdSocksError("SOCKS server: request rejected or failed.");
        case 92:
            throw EIdSocksError(
                "SOCKS server: request rejected, the client's identd is unreachable.");
        case 93:
            throw EIdSocksError("SOCKS server: request rejected, the user id does not match.");
        default:
            throw EIdSocksError("Invalid reply from the SOCKS server.");
    }
}

const char* Socks5ReplyText(unsigned code) {
    switch (code) {
        case 1:
            return "SOCKS server: general failure.";
        case 2:
            return "SOCKS server: connection not allowed by the rule set.";
        case 3:
            return "SOCKS server: network unreachable.";
        case 4:
            return "SOCKS server: host unreachable.";
        case 5:
            return "SOCKS server: connection refused.";
        case 6:
            return "SOCKS server: TTL expired.";
        case 7:
            return "SOCKS server: command not supported.";
        case 8:
            return "SOCKS server: address type not supported.";
        default:
            return "SOCKS server: unknown error.";
    }
}

void NegotiateSocks5(const TIdSocksInfo& info, const std::string& host, std::uint16_t port,
                     const SocksIo& io) {
    const bool withPassword = info.Authentication == TSocksAuthentication::saUsernamePassword;
    const std::string connect = BuildSocks5Connect(host, port);  // checks the name first
    io.WriteAll(BuildSocks5Greeting(withPassword));
    const std::string choice = io.ReadExact(2);
    if (static_cast<unsigned char>(choice[0]) != 5) {
        throw EIdSocksError("Invalid reply from the SOCKS server.");
    }
    const unsigned method = static_cast<unsigned char>(choice[1]);
    if (method == 2 && withPassword) {
        io.WriteAll(BuildSocks5UserPassword(info.Username, info.Password));
        const std::string status = io.ReadExact(2);
        if (static_cast<unsigned char>(status[1]) != 0) {
            throw EIdSocksError("SOCKS server: authentication failed.");
        }
    } else if (method != 0) {
        throw EIdSocksError("SOCKS server: no acceptable authentication method.");
    }
    io.WriteAll(connect);
    const std::string head = io.ReadExact(4);
    if (static_cast<unsigned char>(head[0]) != 5) {
        throw EIdSocksError("Invalid reply from the SOCKS server.");
    }
    if (head[1] != 0)
        throw EIdSocksError(Socks5ReplyText(static_cast<unsigned char>(head[1])));
    // The bound address follows; its length depends on its type.
    std::size_t addressLength = 0;
    switch (static_cast<unsigned char>(head[3])) {
        case 1:
            addressLength = 4;
            break;
        case 4:
            addressLength = 16;
            break;
        case 3:
            addressLength = static_cast<unsigned char>(io.ReadExact(1)[0]);
            break;
        default:
            throw EIdSocksError("Invalid reply from the SOCKS server.");
    }
    io.ReadExact(addressLength + 2);
}

}  // namespace

std::string BuildSocks4Request(const std::array<std::uint8_t, 4>& address, std::uint16_t port,
                               const std::string& userId) {
    CheckNoNul(userId, "user name");
    std::string out = {4, 1};
    AppendPort(out, port);
    for (std::uint8_t byte : address)
        out.push_back(static_cast<char>(byte));
    out += userId;
    out.push_back('\0');
    return out;
}

std::string BuildSocks4ARequest(const std::string& host, std::uint16_t port,
                                const std::string& userId) {
    CheckNoNul(host, "host name");
    if (host.empty())
        throw EIdSocksError("SOCKS host name is empty.");
    std::string out = BuildSocks4Request({0, 0, 0, 1}, port, userId);
    out += host;
    out.push_back('\0');
    return out;
}

std::string BuildSocks5Greeting(bool offerUserPassword) {
    return offerUserPassword ? std::string("\x05\x02\x00\x02", 4) : std::string("\x05\x01\x00", 3);
}

std::string BuildSocks5UserPassword(const std::string& user, const std::string& password) {
    if (user.size() > 255 || password.size() > 255) {
        throw EIdSocksError("SOCKS user name or password is longer than 255 bytes.");
    }
    std::string out(1, '\x01');
    out.push_back(static_cast<char>(user.size()));
    out += user;
    out.push_back(static_cast<char>(password.size()));
    out += password;
    return out;
}

std::string BuildSocks5Connect(const std::string& host, std::uint16_t port) {
    std::string out("\x05\x01\x00", 3);
    in_addr address{};
    if (inet_pton(AF_INET, host.c_str(), &address) == 1) {
        out.push_back('\x01');
        out.append(reinterpret_cast<const char*>(&address.s_addr), 4);
    } else {
        if (host.empty() || host.size() > 255) {
            throw EIdSocksError("SOCKS host name must be 1 to 255 bytes long.");
        }
        out.push_back('\x03');
        out.push_back(static_cast<char>(host.size()));
        out += host;
    }
    AppendPort(out, port);
    return out;
}

void NegotiateSocks(const TIdSocksInfo& info, const std::string& host, std::uint16_t port,
                    const std::array<std::uint8_t, 4>& resolvedAddress, const SocksIo& io) {
    switch (info.Version) {
        case TSocksVersion::svNoSocks:
            return;
        case TSocksVersion::svSocks4:
            io.WriteAll(BuildSocks4Request(resolvedAddress, port, Socks4UserId(info)));
            CheckSocks4Reply(io.ReadExact(8));
            return;
        case TSocksVersion::svSocks4A:
            io.WriteAll(BuildSocks4ARequest(host, port, Socks4UserId(info)));
            CheckSocks4Reply(io.ReadExact(8));
            return;
        case TSocksVersion::svSocks5:
            NegotiateSocks5(info, host, port, io);
            return;
    }
}

}  // namespace ftp
