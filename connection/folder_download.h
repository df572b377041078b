#pragma once
// The download of a whole remote folder tree into a local folder (the page's
// DownloadFolderTree). The walk (its remote side the one delete, CHMOD and export share,
// TRemoteTreeWalk) CWDs into the remote folder, lists it, works through the
// listing from its last item backwards (folders by recursion, everything else retrieved) and
// CWDs ".." again, so the server ends in the folder it started in.
//
// Modes: -1 the local folder is `localPath`, created, files never overwritten; 2 the
// existing `localPath`, files overwritten; 0 `newName` beside `localPath`, created, files
// never overwritten, sub-folders walked as -1.
//
// Whatever the listing holds, nothing is written outside the walk's top local folder: "."
// and ".." are passed over wherever they stand, a name that is not a plain name (empty, "/",
// NUL) is passed over with a log line, and so is a local link where an item would go. The
// walk ends with an error below kMaxFolderDepth.
//
// Errors: a local folder that cannot be made shows "Can not create the folder. Downloading
// cancel." and throws ftp::EIdLocalFileError; the component's errors pass through; a page
// closed meanwhile throws ftp::EIdClosedSocket. Files already retrieved stay. The server's
// folder is forgotten by the session (the walk CWDs without telling it).
//
// After a walk that returns, the process's current folder is the walk's top local folder
// (the Add-task command takes it as the local folder of new task rows).
#include <string>

#include "connection/folder_walk.h"

class TFolderDownload : public TFolderWalk {
  public:
    using TFolderWalk::TFolderWalk;

    void Run(const std::string& remoteName, const std::string& localPath,
             const std::string& newName, int mode);

  private:
    // One level: `local` is made when missing and filled from the remote folder `remoteName`.
    void Walk(const std::string& remoteName, const std::string& local, int mode, int depth);
};
