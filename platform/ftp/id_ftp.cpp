#include "platform/ftp/id_ftp.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <initializer_list>

#include "platform/ftp/command_line.h"
#include "platform/ftp/id_exceptions.h"
#include "platform/ftp/id_io_handler_socket.h"
#include "platform/ftp/id_log_event.h"
#include "platform/ftp/id_socks_info.h"
#include "platform/ftp/list_parser.h"
#include "platform/ftp/pasv_reply.h"
#include "platform/ftp/progress_wait.h"
#include "platform/ftp/reply_reader.h"
#include "platform/ftp/socket_channel.h"
#include "platform/ftp/socks_negotiation.h"
#include "platform/ftp/tcp_connector.h"

namespace ftp {

namespace {

constexpr int kDefaultBufferSize = 65536;
constexpr int kMinBufferSize = 512;
constexpr int kMaxBufferSize = 4 * 1024 * 1024;
// Bounds of one listing: no server folder needs more, and a hostile server cannot make the
// component hold unbounded memory.
constexpr std::size_t kMaxListingBytes = 256u * 1024 * 1024;
constexpr std::size_t kMaxListingLine = 64 * 1024;

bool IsOneOf(int code, std::initializer_list<int> accepted) {
    return std::find(accepted.begin(), accepted.end(), code) != accepted.end();
}

std::string JoinText(const TIdRFCReply& reply) {
    std::string text;
    for (std::size_t i = 0; i < reply.Text.size(); ++i) {
        if (i)
            text += "\n";
        text += reply.Text[i];
    }
    return text;
}

// A local file descriptor that closes itself.
class LocalFile {
  public:
    explicit LocalFile(int fd) : fd_(fd) {}
    ~LocalFile() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    LocalFile(const LocalFile&) = delete;
    LocalFile& operator=(const LocalFile&) = delete;
    int Fd() const { return fd_; }

  private:
    int fd_;
};

std::string LocalErrorText(const char* what, const std::string& path) {
    return std::string(what) + " \"" + path + "\": " + std::strerror(errno);
}

}  // namespace

// The connections and the protocol machinery behind TIdFTP's settings and results.
class TIdFTP::Impl {
  public:
    explicit Impl(TIdFTP& owner) : owner_(owner) {}

    TIdFTP& owner_;
    std::shared_ptr<SocketChannel> control_;
    std::shared_ptr<SocketChannel> data_;      // the open data connection, if any
    std::shared_ptr<SocketChannel> listener_;  // active mode, between PORT and accept
    ReplyReader reader_;
    // Counts connect attempts and closes; a connect in progress that sees it change was cancelled
    // by a nested call.
    std::uint64_t generation_ = 0;
    bool connecting_ = false;
    // Where data connections go through SOCKS: the server the control connection was asked for.
    bool viaSocks_ = false;
    std::string controlTargetHost_;

    // ---- liveness ----
    std::function<bool()> ControlCurrent(const std::shared_ptr<SocketChannel>& control) {
        return [this, control] { return control_ == control && control->IsOpen(); };
    }
    std::function<bool()> DataCurrent(const std::shared_ptr<SocketChannel>& control,
                                      const std::shared_ptr<SocketChannel>& data) {
        return [this, control, data] {
            return control_ == control && control->IsOpen() && data_ == data && data->IsOpen();
        };
    }

    std::shared_ptr<SocketChannel> RequireControl() {
        if (!control_ || !control_->IsOpen())
            throw EIdNotConnected();
        return control_;
    }

    ProgressWait ReadWait() const {
        return ProgressWait(owner_.ReadTimeout, [] { throw EIdReadTimeout(); });
    }

    // ---- closing ----
    void CloseData() {
        if (data_)
            data_->Close();
        data_.reset();
        if (listener_)
            listener_->Close();
        listener_.reset();
    }

