#include <poll.h>

#include <algorithm>
#include <cerrno>

#include "platform/ftp/command_line.h"
#include "platform/ftp/id_exceptions.h"
#include "platform/ftp/id_ftp_impl.h"
#include "platform/ftp/id_log_event.h"

namespace ftp {

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

std::function<bool()> TIdFTP::Impl::ControlCurrent(const std::shared_ptr<SocketChannel>& control) {
    return [this, control] { return control_ == control && control->IsOpen(); };
}

std::function<bool()> TIdFTP::Impl::DataCurrent(const std::shared_ptr<SocketChannel>& control,
                                                const std::shared_ptr<SocketChannel>& data) {
    return [this, control, data] {
        return control_ == control && control->IsOpen() && data_ == data && data->IsOpen();
    };
}

std::shared_ptr<SocketChannel> TIdFTP::Impl::RequireControl() {
    if (!control_ || !control_->IsOpen())
        throw EIdNotConnected();
    return control_;
}

ProgressWait TIdFTP::Impl::ReadWait() const {
    return ProgressWait(owner_.ReadTimeout, [] { throw EIdReadTimeout(); });
}

void TIdFTP::Impl::CloseData() {
    if (data_)
        data_->Close();
    data_.reset();
    if (listener_)
        listener_->Close();
    listener_.reset();
}

void TIdFTP::Impl::CloseControlWithEvents() {
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
    skipStrayClosingReplies_ = false;
    abortAnsweredAfterReply_ = false;
    closingReplyPending_ = false;
    // The exchange that ran on this connection is over; its call fails when it resumes.
    exchangeBusy_ = false;
    ++generation_;
    if (owner_.OnDisconnected)
        owner_.OnDisconnected();
    Status(TIdStatus::hsDisconnected, "Disconnected.");
}

void TIdFTP::Impl::ServerClosed() {
    CloseControlWithEvents();
    throw EIdConnClosedGracefully();
}

void TIdFTP::Impl::Status(TIdStatus status, const std::string& text) {
    if (owner_.OnStatus)
        owner_.OnStatus(status, text);
}

void TIdFTP::Impl::WriteAll(const std::shared_ptr<SocketChannel>& channel, std::string_view bytes,
                            ProgressWait& wait, const std::function<bool()>& current,
                            bool isControl) {
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
            wait.Progress(current);
            continue;
        }
        wait.Step(channel->Fd(), POLLOUT, current);
    }
}

std::string TIdFTP::Impl::ReadExact(const std::shared_ptr<SocketChannel>& channel, std::size_t n,
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
            wait.Progress(current);
            continue;
        }
        wait.Step(channel->Fd(), POLLIN, current);
    }
    return bytes;
}

TIdFTP::Impl::Exchange::Exchange(Impl& impl) : impl_(impl) {
    if (impl_.exchangeBusy_)
        throw EIdCommandInProgress();
    impl_.exchangeBusy_ = true;
    impl_.abortsAtExchangeStart_ = impl_.aborts_;
}

TIdFTP::Impl::Exchange::~Exchange() {
    // Calls nest strictly: when this one ends, every exchange started inside it has ended, and
    // an outer one can only be running on a connection that was closed meanwhile.
    impl_.exchangeBusy_ = false;
}

void TIdFTP::Impl::ThrowIfAborted() const {
    if (aborts_ != abortsAtExchangeStart_)
        throw EIdClosedSocket();
}

void TIdFTP::Impl::PassOverRepliesOutOfTurn(const std::shared_ptr<SocketChannel>& control) {
    for (;;) {
        // Replies are taken after every chunk, so a chatty server never piles up lines.
        while (auto reply = TakeReply()) {
            Status(TIdStatus::hsStatusText,
                   "Reply out of turn passed over: " + reply->Code + " " + JoinText(*reply));
        }
        ssize_t got = 0;
        if (!ReceiveControlChunk(control, got))
            ServerClosed();
        if (got < 0)
            return;
    }
}

