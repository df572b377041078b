#pragma once
// The local folder bookmarks of the main window: the menu `popbookmark` (the drop-down of the
// local pane's "Add bookmark" button) with its fixed items "Add Bookmark", "Manage
// Bookmarks..." and a separator, followed by one item per bookmarked folder, kept in the list
// file "bookmark.dat". The menu's items are the bookmarks: the file is written from them.
//
// Going to a folder and opening the manager are the owner's: the call-backs it sets. A
// bookmark item's folder is its caption (shown with "&" doubled, so that no character becomes
// a mnemonic).
//
// The folders are kept in order; the menu gets their items when it is first about to show (and
// again after SetFolders), so a long list costs the window's creation only the reading of the
// file, and every item shares one folder picture.
#include <QObject>

#include <functional>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QWidget;

class TLocalBookmarks : public QObject {
    Q_OBJECT

  public:
    // The menu is owned by `menuOwner`; `listPath` is the path of "bookmark.dat".
    TLocalBookmarks(QWidget& menuOwner, std::string listPath);

    QMenu* popbookmark;
    QAction* AddBookmark1;      // "Add Bookmark", the default item
    QAction* Bookmarkmanager1;  // "Manage Bookmarks..."
    QAction* N2;                // the separator

    // A bookmark item was chosen: the owner shows its folder.
    std::function<void(const std::string& folder)> OnGoTo;
    // "Add Bookmark" was chosen: the owner adds the folder it shows (AddFolder).
    std::function<void()> OnAdd;
    // "Manage Bookmarks..." was chosen.
    std::function<void()> OnManage;

    // Appends one bookmark per text of the list file (none when it is missing).
    void LoadLocalBookmarks();
    // Writes the list file from the bookmarks, in menu order; a file that cannot be written is
    // passed over (the bookmarks stay for this run).
    void SaveLocalBookmarks() const;
    // Adds `folder` unless an item has exactly that folder, then writes the file in any case;
    // a `folder` that is not an existing folder changes and writes nothing. Returns whether
    // the file was written.
    bool AddFolder(const std::string& folder);
    // Replaces every bookmark by one per folder, in order; writes nothing.
    void SetFolders(const std::vector<std::string>& folders);

    // Gives the menu one item per bookmark unless it has them (the menu's aboutToShow).
    void FillMenu();
    // The bookmark items (the menu filled first) and the bookmarks' folders, in menu order.
    std::vector<QAction*> Items();
    const std::vector<std::string>& Folders() const { return folders_; }
    static std::string FolderOf(const QAction& item);

    // A bookmark item chosen: goes to its folder.
    void LocalBookmarkClick(QAction& item);

  private:
    // A bookmark of `folder` at the end, with its item when the menu has its items.
    void AppendBookmark(const std::string& folder);
    void AppendItem(const std::string& folder);
    bool IsFixed(const QAction& item) const;

    std::string listPath_;
    std::vector<std::string> folders_;
    bool menuFilled_ = false;  // the menu holds one item per folder
};