    void CloseControlWithEvents() {
        const bool wasOpen = control_ && control_->IsOpen();
        if (!wasOpen) {
            CloseData();
            control_.reset();
            reader_.Clear();
            return;
        }
        Status(TIdStatus::hsDisconnecting, "Disconnecting.");
        CloseData();
        control_->Close();
        control_.reset();
        reader_.Clear();
        ++generation_;
        if (owner_.OnDisconnected)
            owner_.OnDisconnected();
        Status(TIdStatus::hsDisconnected, "Disconnected.");
    }

    [[noreturn]] void ServerClosed() {
        CloseControlWithEvents();
        throw EIdConnClosedGracefully();
    }

    void Status(TIdStatus status, const std::string& text) {
        if (owner_.OnStatus)
            owner_.OnStatus(status, text);
    }

    // ---- control connection I/O ----
    void WriteAll(const std::shared_ptr<SocketChannel>& channel, const std::string& bytes,
                  ProgressWait& wait, const std::function<bool()>& current, bool isControl) {
        std::size_t sent = 0;
        while (sent < bytes.size()) {
            if (!current())
                throw EIdClosedSocket();
            const ssize_t n = channel->TrySend(bytes.data() + sent, bytes.size() - sent);
            if (n < 0) {
                if (isControl)
                    ServerClosed();
                throw EIdClosedSocket();
            }
            if (n > 0) {
                sent += static_cast<std::size_t>(n);
                wait.Progress();
                continue;
            }
            wait.Step(channel->Fd(), POLLOUT, current);
        }
    }

    void SendLine(const std::string& text) {
        const std::string line = BuildCommandLine(text);
        const auto control = RequireControl();
        ProgressWait wait = ReadWait();
        WriteAll(control, line, wait, ControlCurrent(control), true);
        if (owner_.Intercept && owner_.Intercept->OnSent)
            owner_.Intercept->OnSent(line);
    }

    // Moves what the control socket holds into the reply reader. Returns false at end of stream.
    bool ReceiveControlChunk(const std::shared_ptr<SocketChannel>& control, ssize_t& got) {
        char buffer[4096];
        got = control->TryRecv(buffer, sizeof buffer);
        if (got == 0)
            return false;
        if (got > 0) {
            const std::string chunk(buffer, static_cast<std::size_t>(got));
            if (owner_.Intercept && owner_.Intercept->OnReceived) {
                owner_.Intercept->OnReceived(chunk);
            }
            FeedReader(chunk);
        }
        return true;
    }

    void FeedReader(const std::string& chunk) {
        try {
            reader_.Feed(chunk);
        } catch (const EIdReplyFormatError&) {
            // The control stream cannot be followed any more: close it before reporting.
            CloseControlWithEvents();
            throw;
        }
    }

    std::optional<TIdRFCReply> TakeReply() {
        try {
            return reader_.TakeReply();
        } catch (const EIdReplyFormatError&) {
            CloseControlWithEvents();
            throw;
        }
    }

    TIdRFCReply ReadReply() {
        const auto control = RequireControl();
        const auto current = ControlCurrent(control);
        ProgressWait wait = ReadWait();
        for (;;) {
            if (!current())
                throw EIdClosedSocket();
            if (auto reply = TakeReply()) {
                owner_.lastReply_ = *reply;
                return *reply;
            }
            ssize_t got = 0;
            if (!ReceiveControlChunk(control, got))
                ServerClosed();
            if (got > 0) {
                wait.Progress();
                continue;
            }
            wait.Step(control->Fd(), POLLIN, current);
        }
    }

    TIdRFCReply Expect(const TIdRFCReply& reply, std::initializer_list<int> accepted) {
        if (!IsOneOf(reply.NumericCode, accepted)) {
            throw EIdProtocolReplyError(reply.NumericCode, JoinText(reply));
        }
        return reply;
    }

    TIdRFCReply Command(const std::string& text, std::initializer_list<int> accepted) {
        SendLine(text);
        return Expect(ReadReply(), accepted);
    }

