#pragma once
// The queue entries the main window makes for the active page: downloads of remote entries
// dropped on the local file view, uploads of the local items selected there (the Upload button).
// Paths are local POSIX paths; remote names are the listing's bytes.
#include <optional>
#include <string>

#include "connection/rdatalist.h"
#include "connection/rupdown.h"

namespace transfers {

// `folder` with one "/" at its end (the root stays "/").
std::string WithSlash(const std::string& folder);

// The download of display entry `entry` into `folder` (an existing local folder): into the
// page's current folder at run time, with the entry's size (0 for a folder) and modified time.
// The caller has checked ftp::IsSafeLocalName(entry.name).
rupdown DownloadEntry(const rdatalist& entry, const std::string& folder);

// The upload of the local item `path` into the page's current folder at run time, with the
// file's size as the file system reports it now (64-bit; 0 for a folder). nullopt when `path`
// no longer exists as a folder (`isFolder`) or as a regular file.
std::optional<rupdown> UploadEntry(const std::string& path, bool isFolder);

// The download of a stored item (a history record, a task row) named `name` in the remote
// folder `ftppath` to the local path `target`: the run asks the server for its size and looks
// it up first. The caller has checked the local name and made the folder of `target`.
rupdown StoredDownloadEntry(const std::string& name, const std::string& target,
                            const std::string& ftppath, bool isFolder);

// The upload of a stored local item `path` into the remote folder `ftppath`, as UploadEntry;
// nullopt also when `path` is not absolute: a stored relative path would name whatever lies in
// the process's current folder.
std::optional<rupdown> StoredUploadEntry(const std::string& path, bool isFolder,
                                         const std::string& ftppath);

}  // namespace transfers
