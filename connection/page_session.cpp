#include "connection/page_session.h"

#include "platform/ui/message_pump.h"
#include "platform/ui/message_wait.h"

TPageSession::TPageSession(QObject& context) : guard_(context) {
    IdIOHandlerSocket1.SocksInfo = &IdSocksInfo1;
    IdFTP1.IOHandler = &IdIOHandlerSocket1;
    IdFTP1.Intercept = &IdLogEvent1;
    IdAntiFreeze1.OnIdle = ui::MessagePump();
    IdAntiFreeze1.OnWait = ui::MessageWait();
}

bool TPageSession::Connected() {
    if (guard_.Busy())
        return open_;
    open_ = IdFTP1.Connected();
    return open_;
}

void TPageSession::Disconnect() {
    open_ = false;
    serverFolder_.reset();
    try {
        IdFTP1.Disconnect();
    } catch (...) {
        // No QUIT is sent; whatever the close reports, the connection is gone.
    }
}

void TPageSession::NoteServerFolder(const std::string& folder) {
    if (folder.empty())
        serverFolder_.reset();
    else
        serverFolder_ = folder;
}

void TPageSession::ChangeDir(const std::string& folder) {
    serverFolder_.reset();
    IdFTP1.ChangeDir(folder);
}

void TPageSession::EnterFolder(const std::string& folder) {
    if (serverFolder_ && *serverFolder_ == folder)
        return;
    ChangeDir(folder);
    // An absolute folder as PWD gave it: the server is in it now.
    NoteServerFolder(folder);
}