    TIdRFCReply CommandAnyReply(const std::string& text) {
        SendLine(text);
        return ReadReply();
    }

    // ---- connecting ----
    const TIdSocksInfo* Socks() const {
        if (!owner_.IOHandler || !owner_.IOHandler->SocksInfo)
            return nullptr;
        const TIdSocksInfo* info = owner_.IOHandler->SocksInfo;
        return info->Version == TSocksVersion::svNoSocks ? nullptr : info;
    }

    // Opens a TCP connection to host:port, through SOCKS when set. The connection is not yet the
    // component's; `current` tells whether the calling operation is still wanted.
    std::shared_ptr<SocketChannel> OpenConnection(const std::string& host, std::uint16_t port,
                                                  int timeoutMs,
                                                  const std::function<bool()>& current) {
        const TIdSocksInfo* socks = Socks();
        if (!socks) {
            const TcpConnectResult result =
                ConnectTcp(host, port, timeoutMs, std::nullopt, current);
            return std::make_shared<SocketChannel>(result.fd);
        }
        if (socks->Port <= 0 || socks->Port > 65535)
            throw EIdSocksError("Invalid SOCKS port.");
        std::optional<std::string> alsoResolve;
        if (socks->Version == TSocksVersion::svSocks4)
            alsoResolve = host;
        const TcpConnectResult result = ConnectTcp(
            socks->Host, static_cast<std::uint16_t>(socks->Port), timeoutMs, alsoResolve, current);
        auto channel = std::make_shared<SocketChannel>(result.fd);
        ProgressWait wait(timeoutMs, [] { throw EIdConnectTimeout(); });
        auto alive = [channel, &current] { return channel->IsOpen() && current(); };
        SocksIo io;
        io.WriteAll = [&](const std::string& bytes) {
            WriteAll(channel, bytes, wait, alive, false);
        };
        io.ReadExact = [&](std::size_t n) { return ReadExact(channel, n, wait, alive); };
        NegotiateSocks(*socks, host, port, result.alsoResolved, io);
        return channel;
    }

    std::string ReadExact(const std::shared_ptr<SocketChannel>& channel, std::size_t n,
                          ProgressWait& wait, const std::function<bool()>& current) {
        std::string bytes;
        char buffer[512];
        while (bytes.size() < n) {
            if (!current())
                throw EIdClosedSocket();
            const ssize_t got = channel->TryRecv(buffer, std::min(sizeof buffer, n - bytes.size()));
            if (got == 0)
                throw EIdSocksError("The SOCKS server closed the connection.");
            if (got > 0) {
                bytes.append(buffer, static_cast<std::size_t>(got));
                wait.Progress();
                continue;
            }
            wait.Step(channel->Fd(), POLLIN, current);
        }
        return bytes;
    }

    void Connect(bool autoLogin, int timeoutMs) {
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
            channel =
                OpenConnection(host, static_cast<std::uint16_t>(port), timeoutMs, stillWanted);
        } catch (...) {
            connecting_ = false;
            throw;
        }
        connecting_ = false;
        if (!stillWanted())
            throw EIdClosedSocket();
        control_ = channel;
        reader_.Clear();
        viaSocks_ = Socks() != nullptr;
        controlTargetHost_ = host;
        owner_.typeSentSinceConnect_ = false;
        owner_.lastReply_ = TIdRFCReply();
        try {
            Status(TIdStatus::hsConnected, "Connected.");
            if (owner_.OnConnected)
                owner_.OnConnected();
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
    void UserPass(const std::string& user, const std::string& password) {
        const TIdRFCReply reply = Command("USER " + user, {230, 331});
        if (reply.NumericCode == 331)
            Command("PASS " + password, {230});
    }

    void Login(bool viaProxy) {
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
                throw EIdUnsupportedSetting(
                    "The FTP proxy type HttpProxyWithFtp is not supported.");
        }
    }

