#pragma once
// Rename, delete and make folder on a page's remote list, and the name check they share. Each
// works on entries of the page's folder (FCurrentDir) as one TPageCommand: the server is
// brought into that folder before RNFR/RNTO, DELE, RMD or MKD, and the display list and the
// folder cache follow what the server did.
//
// - Delete and make folder connect a disconnected page first and then work in the folder the
//   entries were listed in, never in the folder the new connection starts in.
// - A failed step of a delete (also deep inside a folder tree) ends the whole delete with a
//   log line; what was deleted stays deleted, and the page's folder is listed again, so the
//   list shows what is left.
// - Server errors are logged with the error icon; nothing here throws but what the message
//   and input services throw.
#include <string>
#include <vector>

class Tfb;
class TPageCommand;
class TRemoteListing;
class TRemoteTreeWalk;

class TRemoteOperations {
  public:
    // `page` owns both and must outlive the object.
    TRemoteOperations(Tfb& page, TRemoteListing& listing);

    // True when `name` may be a new name in the page's folder (connection/new_name_check.h):
    // no forbidden character and no row captioned exactly `name`.
    bool CheckNewName(const std::string& name);

    // "Rename": the in-place edit of the one selected row.
    void Rename1Click();
    // End of the in-place edit of `row` with its new caption: a refused name, or a rename the
    // server refuses, puts the old caption back into `caption`.
    void ListView2Edited(int row, std::string& caption);
    // RNFR/RNTO; the first cache entry of the folder and the first display entry named
    // `oldName` take the new name, in their places. False (logged) when it failed; nothing
    // happens on a disconnected page.
    bool RenameEntry(const std::string& oldName, const std::string& newName);

    // "Delete": the confirmation, then every selected entry from the last selected row to
    // the first.
    void DeleteClick();
    // Deletes one entry of the page's folder (a folder with everything in it).
    void DeleteEntry(const std::string& name, bool folder);
    // Deletes `folder` (relative to the server's folder) and everything below it. The caller
    // holds an exchange. Throws what the component throws, ERemoteTreeTooDeep, and
    // ERemoteWalkStopped when the page was closed meanwhile.
    void DeleteFolderTree(const std::string& folder);

    // "Make new directory": the name from an input box; "Can not create folder." when it
    // failed.
    void MakeDirClick();
    // MKD `name` in the page's folder, then Refresh. True for an empty name (nothing done)
    // and for a name the check refused (its message was shown); false when an error occurred.
    bool MakeDirEntry(const std::string& name);

  private:
    struct Entry {
        std::string name;
        bool folder = false;
    };
    // Deletes `entries` (in the order given) of `folder` (a copy: connecting changes the
    // page's folder).
    void DeleteEntries(std::string folder, const std::vector<Entry>& entries);
    void DeleteTree(TRemoteTreeWalk& walk, const std::string& folder, int depth);
    // After a failed step: lists `folder` again (a failure there is logged).
    void RelistAfterFailure(TPageCommand& command, const std::string& folder);

    Tfb& page_;
    TRemoteListing& listing_;
};
