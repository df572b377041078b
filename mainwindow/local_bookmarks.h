#pragma once
// The local folder bookmarks of the main window: the menu `popbookmark` (the drop-down of the
// local pane's "Add bookmark" button) with its fixed items "Add Bookmark", "Manage
// Bookmarks..." and a separator, followed by one item per bookmarked folder, kept in the list
// file "bookmark.dat". The menu's items are the bookmarks: the file is written from them.
//
// Going to a folder and opening the manager are the owner's: the call-backs it sets. A
// bookmark item's folder is its caption (shown with "&" doubled, so that no character becomes
// a mnemonic).
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

    // Appends one item per text of the list file (none when it is missing).
    void LoadLocalBookmarks();
    // Writes the list file from the items, in menu order; a file that cannot be written is
    // passed over (the items stay for this run).
    void SaveLocalBookmarks() const;
    // Adds `folder` unless an item has exactly that folder, then writes the file in any case;
    // a `folder` that is not an existing folder changes and writes nothing. Returns whether
    // the file was written.
    bool AddFolder(const std::string& folder);
    // Replaces every bookmark item by one item per folder, in order; writes nothing.
    void SetFolders(const std::vector<std::string>& folders);

    // The bookmark items and their folders, in menu order.
    std::vector<QAction*> Items() const;
    std::vector<std::string> Folders() const;
    static std::string FolderOf(const QAction& item);

    // A bookmark item chosen: goes to its folder.
    void LocalBookmarkClick(QAction& item);

  private:
    void AppendItem(const std::string& folder);
    bool IsFixed(const QAction& item) const;

    std::string listPath_;
};