    bool Connected() {
        if (!control_ || !control_->IsOpen())
            return false;
        const auto control = control_;
        // Take in what the server sent meanwhile; a read of 0 bytes means it closed.
        for (int i = 0; i < 64; ++i) {
            ssize_t got = 0;
            bool open = false;
            try {
                open = ReceiveControlChunk(control, got);
            } catch (const EIdReplyFormatError&) {
                return false;  // the reader's failure already closed the connection
            } catch (const EIdSocketError&) {
                open = false;
            }
            if (control_ != control)
                return control_ && control_->IsOpen();
            if (!open) {
                CloseControlWithEvents();
                return false;
            }
            if (got < 0)
                break;
        }
        return true;
    }

    // ---- data connections ----
    int BufferSize(int requested) const { return TIdFTP::EffectiveBufferSize(requested); }

    // PASV and connect, or listen and PORT. Leaves data_ (passive) or listener_ (active) set.
    void PrepareDataConnection() {
        const auto control = RequireControl();
        CloseData();
        if (owner_.Passive) {
            const TIdRFCReply reply = Command("PASV", {227});
            const HostPort offered = ParsePasvReply(JoinText(reply));
            if (offered.port == 0)
                throw EIdReplyFormatError("Invalid PASV reply: port 0.");
            std::string host;
            if (viaSocks_) {
                host = controlTargetHost_;
            } else {
                host = control->PeerAddress();
                if (host.empty())
                    host = offered.host;
            }
            if (offered.host != host && !viaSocks_) {
                Status(TIdStatus::hsStatusText, "PASV reply named " + offered.host +
                                                    "; connecting to the server's address " + host +
                                                    " instead.");
            }
            const int timeout = owner_.ReadTimeout > 0 ? owner_.ReadTimeout : 0;
            auto channel = OpenConnection(host, offered.port, timeout, ControlCurrent(control));
            if (!ControlCurrent(control)())
                throw EIdClosedSocket();
            data_ = channel;
            return;
        }
        if (Socks()) {
            throw EIdSocksError(
                "Active mode (PORT) is not possible through a SOCKS proxy; use passive mode.");
        }
        const std::string localAddress = control->LocalAddress();
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            throw EIdSocketError(errno, SocketErrorText(errno));
        auto listener = std::make_shared<SocketChannel>(fd);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = 0;
        inet_pton(AF_INET, localAddress.c_str(), &address.sin_addr);
        if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(fd, 1) != 0) {
            throw EIdSocketError(errno, SocketErrorText(errno));
        }
        socklen_t length = sizeof address;
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
        listener_ = listener;
        Command("PORT " + FormatPortArgument(localAddress, ntohs(address.sin_port)), {200});
    }

    // After the opening reply of active mode: takes the server's connection.
    void AcceptDataConnection() {
        if (data_)
            return;
        const auto control = RequireControl();
        const auto listener = listener_;
        if (!listener)
            throw EIdClosedSocket();
        auto current = [this, control, listener] {
            return control_ == control && control->IsOpen() && listener_ == listener &&
                   listener->IsOpen();
        };
        ProgressWait wait = ReadWait();
        for (;;) {
            if (!current())
                throw EIdClosedSocket();
            const int fd = listener->TryAccept();
            if (fd >= 0) {
                data_ = std::make_shared<SocketChannel>(fd);
                listener->Close();
                listener_.reset();
                return;
            }
            wait.Step(listener->Fd(), POLLIN, current);
        }
    }

    // Opens the data connection, sends the optional restart and the transfer command, reads the
    // opening reply and, in active mode, accepts. Returns the data connection.
    std::shared_ptr<SocketChannel> StartTransfer(const std::string& restart,
                                                 const std::string& command,
                                                 std::initializer_list<int> opening) {
        PrepareDataConnection();
        if (!restart.empty())
            Command(restart, {350});
        Command(command, opening);
        AcceptDataConnection();
        return data_;
    }

