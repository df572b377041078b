#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>

#include "platform/ftp/id_exceptions.h"
#include "platform/ftp/id_ftp_impl.h"
#include "platform/ftp/pasv_reply.h"

namespace ftp {

int TIdFTP::Impl::BufferSize(int requested) const {
    return TIdFTP::EffectiveBufferSize(requested);
}

// PASV and connect, or listen and PORT. Leaves data_ (passive) or listener_ (active) set.
void TIdFTP::Impl::PrepareDataConnection() {
    const auto control = RequireControl();
    CloseData();
    if (owner_.Passive) {
        const TIdRFCReply reply = Command("PASV", {227});
        ThrowIfAborted();
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
        ThrowIfAborted();
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
    ThrowIfAborted();
}

// After the opening reply of active mode: takes the server's connection.
void TIdFTP::Impl::AcceptDataConnection() {
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
        std::string from;
        const int fd = listener->TryAccept(&from);
        if (fd >= 0) {
            auto accepted = std::make_shared<SocketChannel>(fd);
            // Only the server may deliver or take the file; anyone else who found the port
            // is turned away. The address is the one accept saw: a connection the server has
            // reset already has none any more, and its reset must fail the transfer.
            if (from != control->PeerAddress()) {
                Status(TIdStatus::hsStatusText,
                       "Data connection from " + from + " refused: not the server's address.");
                continue;
            }
            data_ = accepted;
            listener->Close();
            listener_.reset();
            return;
        }
        wait.Step(listener->Fd(), POLLIN, current);
    }
}

// Opens the data connection, sends the optional restart and the transfer command, reads the
// opening reply and, in active mode, accepts. Returns the data connection.
std::shared_ptr<SocketChannel> TIdFTP::Impl::StartTransfer(const std::string& restart,
                                                           const std::string& command,
                                                           std::initializer_list<int> opening) {
    PrepareDataConnection();
    if (!restart.empty()) {
        Command(restart, {350});
        ThrowIfAborted();
    }
    Command(command, opening);
    closingReplyPending_ = true;
    ThrowIfAborted();
    AcceptDataConnection();
    return data_;
}

// Closing reply of a transfer: 225, 226 or 250. 426 and 450 report a failed transfer. Many
// servers follow them with 226 or 225: that reply is passed over when it comes, so every later
// command still gets its own; waiting for it here would hang on the servers that send none.
// An Abort while the closing reply was awaited fails the transfer whatever that reply says: the
// user asked to stop, and a server that finished before the ABOR reached it answers with
// success, whose text must not become the error's.
void TIdFTP::Impl::FinishTransfer() {
    closingReplyPending_ = false;
    const TIdRFCReply reply = ReadReply();
    if (IsOneOf(reply.NumericCode, {426, 450}))
        skipStrayClosingReplies_ = true;
    ThrowIfAborted();
    if (IsOneOf(reply.NumericCode, {225, 226, 250}))
        return;
    throw EIdProtocolReplyError(reply.NumericCode, JoinText(reply));
}

// Receives the data connection into `sink` until the server closes it.
void TIdFTP::Impl::ReceiveData(const std::shared_ptr<SocketChannel>& data,
                               const std::function<void(const char*, std::size_t)>& sink) {
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
            wait.Progress(current);
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

// Sends what `source` gives (bytes put into the buffer; 0 at the end) and closes the data
// connection, which tells the server the file is complete.
void TIdFTP::Impl::SendData(const std::shared_ptr<SocketChannel>& data,
                            const std::function<std::size_t(char*, std::size_t)>& source) {
    const auto control = RequireControl();
    const auto current = DataCurrent(control, data);
    std::vector<char> buffer(static_cast<std::size_t>(BufferSize(owner_.SendBufferSize)));
    ProgressWait wait = ReadWait();
    std::int64_t total = 0;
    for (;;) {
        const std::size_t got = source(buffer.data(), buffer.size());
        if (got == 0)
            break;
        WriteAll(data, std::string_view(buffer.data(), got), wait, current, false);
        total += static_cast<std::int64_t>(got);
        if (owner_.OnWork)
            owner_.OnWork(TWorkMode::wmWrite, total);
    }
    data->Close();
    if (data_ == data)
        data_.reset();
}

// Runs a data transfer with work-begin before and work-end after (also on failure).
void TIdFTP::Impl::WithWork(TWorkMode mode, std::int64_t expected,
                            const std::function<void()>& body) {
    if (owner_.OnWorkBegin)
        owner_.OnWorkBegin(mode, expected);
    try {
        body();
    } catch (...) {
        // The data connection of a failed transfer is of no further use, and the closing
        // replies the server still sends for it must not answer later commands.
        CloseData();
        if (closingReplyPending_) {
            closingReplyPending_ = false;
            skipStrayClosingReplies_ = true;
        }
        if (owner_.OnWorkEnd)
            owner_.OnWorkEnd(mode);
        throw;
    }
    if (owner_.OnWorkEnd)
        owner_.OnWorkEnd(mode);
}

}  // namespace ftp
