#pragma once
// The remote listing of a page: the display list (entry i is row i of the owner-data remote
// list), the folder cache of every folder listed since the page connected, the listing routine
// that fills both from the server, the display of a folder from the cache, and the sorted
// order the list shows. The object owns both lists and their entries; an entry of one list is
// never shared with the other.
//
// Names are the server's bytes as they are; they become text only in the widget.
//
// The routines that talk to the server need their caller to hold an exchange of the session's
// guard. Errors of the FTP component pass through; the display list may then be shorter than
// the list's row count until ShowRows (rows past its end show empty).
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "connection/rdatalist.h"

class TPageSession;
namespace ftp {
struct TIdFTPListItem;
}
namespace ui {
class OwnerDataModel;
struct OwnerDataItem;
}  // namespace ui

class TRemoteListing {
  public:
    // `session` and `rows` (the remote list's model) must outlive the object.
    TRemoteListing(TPageSession& session, ui::OwnerDataModel& rows);

    std::vector<rdatalist> FDisplayList;
    std::vector<rdatalist> FDirCache;
    // The page's folder, as the server last reported it.
    std::string FCurrentDir;
    // The sort key: 0 name, 1 size, 2 type, 3 modified, 4 attributes.
    std::int32_t FSortColumn = 2;

    // CWD folder, TYPE A when needed, PWD (into FCurrentDir), LIST; the listing replaces the
    // cache entries of the reported folder and becomes the display list, sorted and shown.
    // Pumps messages while it builds the lists and while the sorted entries join the display
    // list (every 10 ms); when the lists are emptied meanwhile (Clear: the page was disconnected
    // or closed) it stops there and adds nothing more. While it pumps, the display list holds
    // the part of the listing that has joined it, in sorted order.
    void ChangeDirAndList(const std::string& folder);
    // Shows the cache entries of `folder` (exact key), sorted; lists `folder` with
    // ChangeDirAndList when the cache holds none. Sends nothing itself otherwise: the caller
    // has changed the server's folder before.
    void ShowDirFromCache(const std::string& folder);
    // The server's current folder (PWD) into FCurrentDir.
    void RetrieveCurrentDir();

    // Kind is "Folder" for a folder, empty for a file; sizeText the size in bytes. The
    // display list passes "." and ".." over.
    void AddDisplayEntry(const std::string& name, const std::string& kind,
                         const std::string& sizeText, const std::string& modified,
                         const std::string& owner, const std::string& group,
                         const std::string& attr, const std::string& grpperm,
                         const std::string& othperm);
    void AddCacheEntry(const std::string& folder, const std::string& name, const std::string& kind,
                       const std::string& sizeText, const std::string& modified,
                       const std::string& owner, const std::string& group, const std::string& attr,
                       const std::string& grpperm, const std::string& othperm);
    // Mode 0: every cache entry keyed `folder`; mode 2: those keyed `folder` and named `name`.
    // Both compare exactly; any other mode deletes nothing.
    void InvalidateCache(const std::string& folder, const std::string& name, int mode);

    // Takes the display entries `drop` answers true for out of the display list, keeping the
    // order of the rest, and shows the rows anew (a reset of the list's rows, which also clears
    // any selection); the folder cache keeps them all, so the
    // folder's next display shows them again.
    void RemoveDisplayEntries(const std::function<bool(const rdatalist&)>& drop);

    void SortDisplayList();
    // The list's row count follows the display list, and every row is asked again.
    void ShowRows();
    // Empties both lists and the remote list.
    void Clear();
    // Row request of the remote list: rows outside the display list stay empty.
    void ListView2Data(int row, ui::OwnerDataItem& item) const;

    // Size in KB as the list shows it: bytes / 1024 rounded half to even, at least 1, + "KB".
    static std::string FormatSizeKB(std::int64_t bytes);

  private:
    // AddDisplayEntry into `list`.
    static void AppendDisplayEntry(std::vector<rdatalist>& list, const std::string& name,
                                   const std::string& kind, const std::string& sizeText,
                                   const std::string& modified, const std::string& owner,
                                   const std::string& group, const std::string& attr,
                                   const std::string& grpperm, const std::string& othperm);

    // The type, size and size text of a display entry of a file named entry.name.
    static void SetFileType(rdatalist& entry, std::int64_t size);
    // A listed item (not "." or "..") as a cache entry keyed `folder`, appended to FDirCache;
    // returns it (valid until FDirCache changes).
    const rdatalist& AddListedCacheEntry(const std::string& folder,
                                         const ftp::TIdFTPListItem& item);
    // A listed item (not "." or "..") as a display entry, appended to FDisplayList; the item's
    // texts are moved out.
    void AddListedDisplayEntry(ftp::TIdFTPListItem& item);

    TPageSession& session_;
    ui::OwnerDataModel& rows_;
    // Counts Clear(): a listing that pumps learns from it that its lists were emptied.
    unsigned clears_ = 0;
    // Counts SortDisplayList(): a listing that pumps learns from it that the part of the display
    // list shown so far was sorted meanwhile.
    unsigned sorts_ = 0;
};
