#include "mainwindow/force_local_folders.h"

#include <sys/stat.h>

#include <cerrno>

#include "platform/os/local_paths.h"

namespace {

// One level whose parent exists. Another process creating the same folder at the same moment
// is no failure: what counts is that the folder is there afterwards.
bool MakeOneLevel(const std::string& folder) {
    if (::mkdir(folder.c_str(), 0777) == 0)
        return true;
    return errno == EEXIST && os::IsFolder(folder);
}

}  // namespace

bool ForceLocalFolderLevels(const std::string& path) {
    if (path.empty())
        return true;
    if (path.front() != '/')
        return false;
    const std::string p = path.back() == '/' ? path : path + "/";
    // Every "/" after the root closes one level: "/a/", "/a/b/", ... Checking each level before
    // creating it keeps an existing folder untouched, whatever its permissions.
    for (std::size_t slash = p.find('/', 1); slash != std::string::npos;
         slash = p.find('/', slash + 1)) {
        if (p[slash - 1] == '/')
            continue;  // an empty component names the level already checked
        const std::string folder = p.substr(0, slash + 1);
        if (!os::IsFolder(folder) && !MakeOneLevel(folder))
            return false;
    }
    return true;
}
