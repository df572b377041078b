#pragma once
// SOCKS settings of the socket I/O handler. They apply to the control connection and to every
// passive data connection; active mode through SOCKS is refused.
#include <string>

namespace ftp {

enum class TSocksVersion { svNoSocks, svSocks4, svSocks4A, svSocks5 };

enum class TSocksAuthentication { saNoAuthentication, saUsernamePassword };

// Plain settings; read at every connect. SOCKS 4 and 4A send Username as the user id when the
// authentication is saUsernamePassword (else an empty user id). SOCKS 4 resolves the target name
// locally; SOCKS 4A and 5 hand names to the proxy (SOCKS 5 sends an IPv4 literal as an address).
class TIdSocksInfo {
  public:
    TSocksVersion Version = TSocksVersion::svNoSocks;
    std::string Host;
    int Port = 1080;
    TSocksAuthentication Authentication = TSocksAuthentication::saNoAuthentication;
    std::string Username;
    std::string Password;
};

}  // namespace ftp
