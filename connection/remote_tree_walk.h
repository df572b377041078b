#pragma once
// The walk down a remote folder tree that the page's delete, CHMOD and export share: enter a
// folder with CWD (relative to the server's folder), list it, handle its entries from the last
// listed to the first, and leave it again with CWD "..". The caller recurses for sub-folders,
// one level per folder.
//
// "." and ".." are left out wherever a server lists them, so a listing with dot entries after
// real ones is still walked completely. A tree deeper than kMaxRemoteTreeDepth is refused with
// ERemoteTreeTooDeep before its folder is entered (a server that shows a folder inside itself
// would otherwise be walked until the stack runs out). After every blocking call the walk asks
// whether its page was closed meanwhile and then throws ERemoteWalkStopped: its caller ends
// without touching the page.
//
// The caller holds an exchange of the session. FTP errors pass through; the server's folder is
// then unknown to the session (it forgets it on every CWD of the walk).
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/ftp/id_list_item.h"

class TPageSession;

// Folder levels below the folder a walk starts in.
inline constexpr int kMaxRemoteTreeDepth = 64;

class ERemoteTreeTooDeep : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class ERemoteWalkStopped : public std::runtime_error {
  public:
    ERemoteWalkStopped() : std::runtime_error("The page was closed.") {}
};

// True for "." and "..", blanks around the name ignored.
bool IsDotEntry(const std::string& name);

class TRemoteTreeWalk {
  public:
    // `stopped` answers whether the page was closed since the walk began. Both must outlive
    // the walk.
    TRemoteTreeWalk(TPageSession& session, std::function<bool()> stopped);

    // Lets pending window messages be processed once, refuses a `depth` (1 for a folder of the
    // folder the walk starts in) above the bound, then CWD `folder`.
    void Enter(const std::string& folder, int depth);
    // LIST of the server's folder: its entries from the last listed to the first, without the
    // dot entries.
    std::vector<ftp::TIdFTPListItem> Entries();
    // CWD "..".
    void Leave();
    // Throws ERemoteWalkStopped when the page was closed.
    void CheckStopped() const;

  private:
    TPageSession& session_;
    std::function<bool()> stopped_;
};
