#include "tests/ftp_client/client_rig.h"

namespace ftptest {

namespace {

const char* StatusName(ftp::TIdStatus status) {
    switch (status) {
        case ftp::TIdStatus::hsResolving:
            return "status:resolving";
        case ftp::TIdStatus::hsConnecting:
            return "status:connecting";
        case ftp::TIdStatus::hsConnected:
            return "status:connected";
        case ftp::TIdStatus::hsDisconnecting:
            return "status:disconnecting";
        case ftp::TIdStatus::hsDisconnected:
            return "status:disconnected";
        case ftp::TIdStatus::hsStatusText:
            return "status:text";
    }
    return "status:?";
}

}  // namespace

ClientRig::ClientRig(const FtpAccount& account) {
    ftp.Host = account.host;
    ftp.Port = account.port;
    ftp.Username = account.user;
    ftp.Password = account.password;
    ftp.Passive = true;
    ftp.ReadTimeout = 10000;
    ftp.IOHandler = &io_;
    ftp.Intercept = &log_;
    log_.OnSent = [this](const std::string& text) { sent += text; };
    log_.OnReceived = [this](const std::string& text) { received += text; };
    ftp.OnConnected = [this] { events.push_back("connected"); };
    ftp.OnDisconnected = [this] { events.push_back("disconnected"); };
    ftp.OnStatus = [this](ftp::TIdStatus status, const std::string&) {
        // Only the states around a disconnect are asserted; progress notes are not.
        if (status == ftp::TIdStatus::hsDisconnecting || status == ftp::TIdStatus::hsDisconnected) {
            events.push_back(StatusName(status));
        }
    };
}

void ClientRig::UseSocks(ftp::TSocksVersion version, int port, const std::string& user,
                         const std::string& password) {
    socks_.Version = version;
    socks_.Host = "127.0.0.1";
    socks_.Port = port;
    socks_.Authentication = user.empty() ? ftp::TSocksAuthentication::saNoAuthentication
                                         : ftp::TSocksAuthentication::saUsernamePassword;
    socks_.Username = user;
    socks_.Password = password;
    io_.SocksInfo = &socks_;
}

int ClientRig::SentCount(const std::string& line) const {
    const std::string whole = line + "\r\n";
    int count = 0;
    std::size_t at = 0;
    while ((at = sent.find(whole, at)) != std::string::npos) {
        if (at == 0 || sent[at - 1] == '\n') {
            ++count;
        }
        at += whole.size();
    }
    return count;
}

int ClientRig::SentWithPrefix(const std::string& prefix) const {
    int count = 0;
    for (std::size_t at = 0; at < sent.size();) {
        const std::size_t end = sent.find('\n', at);
        if (sent.compare(at, prefix.size(), prefix) == 0) {
            ++count;
        }
        at = end == std::string::npos ? sent.size() : end + 1;
    }
    return count;
}

std::vector<std::string> DisconnectEvents() {
    return {"status:disconnecting", "disconnected", "status:disconnected"};
}

}  // namespace ftptest
