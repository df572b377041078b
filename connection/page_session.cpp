#include "connection/page_session.h"

#include "platform/ui/message_pump.h"

TPageSession::TPageSession(QObject& context) : guard_(context) {
    IdIOHandlerSocket1.SocksInfo = &IdSocksInfo1;
    IdFTP1.IOHandler = &IdIOHandlerSocket1;
    IdFTP1.Intercept = &IdLogEvent1;
    IdAntiFreeze1.OnIdle = ui::MessagePump();
}

bool TPageSession::Connected() {
    if (guard_.Busy())
        return open_;
    open_ = IdFTP1.Connected();
    return open_;
}

void TPageSession::Disconnect() {
    open_ = false;
    try {
        IdFTP1.Disconnect();
    } catch (...) {
        // No QUIT is sent; whatever the close reports, the connection is gone.
    }
}