void TIdFTP::Impl::SendLine(const std::string& text) {
    const std::string line = BuildCommandLine(text);
    const auto control = RequireControl();
    PassOverRepliesOutOfTurn(control);
    ProgressWait wait = ControlWait(control);
    WriteAll(control, line, wait, ControlCurrent(control), true);
    if (owner_.Intercept && owner_.Intercept->OnSent)
        owner_.Intercept->OnSent(line);
}

// Moves what the control socket holds into the reply reader. Returns false at end of stream.
bool TIdFTP::Impl::ReceiveControlChunk(const std::shared_ptr<SocketChannel>& control,
                                       ssize_t& got) {
    char buffer[4096];
    try {
        got = control->TryRecv(buffer, sizeof buffer);
    } catch (const EIdSocketError& e) {
        // A reset control connection is a closed one: the caller reports the server gone.
        if (e.ErrorCode() != ECONNRESET)
            throw;
        got = 0;
    }
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

void TIdFTP::Impl::FeedReader(const std::string& chunk) {
    try {
        reader_.Feed(chunk);
    } catch (const EIdReplyFormatError&) {
        // The control stream cannot be followed any more: close it before reporting.
        CloseControlWithEvents();
        throw;
    }
}

std::optional<TIdRFCReply> TIdFTP::Impl::TakeReply() {
    try {
        return reader_.TakeReply();
    } catch (const EIdReplyFormatError&) {
        CloseControlWithEvents();
        throw;
    }
}

ProgressWait TIdFTP::Impl::ControlWait(const std::shared_ptr<SocketChannel>& control) {
    return ProgressWait(owner_.ReadTimeout, [this, control] {
        // A reply that comes after the time-out would be taken for the next command's: the
        // connection cannot be trusted to stay in step, so it is closed.
        if (control_ == control)
            CloseControlWithEvents();
        throw EIdReadTimeout();
    });
}

TIdRFCReply TIdFTP::Impl::ReadReply(bool preliminaryAwaited) {
    const auto control = RequireControl();
    const auto current = ControlCurrent(control);
    ProgressWait wait = ControlWait(control);
    struct DepthGuard {
        int& depth;
        ~DepthGuard() { --depth; }
    } depthGuard{++replyReadDepth_};
    for (;;) {
        if (!current())
            throw EIdClosedSocket();
        if (auto reply = TakeReply()) {
            // A 1xx reply only announces that the final one follows, so it never ends a wait
            // for a final reply. A server may send one where none is expected: a transfer
            // closed with the opening reply's code, or the answer to ABOR led by a 1xx.
            // Taken for the final reply, it would leave every later command one reply behind.
            if (!preliminaryAwaited && reply->NumericCode / 100 == 1)
                continue;
            // The late closing replies of a transfer that already failed, or the answers to
            // ABOR. None of these codes is the answer to any other command.
            if (skipStrayClosingReplies_ && IsOneOf(reply->NumericCode, {225, 226, 426, 450, 451}))
                continue;
            skipStrayClosingReplies_ = abortAnsweredAfterReply_;
            abortAnsweredAfterReply_ = false;
            owner_.lastReply_ = *reply;
            return *reply;
        }
        ssize_t got = 0;
        if (!ReceiveControlChunk(control, got))
            ServerClosed();
        if (got > 0) {
            wait.Progress(current);
            continue;
        }
        wait.Step(control->Fd(), POLLIN, current);
    }
}

TIdRFCReply TIdFTP::Impl::Expect(const TIdRFCReply& reply, std::initializer_list<int> accepted) {
    if (!IsOneOf(reply.NumericCode, accepted)) {
        throw EIdProtocolReplyError(reply.NumericCode, JoinText(reply));
    }
    return reply;
}

TIdRFCReply TIdFTP::Impl::Command(const std::string& text, std::initializer_list<int> accepted) {
    SendLine(text);
    const bool preliminaryAwaited =
        std::any_of(accepted.begin(), accepted.end(), [](int code) { return code / 100 == 1; });
    return Expect(ReadReply(preliminaryAwaited), accepted);
}

TIdRFCReply TIdFTP::Impl::CommandAnyReply(const std::string& text) {
    SendLine(text);
    return ReadReply();
}

bool TIdFTP::Impl::Connected() {
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

}  // namespace ftp
