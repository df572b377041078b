#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>

#include "platform/ftp/announced_size.h"
#include "platform/ftp/ascii_line_ends.h"
#include "platform/ftp/command_line.h"
#include "platform/ftp/get_target.h"
#include "platform/ftp/id_exceptions.h"
#include "platform/ftp/id_ftp_impl.h"
#include "platform/ftp/list_parser.h"
#include "platform/ftp/listing_lines.h"
#include "platform/ftp/local_file.h"

namespace ftp {

namespace {

// Writes all `size` bytes to the local file.
void WriteLocal(int fd, const char* bytes, std::size_t size, const std::string& path) {
    while (size > 0) {
        const ssize_t written = ::write(fd, bytes, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            throw EIdLocalFileError(LocalErrorText("Cannot write file", path));
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
}

// Reads up to `size` bytes of the local file; 0 at its end.
std::size_t ReadLocal(int fd, char* buffer, std::size_t size, const std::string& path) {
    for (;;) {
        const ssize_t got = ::read(fd, buffer, size);
        if (got >= 0)
            return static_cast<std::size_t>(got);
        if (errno != EINTR)
            throw EIdLocalFileError(LocalErrorText("Cannot read file", path));
    }
}

}  // namespace

void TIdFTP::Impl::List(std::vector<std::string>* lines, const std::string& specifier,
                        bool details) {
    if (lines)
        lines->clear();
    owner_.listing_.clear();
    std::string command = details ? "LIST" : "NLST";
    if (!specifier.empty())
        command += " " + specifier;
    BuildCommandLine(command);  // refuse a bad specifier before the data connection
    RequireControl();
    // Each line is parsed as soon as it is complete, between the reads of the data connection:
    // the parse of a large folder then shares the transfer's pumps instead of holding the
    // window for a long stretch after it. Without `lines` each line moves into its item: a
    // large listing then holds one copy of its text, not two.
    ListingParser parser(os::Now());
    std::optional<ListingLines> collector;
    if (lines)
        collector.emplace(*lines);
    else
        collector.emplace([&parser](std::string&& line) { parser.Add(std::move(line)); });
    std::size_t parsed = 0;
    auto parseNewLines = [&] {
        if (!details || !lines)
            return;
        for (; parsed < lines->size(); ++parsed)
            parser.Add((*lines)[parsed]);
    };
    WithWork(TWorkMode::wmRead, 0, [&] {
        const auto data = StartTransfer(std::string(), command, {125, 150, 154});
        ReceiveData(data, [&](const char* bytes, std::size_t size) {
            collector->Feed(bytes, size);
            parseNewLines();
        });
        FinishTransfer();
    });
    collector->Finish();
    parseNewLines();
    if (details)
        owner_.listing_ = parser.Items();
}

void TIdFTP::Impl::Get(const std::string& remote, const std::string& localPath, bool overwrite,
                       bool resume) {
    owner_.announcedSize_ = -1;
    BuildCommandLine("RETR " + remote);
    RequireControl();
    struct stat info {};
    const bool exists = ::stat(localPath.c_str(), &info) == 0;
    // A resume continues a byte count: both the probe and the transfer run in binary type, so a
    // server that refuses restarts in ASCII type only is not taken for one that cannot resume.
    if (resume && exists)
        EnsureBinaryType();
    if (resume && exists && !owner_.resumeProbed_) {
        const TIdRFCReply probe = CommandAnyReply("REST 1");
        owner_.canResume_ = probe.NumericCode == 350;
        CommandAnyReply("REST 0");
        owner_.resumeProbed_ = true;
        ThrowIfAborted();
    }
    const GetTarget target = ChooseGetTarget(exists, overwrite, resume && owner_.canResume_);
    if (target == GetTarget::kRefuse)
        throw EIdFTPFileAlreadyExists();
    // An overwritten file is emptied only once the server has agreed to send the file, so a
    // refused RETR does not destroy the local copy.
    const int flags =
        O_WRONLY | O_CREAT | O_CLOEXEC | (target == GetTarget::kAppend ? O_APPEND : 0);
    LocalFile file(::open(localPath.c_str(), flags, 0644));
    if (file.Fd() < 0)
        throw EIdLocalFileError(LocalErrorText("Cannot open file", localPath));
    std::string restart;
    if (target == GetTarget::kAppend) {
        struct stat opened {};
        if (::fstat(file.Fd(), &opened) != 0) {
            throw EIdLocalFileError(LocalErrorText("Cannot read file", localPath));
        }
        restart = "REST " + std::to_string(static_cast<long long>(opened.st_size));
    }
    // A text transfer writes the local convention; a resume runs in binary type (above).
    std::optional<AsciiDownloadLineEnds> lineEnds;
    if (owner_.transferType_ == TIdFTPTransferType::ftASCII)
        lineEnds.emplace();
    std::string converted;
    WithWork(TWorkMode::wmRead, 0, [&] {
        const auto data = StartTransfer(restart, "RETR " + remote, {125, 150, 154});
        owner_.announcedSize_ = ftp::AnnouncedSize(owner_.lastReply_);
        if (target == GetTarget::kOverwrite && ::ftruncate(file.Fd(), 0) != 0) {
            throw EIdLocalFileError(LocalErrorText("Cannot write file", localPath));
        }
        ReceiveData(data, [&](const char* bytes, std::size_t size) {
            if (!lineEnds) {
                WriteLocal(file.Fd(), bytes, size, localPath);
                return;
            }
            converted.clear();
            lineEnds->Convert(std::string_view(bytes, size), converted);
            WriteLocal(file.Fd(), converted.data(), converted.size(), localPath);
        });
        if (lineEnds) {
            converted.clear();
            lineEnds->Finish(converted);
            WriteLocal(file.Fd(), converted.data(), converted.size(), localPath);
        }
        FinishTransfer();
    });
}

void TIdFTP::Impl::EnsureBinaryType() {
    if (owner_.transferType_ == TIdFTPTransferType::ftBinary && owner_.typeSentSinceConnect_)
        return;
    Command("TYPE I", {200});
    owner_.transferType_ = TIdFTPTransferType::ftBinary;
    owner_.typeSentSinceConnect_ = true;
}

void TIdFTP::Impl::Put(const std::string& localPath, const std::string& remote, bool append) {
    const std::string command =
        remote.empty() ? std::string("STOU ") : (append ? "APPE " : "STOR ") + remote;
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
        // A text transfer sends CR LF line ends: half a buffer is read at a time, so that its
        // conversion (at most twice as long) fits the buffer.
        std::optional<AsciiUploadLineEnds> lineEnds;
        if (owner_.transferType_ == TIdFTPTransferType::ftASCII)
            lineEnds.emplace();
        std::string converted;
        SendData(data, [&](char* buffer, std::size_t size) {
            if (!lineEnds)
                return ReadLocal(file.Fd(), buffer, size, localPath);
            const std::size_t got =
                ReadLocal(file.Fd(), buffer, std::max<std::size_t>(size / 2, 1), localPath);
            converted.clear();
            lineEnds->Convert(std::string_view(buffer, got), converted);
            converted.copy(buffer, converted.size());
            return converted.size();
        });
        FinishTransfer();
    });
}

}  // namespace ftp
