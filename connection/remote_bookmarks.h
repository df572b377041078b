#pragma once
// The remote folder bookmarks of a page: rows of the `bookmark` table ("FTPBookmark.dat":
// `ftpid` the page's site id, `path` the folder as the server reports it) and the items of the
// page's menu `fbbookmark` after its fixed items "Add Bookmark", "Manage Bookmarks..." and the
// separator. An item's folder is kept as its own bytes (its caption shows "&" doubled, so no
// character becomes a mnemonic); choosing it runs the page's OnBookmarkItemClick.
//
// The menu lists what was added on this page since it was filled, so adding a folder twice
// shows it twice while the table keeps one row; the page's creator fills it from the table, and
// the bookmark manager's OK replaces it.
#include <cstdint>
#include <string>
#include <vector>

class QAction;
class Tfb;

namespace vesk {
class TVeskTable;
}

class TRemoteBookmarks {
  public:
    // `page` owns the object and its menu, and must outlive it.
    explicit TRemoteBookmarks(Tfb& page);
    TRemoteBookmarks(const TRemoteBookmarks&) = delete;
    TRemoteBookmarks& operator=(const TRemoteBookmarks&) = delete;

    // Adds the row (`siteId`, `path`) unless the table holds one with both exactly; returns
    // whether it added one. Throws the table's errors (the table is closed again).
    static bool AddRow(vesk::TVeskTable& bookmark, std::int32_t siteId, const std::string& path);

    // The page's current folder: its row for the page's site (unless there is one) and an item
    // (in any case). Nothing without a current folder. Throws the table's errors; no item is
    // added then.
    void AddCurrentFolder();
    // Replaces every bookmark item by one per path, in order.
    void SetPaths(const std::vector<std::string>& paths);
    // The bookmark items and their folders, in menu order.
    std::vector<QAction*> Items() const;
    std::vector<std::string> Paths() const;
    static std::string PathOf(const QAction& item);

  private:
    void AppendItem(const std::string& path);
    bool IsFixed(const QAction& item) const;

    Tfb& page_;
};
