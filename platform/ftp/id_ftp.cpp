#include "platform/ftp/id_ftp.h"

#include <algorithm>

#include "platform/ftp/command_line.h"
#include "platform/ftp/id_exceptions.h"
#include "platform/ftp/id_ftp_impl.h"
#include "platform/ftp/id_log_event.h"

namespace ftp {

namespace {
constexpr int kDefaultBufferSize = 65536;
constexpr int kMinBufferSize = 512;
constexpr int kMaxBufferSize = 4 * 1024 * 1024;
}  // namespace

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
    ++impl_->aborts_;
    if (impl_->control_ && impl_->control_->IsOpen()) {
        const auto control = impl_->control_;
        // One try, no waiting: ABOR must not block behind a full send buffer.
        const std::string line = BuildCommandLine("ABOR");
        try {
            const ssize_t sent = control->TrySend(line.data(), line.size());
            if (sent > 0) {
                // The server answers ABOR (225 or 226, after a 426 when a transfer ran) although
                // nobody reads that answer now; it must not become the next command's reply.
                // A reply awaited meanwhile comes before those answers and is read as usual.
                if (impl_->replyReadDepth_ > 0)
                    impl_->abortAnsweredAfterReply_ = true;
                else
                    impl_->skipStrayClosingReplies_ = true;
                if (Intercept && Intercept->OnSent)
                    Intercept->OnSent(line);
            }
        } catch (const EIdSocketError&) {
        }
    }
    impl_->CloseData();
}

void TIdFTP::ChangeDir(const std::string& folder) {
    Impl::Exchange exchange(*impl_);
    impl_->Command("CWD " + folder, {200, 250});
}

std::string TIdFTP::RetrieveCurrentDir() {
    Impl::Exchange exchange(*impl_);
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
    Impl::Exchange exchange(*impl_);
    impl_->Command("MKD " + name, {257});
}

void TIdFTP::RemoveDir(const std::string& name) {
    Impl::Exchange exchange(*impl_);
    impl_->Command("RMD " + name, {250});
}

void TIdFTP::Delete(const std::string& name) {
    Impl::Exchange exchange(*impl_);
    impl_->Command("DELE " + name, {250});
}

void TIdFTP::Rename(const std::string& from, const std::string& to) {
    BuildCommandLine("RNTO " + to);  // refuse both names before the first command goes out
    Impl::Exchange exchange(*impl_);
    impl_->Command("RNFR " + from, {350});
    impl_->Command("RNTO " + to, {250});
}

std::int64_t TIdFTP::Size(const std::string& name) {
    BuildCommandLine("SIZE " + name);  // refuse a bad name before TYPE goes out
    Impl::Exchange exchange(*impl_);
    // The size of the file's bytes, whatever type the transfer that follows uses.
    const bool ascii = transferType_ == TIdFTPTransferType::ftASCII;
    impl_->EnsureBinaryType();
    const TIdRFCReply reply = impl_->CommandAnyReply("SIZE " + name);
    if (ascii) {
        impl_->Command("TYPE A", {200});
        transferType_ = TIdFTPTransferType::ftASCII;
    }
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
    Impl::Exchange exchange(*impl_);
    return impl_->CommandAnyReply(text).NumericCode;
}

void TIdFTP::SetTransferType(TIdFTPTransferType type) {
    const bool connected = impl_->control_ && impl_->control_->IsOpen();
    if (type == transferType_ && (typeSentSinceConnect_ || !connected))
        return;
    // Taken before the type changes: a refused call leaves the component's type as the server's.
    Impl::Exchange exchange(*impl_);
    if (impl_->data_)
        return;
    transferType_ = type;
    if (!connected)
        return;
    impl_->Command(type == TIdFTPTransferType::ftASCII ? "TYPE A" : "TYPE I", {200});
    typeSentSinceConnect_ = true;
}

void TIdFTP::List(std::vector<std::string>& lines, const std::string& specifier, bool details) {
    Impl::Exchange exchange(*impl_);
    impl_->List(&lines, specifier, details);
}

void TIdFTP::ListItems(const std::string& specifier) {
    Impl::Exchange exchange(*impl_);
    impl_->List(nullptr, specifier, true);
}

void TIdFTP::Get(const std::string& remote, const std::string& localPath, bool overwrite,
                 bool resume) {
    Impl::Exchange exchange(*impl_);
    impl_->Get(remote, localPath, overwrite, resume);
}

void TIdFTP::Put(const std::string& localPath, const std::string& remote, bool append) {
    Impl::Exchange exchange(*impl_);
    impl_->Put(localPath, remote, append);
}

}  // namespace ftp
