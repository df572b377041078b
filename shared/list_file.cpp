#include "shared/list_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <limits>

#include "platform/os/file_replace.h"
#include "platform/os/program_folder.h"
#include "platform/os/utf8.h"

namespace shared {

namespace {

// Reads up to `size` bytes; returns how many were read (fewer only at the end of the file or
// on an error).
std::size_t ReadUpTo(int fd, unsigned char* buffer, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::read(fd, buffer + done, size - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

}  // namespace

std::string ListFilePath(const std::string& fileName) {
    return os::ProgramFolder() + fileName;
}

std::string CutListText(std::string_view text) {
    return std::string(os::CutUtf8(text, kListTextLimit));
}

std::vector<std::string> ReadListFile(const std::string& path) {
    std::vector<std::string> texts;
    // Not blocking, so that a pipe in the file's place cannot hang the program; only a
    // regular file is read.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return texts;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return texts;
    }
    unsigned char countBytes[4];
    if (ReadUpTo(fd, countBytes, sizeof countBytes) == sizeof countBytes) {
        const std::int32_t count =
            static_cast<std::int32_t>(static_cast<std::uint32_t>(countBytes[0]) |
                                      static_cast<std::uint32_t>(countBytes[1]) << 8 |
                                      static_cast<std::uint32_t>(countBytes[2]) << 16 |
                                      static_cast<std::uint32_t>(countBytes[3]) << 24);
        unsigned char record[kListRecordSize];
        for (std::int32_t i = 0; i < count; ++i) {
            if (ReadUpTo(fd, record, sizeof record) != sizeof record)
                break;
            const std::size_t length = record[0];
            if (length > kListTextLimit)
                break;
            texts.emplace_back(reinterpret_cast<const char*>(record + 1), length);
        }
    }
    ::close(fd);
    return texts;
}

bool WriteListFile(const std::string& path, const std::vector<std::string>& texts) {
    if (texts.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        return false;
    }
    const auto count = static_cast<std::uint32_t>(texts.size());
    std::string bytes;
    bytes.reserve(4 + kListRecordSize * texts.size());
    for (int shift = 0; shift < 32; shift += 8)
        bytes += static_cast<char>(count >> shift & 0xFF);
    for (const std::string& text : texts) {
        const std::string stored = CutListText(text);
        bytes += static_cast<char>(stored.size());
        bytes += stored;
        bytes.append(kListTextLimit - stored.size(), '\0');
    }

    return os::WriteFileContents(path, bytes);
}

}  // namespace shared
