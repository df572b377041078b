// Whole folder trees in both directions, and the local folder helpers they share.
#include <sys/stat.h>

#include "connection/tfb.h"
#include "platform/ftp/id_exceptions.h"

void Tfb::DownloadFolderTree(const std::string& remoteName, const std::string& localPath,
                             const std::string& newName, int mode) {
    (void)remoteName;
    (void)localPath;
    (void)newName;
    (void)mode;
    throw ftp::EIdException("Folder downloads are not available yet.");
}

void Tfb::UploadFolderTree(const std::string& localPath) {
    (void)localPath;
    throw ftp::EIdException("Folder uploads are not available yet.");
}

bool Tfb::IsLocalDir(const std::string& path) {
    struct stat facts {};
    return !path.empty() && ::stat(path.c_str(), &facts) == 0 && S_ISDIR(facts.st_mode);
}

bool Tfb::EnsureLocalDir(const std::string& path) {
    if (IsLocalDir(path))
        return true;
    return !path.empty() && ::mkdir(path.c_str(), 0777) == 0;
}
