#pragma once
// TCP connect while the calling thread pumps messages: to a numeric address on the calling
// thread itself, to a name (resolved, which may block) in a short-lived worker thread. IPv4 only:
// the data connection commands (PASV, PORT) carry IPv4 addresses.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace ftp {

struct TcpConnectResult {
    int fd = -1;  // connected descriptor, owned by the caller from now on
    // The IPv4 address of `alsoResolve`, when it was asked for.
    std::array<std::uint8_t, 4> alsoResolved{};
};

// Connects to host:port. timeoutMs bounds the whole wait (0 or less: no limit besides the
// system's own). When alsoResolve is given, the worker also resolves that name (for SOCKS 4).
// Throws EIdConnectTimeout, EIdSocketError (resolution or connect failed), or EIdClosedSocket
// when stillCurrent turns false after a pump. A worker still running after a failure closes its
// descriptor itself when it ends.
TcpConnectResult ConnectTcp(const std::string& host, std::uint16_t port, int timeoutMs,
                            const std::optional<std::string>& alsoResolve,
                            const std::function<bool()>& stillCurrent);

}  // namespace ftp