    // Closing reply of a transfer: 225, 226 or 250. 426 and 450 report a failed transfer; the
    // follow-up reply some servers send after them is read so the next command gets its own.
    void FinishTransfer() {
        const TIdRFCReply reply = ReadReply();
        if (IsOneOf(reply.NumericCode, {225, 226, 250}))
            return;
        if (IsOneOf(reply.NumericCode, {426, 450})) {
            const TIdRFCReply follow = ReadReply();
            owner_.lastReply_ = reply;  // report the failure, not the follow-up
            (void)follow;
        }
        throw EIdProtocolReplyError(reply.NumericCode, JoinText(reply));
    }

    // Receives the data connection into `sink` until the server closes it.
    template <typename Sink>
    void ReceiveData(const std::shared_ptr<SocketChannel>& data, Sink&& sink) {
        const auto control = RequireControl();
        const auto current = DataCurrent(control, data);
        std::vector<char> buffer(static_cast<std::size_t>(BufferSize(owner_.RecvBufferSize)));
        ProgressWait wait = ReadWait();
        std::int64_t total = 0;
        for (;;) {
            if (!current())
                throw EIdClosedSocket();
            const ssize_t got = data->TryRecv(buffer.data(), buffer.size());
            if (got == 0)
                break;
            if (got > 0) {
                sink(buffer.data(), static_cast<std::size_t>(got));
                total += got;
                wait.Progress();
                if (owner_.OnWork)
                    owner_.OnWork(TWorkMode::wmRead, total);
                continue;
            }
            wait.Step(data->Fd(), POLLIN, current);
        }
        data->Close();
        if (data_ == data)
            data_.reset();
    }

    // Runs a data transfer with work-begin before and work-end after (also on failure).
    template <typename Body>
    void WithWork(TWorkMode mode, std::int64_t expected, Body&& body) {
        if (owner_.OnWorkBegin)
            owner_.OnWorkBegin(mode, expected);
        try {
            body();
        } catch (...) {
            // The data connection of a failed transfer is of no further use.
            CloseData();
            if (owner_.OnWorkEnd)
                owner_.OnWorkEnd(mode);
            throw;
        }
        if (owner_.OnWorkEnd)
            owner_.OnWorkEnd(mode);
    }

    void List(std::vector<std::string>& lines, const std::string& specifier, bool details) {
        lines.clear();
        owner_.listing_.clear();
        std::string command = details ? "LIST" : "NLST";
        if (!specifier.empty())
            command += " " + specifier;
        BuildCommandLine(command);  // refuse a bad specifier before the data connection
        RequireControl();
        std::string pending;
        std::size_t totalBytes = 0;
        WithWork(TWorkMode::wmRead, 0, [&] {
            const auto data = StartTransfer(std::string(), command, {125, 150, 154});
            ReceiveData(data, [&](const char* bytes, std::size_t size) {
                totalBytes += size;
                if (totalBytes > kMaxListingBytes) {
                    throw EIdReplyFormatError("Listing too long.");
                }
                for (std::size_t i = 0; i < size; ++i) {
                    if (bytes[i] == '\n') {
                        if (!pending.empty() && pending.back() == '\r')
                            pending.pop_back();
                        lines.push_back(std::move(pending));
                        pending.clear();
                    } else {
                        if (pending.size() >= kMaxListingLine) {
                            throw EIdReplyFormatError("Listing line too long.");
                        }
                        pending.push_back(bytes[i]);
                    }
                }
            });
            FinishTransfer();
        });
        if (!pending.empty()) {
            if (pending.back() == '\r')
                pending.pop_back();
            lines.push_back(std::move(pending));
        }
        if (details)
            owner_.listing_ = ParseListing(lines, os::Now());
    }

