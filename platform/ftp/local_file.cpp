#include "platform/ftp/local_file.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace ftp {

LocalFile::~LocalFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

std::string LocalErrorText(const char* what, const std::string& path) {
    return std::string(what) + " \"" + path + "\": " + std::strerror(errno);
}

}  // namespace ftp
