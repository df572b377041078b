#include <cerrno>

#include "platform/ftp/id_exceptions.h"
#include "platform/ftp/id_ftp_impl.h"
#include "platform/ftp/id_io_handler_socket.h"
#include "platform/ftp/id_socks_info.h"
#include "platform/ftp/socks_negotiation.h"
#include "platform/ftp/tcp_connector.h"

namespace ftp {

const TIdSocksInfo* TIdFTP::Impl::Socks() const {
    if (!owner_.IOHandler || !owner_.IOHandler->SocksInfo)
        return nullptr;
    const TIdSocksInfo* info = owner_.IOHandler->SocksInfo;
    return info->Version == TSocksVersion::svNoSocks ? nullptr : info;
}

// Opens a TCP connection to host:port, through SOCKS when set. The connection is not yet the
// component's; `current` tells whether the calling operation is still wanted.
std::shared_ptr<SocketChannel> TIdFTP::Impl::OpenConnection(const std::string& host,
                                                            std::uint16_t port, int timeoutMs,
                                                            const std::function<bool()>& current) {
    const TIdSocksInfo* socks = Socks();
    if (!socks) {
        const TcpConnectResult result = ConnectTcp(host, port, timeoutMs, std::nullopt, current);
        return std::make_shared<SocketChannel>(result.fd);
    }
    if (socks->Port <= 0 || socks->Port > 65535)
        throw EIdSocksError("Invalid SOCKS port.");
    std::optional<std::string> alsoResolve;
    if (socks->Version == TSocksVersion::svSocks4)
        alsoResolve = host;
    const TcpConnectResult result = ConnectTcp(socks->Host, static_cast<std::uint16_t>(socks->Port),
                                               timeoutMs, alsoResolve, current);
    auto channel = std::make_shared<SocketChannel>(result.fd);
    ProgressWait wait(timeoutMs, [] { throw EIdConnectTimeout(); });
    auto alive = [channel, &current] { return channel->IsOpen() && current(); };
    SocksIo io;
    io.WriteAll = [&](const std::string& bytes) { WriteAll(channel, bytes, wait, alive, false); };
    io.ReadExact = [&](std::size_t n) { return ReadExact(channel, n, wait, alive); };
    NegotiateSocks(*socks, host, port, result.alsoResolved, io);
    return channel;
}

void TIdFTP::Impl::Connect(bool autoLogin, int timeoutMs) {
    if (connecting_)
        throw EIdAlreadyConnected();
    if (owner_.Connected()) {
        CloseControlWithEvents();
        throw EIdAlreadyConnected();
    }
    const TIdFtpProxySettings& proxy = owner_.ProxySettings;
    if (proxy.ProxyType == TIdFtpProxyType::fpcmHttpProxyWithFtp) {
        throw EIdUnsupportedSetting("The FTP proxy type HttpProxyWithFtp is not supported.");
    }
    if (timeoutMs <= 0)
        throw EIdConnectTimeout();
    const bool viaProxy = proxy.ProxyType != TIdFtpProxyType::fpcmNone && !proxy.Host.empty();
    const std::string host = viaProxy ? proxy.Host : owner_.Host;
    const int port = viaProxy ? proxy.Port : owner_.Port;
    if (port <= 0 || port > 65535)
        throw EIdSocketError(EINVAL, "Invalid port.");

    const std::uint64_t attempt = ++generation_;
    auto stillWanted = [this, attempt] { return generation_ == attempt; };
    connecting_ = true;
    std::shared_ptr<SocketChannel> channel;
    try {
        Status(TIdStatus::hsResolving, "Resolving hostname " + host + ".");
        Status(TIdStatus::hsConnecting, "Connecting to " + host + ".");
        channel = OpenConnection(host, static_cast<std::uint16_t>(port), timeoutMs, stillWanted);
    } catch (...) {
        connecting_ = false;
        throw;
    }
    connecting_ = false;
    if (!stillWanted())
        throw EIdClosedSocket();
    control_ = channel;
    reader_.Clear();
    skipStrayClosingReplies_ = false;
    abortAnsweredAfterReply_ = false;
    closingReplyPending_ = false;
    viaSocks_ = Socks() != nullptr;
    controlTargetHost_ = host;
    owner_.typeSentSinceConnect_ = false;
    owner_.lastReply_ = TIdRFCReply();
    try {
        // From here the greeting is awaited: a handler's command must not take it for its reply.
        Exchange exchange(*this);
        Status(TIdStatus::hsConnected, "Connected.");
        if (owner_.OnConnected)
            owner_.OnConnected();
        // The handler may have closed this connection (and opened another).
        if (control_ != channel)
            throw EIdClosedSocket();
        Expect(ReadReply(), {220});
        if (autoLogin) {
            Login(viaProxy);
            Expect(CommandAnyReply("SYST"), {200, 215, 500});
        }
    } catch (...) {
        // Only the connection this call opened is closed: a nested call may have replaced it.
        if (control_ == channel)
            CloseControlWithEvents();
        throw;
    }
}

// USER (230 or 331), and PASS on 331 (230).
void TIdFTP::Impl::UserPass(const std::string& user, const std::string& password) {
    const TIdRFCReply reply = Command("USER " + user, {230, 331});
    if (reply.NumericCode == 331)
        Command("PASS " + password, {230});
}

void TIdFTP::Impl::Login(bool viaProxy) {
    const TIdFtpProxySettings& proxy = owner_.ProxySettings;
    const std::string& user = owner_.Username;
    const std::string& password = owner_.Password;
    const TIdFtpProxyType type = viaProxy ? proxy.ProxyType : TIdFtpProxyType::fpcmNone;
    auto proxyLogin = [&] {
        if (!proxy.UserName.empty())
            UserPass(proxy.UserName, proxy.Password);
    };
    auto anyPositive = [](const TIdRFCReply& reply) {
        if (reply.NumericCode < 200 || reply.NumericCode >= 400) {
            throw EIdProtocolReplyError(reply.NumericCode, JoinText(reply));
        }
    };
    switch (type) {
        case TIdFtpProxyType::fpcmNone:
            UserPass(user, password);
            break;
        case TIdFtpProxyType::fpcmUserSite:
            proxyLogin();
            UserPass(user + "@" + owner_.Host, password);
            break;
        case TIdFtpProxyType::fpcmSite:
            proxyLogin();
            anyPositive(CommandAnyReply("SITE " + owner_.Host));
            UserPass(user, password);
            break;
        case TIdFtpProxyType::fpcmOpen:
            proxyLogin();
            anyPositive(CommandAnyReply("OPEN " + owner_.Host));
            UserPass(user, password);
            break;
        case TIdFtpProxyType::fpcmUserPass:
            UserPass(user + "@" + proxy.UserName + "@" + owner_.Host,
                     proxy.Password.empty() ? password : password + "@" + proxy.Password);
            break;
        case TIdFtpProxyType::fpcmTransparent:
            proxyLogin();
            UserPass(user, password);
            break;
        case TIdFtpProxyType::fpcmHttpProxyWithFtp:
            throw EIdUnsupportedSetting("The FTP proxy type HttpProxyWithFtp is not supported.");
    }
}

}  // namespace ftp
