#pragma once
// SOCKS 4, 4A and 5 negotiation on a connection already open to the SOCKS server: the request
// bytes, the checks of the server's answers, and the exchange over caller-supplied I/O.
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/ftp/id_socks_info.h"

namespace ftp {

// SOCKS 4 CONNECT: 04 01, port (big-endian), IPv4 address, user id, NUL.
std::string BuildSocks4Request(const std::array<std::uint8_t, 4>& address, std::uint16_t port,
                               const std::string& userId);
// SOCKS 4A CONNECT: as SOCKS 4 with the address 0.0.0.1, then the host name and NUL.
std::string BuildSocks4ARequest(const std::string& host, std::uint16_t port,
                                const std::string& userId);
// SOCKS 5 method offer: 05 01 00 (no authentication) or 05 02 00 02 (also user/password).
std::string BuildSocks5Greeting(bool offerUserPassword);
// SOCKS 5 user/password sub-negotiation (RFC 1929): 01, length, user, length, password.
std::string BuildSocks5UserPassword(const std::string& user, const std::string& password);
// SOCKS 5 CONNECT: 05 01 00, then 01 and four bytes for an IPv4 literal, or 03, length and the
// name; then the port (big-endian).
std::string BuildSocks5Connect(const std::string& host, std::uint16_t port);

// I/O of the negotiation. ReadExact returns exactly n bytes or throws.
struct SocksIo {
    std::function<void(const std::string& bytes)> WriteAll;
    std::function<std::string(std::size_t n)> ReadExact;
};

// Asks the SOCKS server to connect to host:port. SOCKS 4 needs `resolvedAddress`, the host's
// IPv4 address resolved by the caller. Throws EIdSocksError when the server refuses or answers
// out of protocol, or a user name, password or host does not fit the protocol's fields.
void NegotiateSocks(const TIdSocksInfo& info, const std::string& host, std::uint16_t port,
                    const std::array<std::uint8_t, 4>& resolvedAddress, const SocksIo& io);

}  // namespace ftp
