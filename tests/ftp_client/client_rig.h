#pragma once
// One FTP client component wired for a test: its I/O handler, SOCKS settings and log intercept
// are owned here, and its events are recorded in order.
#include <string>
#include <vector>

#include "platform/ftp/id_ftp.h"
#include "platform/ftp/id_io_handler_socket.h"
#include "platform/ftp/id_log_event.h"
#include "platform/ftp/id_socks_info.h"
#include "tests/ftp_servers/ftp_account.h"

namespace ftptest {

class ClientRig {
  public:
    // Sets host, port, user and password from the account; passive mode; a read time-out of
    // 10 s so a broken exchange fails instead of hanging the suite.
    explicit ClientRig(const FtpAccount& account);
    ClientRig(const ClientRig&) = delete;
    ClientRig& operator=(const ClientRig&) = delete;

    // Routes control and data connections through a SOCKS server on 127.0.0.1; an empty user
    // means no authentication.
    void UseSocks(ftp::TSocksVersion version, int port, const std::string& user = "",
                  const std::string& password = "");
    // Connects and logs in with a 10 s connect time-out (throws what Connect throws).
    void Login() { ftp.Connect(true, 10000); }

    // The number of whole sent command lines equal to `line` (CR LF added for comparison).
    int SentCount(const std::string& line) const;
    // The number of sent command lines that begin with `prefix`.
    int SentWithPrefix(const std::string& prefix) const;

    ftp::TIdFTP ftp;
    // "status:disconnecting", "disconnected", "status:disconnected", "connected", ... in order.
    std::vector<std::string> events;
    std::string sent;      // everything the intercept saw sent
    std::string received;  // everything the intercept saw received

  private:
    ftp::TIdIOHandlerSocket io_;
    ftp::TIdSocksInfo socks_;
    ftp::TIdLogEvent log_;
};

// The events one disconnect of an open connection fires, in order.
std::vector<std::string> DisconnectEvents();

}  // namespace ftptest