    void Get(const std::string& remote, const std::string& localPath, bool overwrite, bool resume) {
        BuildCommandLine("RETR " + remote);
        RequireControl();
        struct stat info {};
        const bool exists = ::stat(localPath.c_str(), &info) == 0;
        if (resume && exists && !owner_.resumeProbed_) {
            const TIdRFCReply probe = CommandAnyReply("REST 1");
            owner_.canResume_ = probe.NumericCode == 350;
            CommandAnyReply("REST 0");
            owner_.resumeProbed_ = true;
        }
        const bool resumeTakesPlace = resume && owner_.canResume_;
        int flags = O_WRONLY | O_CREAT | O_CLOEXEC;
        bool truncateOnStart = false;
        if (exists) {
            if (overwrite && !resumeTakesPlace) {
                // Emptied only once the server has agreed to send the file, so a refused RETR
                // does not destroy the local copy.
                truncateOnStart = true;
            } else if (resumeTakesPlace && !overwrite) {
                flags |= O_APPEND;
            } else {
                throw EIdFTPFileAlreadyExists();
            }
        }
        LocalFile file(::open(localPath.c_str(), flags, 0644));
        if (file.Fd() < 0)
            throw EIdLocalFileError(LocalErrorText("Cannot open file", localPath));
        std::string restart;
        if (exists && resumeTakesPlace) {
            struct stat opened {};
            if (::fstat(file.Fd(), &opened) != 0) {
                throw EIdLocalFileError(LocalErrorText("Cannot read file", localPath));
            }
            restart = "REST " + std::to_string(static_cast<long long>(opened.st_size));
        }
        WithWork(TWorkMode::wmRead, 0, [&] {
            const auto data = StartTransfer(restart, "RETR " + remote, {125, 150, 154});
            if (truncateOnStart && ::ftruncate(file.Fd(), 0) != 0) {
                throw EIdLocalFileError(LocalErrorText("Cannot write file", localPath));
            }
            ReceiveData(data, [&](const char* bytes, std::size_t size) {
                while (size > 0) {
                    const ssize_t written = ::write(file.Fd(), bytes, size);
                    if (written < 0 && errno == EINTR)
                        continue;
                    if (written <= 0) {
                        throw EIdLocalFileError(LocalErrorText("Cannot write file", localPath));
                    }
                    bytes += written;
                    size -= static_cast<std::size_t>(written);
                }
            });
            FinishTransfer();
        });
    }

    void Put(const std::string& localPath, const std::string& remote, bool append) {
        const std::string command =
            remote.empty() ? std::string("STOU") : (append ? "APPE " : "STOR ") + remote;
        BuildCommandLine(command);
        RequireControl();
        LocalFile file(::open(localPath.c_str(), O_RDONLY | O_CLOEXEC));
        if (file.Fd() < 0)
            throw EIdLocalFileError(LocalErrorText("Cannot open file", localPath));
        struct stat info {};
        if (::fstat(file.Fd(), &info) != 0) {
            throw EIdLocalFileError(LocalErrorText("Cannot read file", localPath));
        }
        WithWork(TWorkMode::wmWrite, static_cast<std::int64_t>(info.st_size), [&] {
            const auto data = StartTransfer(std::string(), command, {125, 150});
            const auto control = RequireControl();
            const auto current = DataCurrent(control, data);
            std::vector<char> buffer(static_cast<std::size_t>(BufferSize(owner_.SendBufferSize)));
            ProgressWait wait = ReadWait();
            std::int64_t total = 0;
            for (;;) {
                const ssize_t got = ::read(file.Fd(), buffer.data(), buffer.size());
                if (got < 0 && errno == EINTR)
                    continue;
                if (got < 0)
                    throw EIdLocalFileError(LocalErrorText("Cannot read file", localPath));
                if (got == 0)
                    break;
                WriteAll(data, std::string(buffer.data(), static_cast<std::size_t>(got)), wait,
                         current, false);
                total += got;
                if (owner_.OnWork)
                    owner_.OnWork(TWorkMode::wmWrite, total);
            }
            data->Close();
            if (data_ == data)
                data_.reset();
            FinishTransfer();
        });
    }
};

TIdFTP::TIdFTP() : impl_(std::make_unique<Impl>(*this)) {}

