#pragma once
// For tests only: runs a write into a folder where no new file can be made while the file
// itself stays writable. Modes stop no root user, so under root the write runs in a child
// process that has given root up (as "nobody"); otherwise the folder is made read-only for
// the call and writable again after it.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

namespace os::testing {

// Returns what `write` returned; false also when the child could not give root up.
inline bool WriteWithReadOnlyFolder(const std::string& folder, const std::string& file,
                                    const std::function<bool()>& write) {
    if (::geteuid() != 0) {
        ::chmod(file.c_str(), 0644);
        ::chmod(folder.c_str(), 0555);
        const bool written = write();
        ::chmod(folder.c_str(), 0755);
        return written;
    }
    constexpr uid_t kNobody = 65534;
    ::chmod(folder.c_str(), 0755);
    ::chmod(file.c_str(), 0666);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
            ::_exit(3);
        ::_exit(write() ? 0 : 1);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child)
        return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace os::testing
