#pragma once
// The FTP session of a page: the component IdFTP1 with its socket I/O handler, SOCKS settings,
// log intercept and anti-freeze (the message pump of its waits), and the guard that lets one
// exchange at a time use it. The session is the only door to IdFTP1: every exchange of the
// page runs under Guard().
//
// `context` owns the session (the frame); deferred commands of the guard die with it.
#include <optional>
#include <string>

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
    // events note it. A new connection starts in the login folder, which is not known yet.
    void NoteConnected() {
        open_ = true;
        serverFolder_.reset();
    }
    void NoteDisconnected() {
        open_ = false;
        serverFolder_.reset();
    }

    // ---- the server's folder ----
    // A command that names an entry of a listing (CWD into it, DELE, RNFR, RETR, ...) means the
    // entry of the page's folder, so it may go out only while the server is in that folder.
    // The session knows the server's folder from the last CWD whose PWD it was told of; a run
    // that changes folders without telling (transfers of folders) forgets it.
    //
    // The folder the server is known to be in; nothing when not known.
    const std::optional<std::string>& ServerFolder() const { return serverFolder_; }
    // The server reported `folder` (PWD) as its current folder; an empty report is no news.
    void NoteServerFolder(const std::string& folder);
    void ForgetServerFolder() { serverFolder_.reset(); }
    // CWD `folder`. The server's folder is unknown afterwards until its PWD is noted (a relative
    // name, or a server that maps the name, leaves it open). Throws what CWD throws; the
    // folder is then unknown too (a dropped reply may have moved it). The caller holds an
    // exchange.
    void ChangeDir(const std::string& folder);
    // Before a name-based command for an entry of `folder` (the page's folder): CWD `folder`
    // unless the server is known to be in it. Throws what CWD throws. The caller holds an
    // exchange.
    void EnterFolder(const std::string& folder);

  private:
    TExchangeGuard guard_;
    bool open_ = false;
    std::optional<std::string> serverFolder_;
};
