#pragma once
// The FTP session of a page: the component IdFTP1 with its socket I/O handler, SOCKS settings,
// log intercept and anti-freeze (the message pump of its waits), and the guard that lets one
// exchange at a time use it. The session is the only door to IdFTP1: every exchange of the
// page runs under Guard().
//
// `context` owns the session (the frame); deferred commands of the guard die with it.
#include "connection/exchange_guard.h"
#include "platform/ftp/id_anti_freeze.h"
#include "platform/ftp/id_ftp.h"
#include "platform/ftp/id_io_handler_socket.h"
#include "platform/ftp/id_log_event.h"
#include "platform/ftp/id_socks_info.h"

class TPageSession {
  public:
    explicit TPageSession(QObject& context);
    TPageSession(const TPageSession&) = delete;
    TPageSession& operator=(const TPageSession&) = delete;

    ftp::TIdFTP IdFTP1;
    ftp::TIdIOHandlerSocket IdIOHandlerSocket1;
    ftp::TIdSocksInfo IdSocksInfo1;
    ftp::TIdLogEvent IdLogEvent1;
    ftp::TIdAntiFreeze IdAntiFreeze1;

    TExchangeGuard& Guard() { return guard_; }

    // Whether the control connection is open. While an exchange waits it is not asked (a
    // question to the socket in the middle of someone else's reply helps nobody): the answer
    // is then the state the last exchange left, which a dropped connection has already
    // changed through the component's events.
    bool Connected();
    // Closes the connection without QUIT; an error there is passed over (the socket goes
    // either way). Allowed during an exchange: the waiting call then fails.
    void Disconnect();
    // What Connected() answers during a wait: the component's connected and disconnected
    // events note it.
    void NoteConnected() { open_ = true; }
    void NoteDisconnected() { open_ = false; }

  private:
    TExchangeGuard guard_;
    bool open_ = false;
};
