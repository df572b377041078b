#include "platform/os/local_paths.h"

#include <sys/stat.h>

namespace os {

bool IsFolder(const std::string& path) {
    struct stat facts {};
    return !path.empty() && ::stat(path.c_str(), &facts) == 0 && S_ISDIR(facts.st_mode);
}

std::int64_t RegularFileSize(const std::string& path) {
    struct stat facts {};
    if (path.empty() || ::stat(path.c_str(), &facts) != 0 || !S_ISREG(facts.st_mode))
        return -1;
    return static_cast<std::int64_t>(facts.st_size);
}

std::string FileNamePart(const std::string& path) {
    const std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderPart(const std::string& path) {
    const std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace os
