#include "mainwindow/transfer_entries.h"

#include <sys/stat.h>

namespace transfers {

std::string WithSlash(const std::string& folder) {
    return !folder.empty() && folder.back() == '/' ? folder : folder + "/";
}

rupdown DownloadEntry(const rdatalist& entry, const std::string& folder) {
    rupdown download;
    download.direction = 1;
    download.ftppath = "0";
    download.lopath = WithSlash(folder) + entry.name;
    // A display entry without a shell type name is a folder.
    download.isfolder = entry.shelltype.empty();
    download.size = download.isfolder ? 0 : entry.size;
    download.name = entry.name;
    download.rdate = entry.modified;
    download.checkexist = false;
    download.spare = -1;
    return download;
}

std::optional<rupdown> UploadEntry(const std::string& path, bool isFolder) {
    // The item as it is now, not as the view last read it: it may have gone or changed kind.
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return std::nullopt;
    if (isFolder ? !S_ISDIR(status.st_mode) : !S_ISREG(status.st_mode))
        return std::nullopt;
    rupdown upload;
    upload.direction = 0;
    upload.ftppath = "0";
    upload.lopath = path;
    upload.size = isFolder ? 0 : static_cast<std::int64_t>(status.st_size);
    upload.name = path.substr(path.find_last_of('/') + 1);
    upload.isfolder = isFolder;
    upload.checkexist = false;
    upload.spare = -1;
    return upload;
}

rupdown StoredDownloadEntry(const std::string& name, const std::string& target,
                            const std::string& ftppath, bool isFolder) {
    rupdown download;
    download.direction = 1;
    download.lopath = target;
    download.ftppath = ftppath;
    download.size = 0;  // the run asks the server
    download.name = name;
    download.isfolder = isFolder;
    download.spare = -1;
    download.rdate = "?";
    download.checkexist = true;
    return download;
}

std::optional<rupdown> StoredUploadEntry(const std::string& path, bool isFolder,
                                         const std::string& ftppath) {
    if (path.empty() || path.front() != '/')
        return std::nullopt;
    std::optional<rupdown> upload = UploadEntry(path, isFolder);
    if (upload)
        upload->ftppath = ftppath;
    return upload;
}

}  // namespace transfers
