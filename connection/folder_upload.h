#pragma once
// The upload of a whole local folder tree into the server's current folder (the page's
// UploadFolderTree). Each entry of a local folder, in the order the system gives them: a
// folder is entered on the server (reused when the server's folder lists that name, made
// with MKD otherwise), walked, and left with CWD ".."; a file is stored under its name,
// replacing a remote file of that name. The walk ends with CWD ".." at its top level too: the
// caller entered the target folder for it, so the server is back in the folder it was in
// before that.
//
// Links: a link to a file is uploaded as the file; a link to a folder is not followed (a
// link loop cannot make the walk go on forever), nor is a dangling link; other kinds of
// entry (pipes, sockets, devices) are passed over. Each with a log line. The walk ends with
// an error below kMaxFolderDepth.
//
// Errors: a local folder that cannot be read throws ftp::EIdLocalFileError; the component's
// errors pass through; a page closed meanwhile throws ftp::EIdClosedSocket. The session
// forgets the server's folder. The process's current folder is not touched.
#include <string>

#include "connection/folder_walk.h"

class TFolderUpload : public TFolderWalk {
  public:
    using TFolderWalk::TFolderWalk;

    // `localPath` names the local folder (a trailing "/" is allowed).
    void Run(const std::string& localPath);

  private:
    void Walk(const std::string& local, int depth);
};
