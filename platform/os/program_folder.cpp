#include "platform/os/program_folder.h"

#include <unistd.h>

#include <climits>

namespace os {

std::string ProgramFolder() {
    char target[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", target, sizeof target - 1);
    if (length > 0) {
        std::string path(target, static_cast<size_t>(length));
        const size_t slash = path.rfind('/');
        if (slash != std::string::npos)
            return path.substr(0, slash + 1);
    }
    char cwd[PATH_MAX];
    if (getcwd(cwd, sizeof cwd) != nullptr) {
        std::string folder(cwd);
        if (folder.empty() || folder.back() != '/')
            folder += '/';
        return folder;
    }
    return "./";
}

}  // namespace os
