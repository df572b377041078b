#pragma once
// The local file view: a list view (ui::ListView, every view style) of one folder of the local
// file system at a time, over Qt's file-system model: folders, files and hidden items, folders
// first, sorted by name; several items selectable, whole rows, selected items draggable; an
// item's caption can be edited in place, which renames the file.
//
// The model reads a folder in the background: after SetRoot the items come in while the event
// loop runs, and Loaded() tells when the shown folder has been read. The model watches the
// folder, so the list follows changes on disk; Refresh reads it anew.
//
// Paths are UTF-8 bytes, absolute, without a trailing "/" (the root is "/").
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/ui/list_view.h"

class QFileIconProvider;
class QFileSystemModel;

namespace ui {

// The view refused a folder: "Error setting path: "<path>"".
class EShellPathError : public std::runtime_error {
  public:
    explicit EShellPathError(const std::string& path);
};

class ShellListView : public ListView {
    Q_OBJECT

  public:
    // Shows the home folder (the desktop of this system), report style.
    explicit ShellListView(QWidget* parent = nullptr);
    ~ShellListView() override;

    // The folder shown.
    const std::string& Root() const { return root_; }
    // Shows the folder `path`; a relative path is taken from the folder shown. Throws
    // EShellPathError, showing what it showed, when `path` is not a folder this process can
    // open and read. Clears the selection.
    void SetRoot(const std::string& path);
    // Reads the shown folder anew (the selection is cleared). Throws as SetRoot when the
    // folder has gone.
    void Refresh();
    // Whether the shown folder has been read since it was set.
    bool Loaded() const { return loaded_; }

    // The items of the shown folder (the list's rows, in their order).
    int ItemCount() const { return RowCount(); }
    // For an item out of range: false, "" and 0.
    bool IsFolder(int item) const;
    std::string ItemPath(int item) const;
    std::int64_t ItemSize(int item) const;  // bytes; 0 for a folder
    // The selected items in row order.
    std::vector<int> SelectedItems() const { return SelectedRows(); }
    // The item at `position` of the current view's viewport, -1 for none.
    int ItemAt(const QPoint& position) const { return RowAt(position); }

    QFileSystemModel* FileModel() const { return files_; }

  signals:
    // The shown folder has been read (once per SetRoot or Refresh).
    void FolderLoaded();

  private:
    void ShowFolder(const std::string& path);

    std::string root_;
    // Icons of the desktop theme, else of the style (the model's own has no fallback).
    std::unique_ptr<QFileIconProvider> iconProvider_;
    QFileSystemModel* files_ = nullptr;
    bool loaded_ = false;
};

}  // namespace ui
