#pragma once
// Address arguments of PASV replies and PORT commands (h1,h2,h3,h4,p1,p2).
#include <cstdint>
#include <string>

namespace ftp {

struct HostPort {
    std::string host;  // dotted IPv4
    std::uint16_t port = 0;
};

// Finds the first run of six comma-separated numbers in a 227 reply's text, each 0..255.
// Throws EIdReplyFormatError when there is none.
HostPort ParsePasvReply(const std::string& text);

// "h1,h2,h3,h4,p1,p2" for a dotted IPv4 address and a port. Throws EIdSocketError when the
// address is not dotted IPv4.
std::string FormatPortArgument(const std::string& ipv4, std::uint16_t port);

}  // namespace ftp
