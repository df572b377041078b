#include "platform/os/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace os {

bool WriteAllBytes(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += static_cast<std::size_t>(written);
    }
    return true;
}

ReplaceResult ReplaceFileContents(const std::string& path, const std::string& contents) {
    std::string sibling = path + ".XXXXXX";
    const int fd = ::mkstemp(sibling.data());
    if (fd < 0)
        return ReplaceResult::kNoSibling;
    struct stat old {};
    const mode_t mode = ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    const bool written = ::fchmod(fd, mode) == 0 && WriteAllBytes(fd, contents) && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !written || ::rename(sibling.c_str(), path.c_str()) != 0) {
        ::unlink(sibling.c_str());
        return ReplaceResult::kFailed;
    }
    return ReplaceResult::kReplaced;
}

bool WriteFileContents(const std::string& path, const std::string& contents) {
    switch (ReplaceFileContents(path, contents)) {
        case ReplaceResult::kReplaced:
            return true;
        case ReplaceResult::kFailed:
            // A sibling was made but not completed (a full disk): the old file stays whole
            // rather than being cut by a second try in place.
            return false;
        case ReplaceResult::kNoSibling:
            break;
    }
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const bool written = WriteAllBytes(fd, contents) && ::fsync(fd) == 0;
    return ::close(fd) == 0 && written;
}

}  // namespace os
