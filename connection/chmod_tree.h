#pragma once
// "Properties" of a page's remote list: the permissions dialog for the selected entries, then
// "SITE CHMOD <mode> <name>" for each of them in row order, with everything below the selected
// folders too when the dialog asked for it (a folder's own command before its entries, depth
// first, each folder's entries from the last listed to the first). Replies to SITE CHMOD are
// not looked at: a server that refuses shows it only in the log. Afterwards the page's folder
// is listed again.
//
// The commands go out in the folder the entries were listed in; the command is one
// TPageCommand (a disconnected page, or one whose server cannot be brought into the folder,
// changes nothing and says so in its log). A failure inside a tree (a folder that cannot be
// entered, a tree deeper than kMaxRemoteTreeDepth) ends the command with a log line and leaves
// the list as it was.
#include <string>

class Tfb;
class TRemoteListing;
class TRemoteTreeWalk;

class TChmodTree {
  public:
    // `page` owns both and must outlive the object.
    TChmodTree(Tfb& page, TRemoteListing& listing);

    // The command: the dialog (TPageDialogs::ShowPermissions), then result 1 (everything below
    // the folders too) or 3 (the selected entries only) sends the page's FChmodMode; any other
    // result does nothing.
    void Properties1Click();
    // SITE CHMOD of everything below `folder` (relative to the server's folder) with the
    // page's FChmodMode. The caller holds an exchange. Throws what the component throws,
    // ERemoteTreeTooDeep, and ERemoteWalkStopped when the page was closed meanwhile.
    void ChmodTree(const std::string& folder);

  private:
    void Walk(TRemoteTreeWalk& walk, const std::string& folder, int depth);
    // "SITE CHMOD <mode> <name>", any reply accepted.
    void Change(const std::string& name);

    Tfb& page_;
    TRemoteListing& listing_;
};