TIdFTP::~TIdFTP() = default;

int TIdFTP::EffectiveBufferSize(int requested) {
    if (requested <= 0)
        return kDefaultBufferSize;
    return std::clamp(requested, kMinBufferSize, kMaxBufferSize);
}

void TIdFTP::Connect(bool autoLogin, int timeoutMs) {
    impl_->Connect(autoLogin, timeoutMs);
}

bool TIdFTP::Connected() {
    return impl_->Connected();
}

void TIdFTP::Disconnect() {
    // Cancels a connect still waiting in an outer call, too.
    ++impl_->generation_;
    impl_->CloseControlWithEvents();
}

void TIdFTP::Abort() {
    if (impl_->control_ && impl_->control_->IsOpen()) {
        const auto control = impl_->control_;
        // One try, no waiting: ABOR must not block behind a full send buffer.
        const std::string line = BuildCommandLine("ABOR");
        try {
            const ssize_t sent = control->TrySend(line.data(), line.size());
            if (sent > 0 && Intercept && Intercept->OnSent)
                Intercept->OnSent(line);
        } catch (const EIdSocketError&) {
        }
    }
    impl_->CloseData();
}

void TIdFTP::ChangeDir(const std::string& folder) {
    impl_->Command("CWD " + folder, {200, 250});
}

std::string TIdFTP::RetrieveCurrentDir() {
    const TIdRFCReply reply = impl_->Command("PWD", {257});
    const std::string& first = reply.Text.empty() ? std::string() : reply.Text.front();
    const std::size_t open = first.find('"');
    if (open == std::string::npos)
        return std::string();
    const std::size_t close = first.find('"', open + 1);
    if (close == std::string::npos)
        return std::string();
    return first.substr(open + 1, close - open - 1);
}

void TIdFTP::MakeDir(const std::string& name) {
    impl_->Command("MKD " + name, {257});
}

void TIdFTP::RemoveDir(const std::string& name) {
    impl_->Command("RMD " + name, {250});
}

void TIdFTP::Delete(const std::string& name) {
    impl_->Command("DELE " + name, {250});
}

void TIdFTP::Rename(const std::string& from, const std::string& to) {
    BuildCommandLine("RNTO " + to);  // refuse both names before the first command goes out
    impl_->Command("RNFR " + from, {350});
    impl_->Command("RNTO " + to, {250});
}

std::int64_t TIdFTP::Size(const std::string& name) {
    const TIdRFCReply reply = impl_->CommandAnyReply("SIZE " + name);
    if (reply.NumericCode != 213 || reply.Text.empty())
        return -1;
    // The reader already removed "213 "; the number is the text up to the next blank.
    std::string text = reply.Text.front();
    const std::size_t blank = text.find(' ');
    if (blank != std::string::npos)
        text.erase(blank);
    if (text.empty() || text.size() > 18)
        return -1;
    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

int TIdFTP::SendCmd(const std::string& text) {
    return impl_->CommandAnyReply(text).NumericCode;
}

void TIdFTP::SetTransferType(TIdFTPTransferType type) {
    const bool connected = impl_->control_ && impl_->control_->IsOpen();
    if (type == transferType_ && (typeSentSinceConnect_ || !connected))
        return;
    if (impl_->data_)
        return;
    transferType_ = type;
    if (!connected)
        return;
    impl_->Command(type == TIdFTPTransferType::ftASCII ? "TYPE A" : "TYPE I", {200});
    typeSentSinceConnect_ = true;
}

void TIdFTP::List(std::vector<std::string>& lines, const std::string& specifier, bool details) {
    impl_->List(lines, specifier, details);
}

void TIdFTP::Get(const std::string& remote, const std::string& localPath, bool overwrite,
                 bool resume) {
    impl_->Get(remote, localPath, overwrite, resume);
}

void TIdFTP::Put(const std::string& localPath, const std::string& remote, bool append) {
    impl_->Put(localPath, remote, append);
}

}  // namespace ftp
