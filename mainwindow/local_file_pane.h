#pragma once
// The local file pane, the "&Local File" sheet of the main window: the toolbar `ToolBar4`, the
// drive list and the local file view `ShellListView1` with one folder at a time; its view-style
// menu and cycle, up one level, entering a folder by double click and renaming in place. It
// gives the other parts of the window what they use of the local files: the folder shown,
// showing another one, the items with their paths, the selection, the item at a point and a
// refresh.
//
// The "Add bookmark" button's menu and the Upload and "Add task" buttons' work belong to their
// owners: the pane only makes the buttons. Handlers run under the handler guard; a folder the
// view cannot open ends its handler with "Error setting path: "<path>"".
#include <QObject>

#include <cstdint>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QPoint;
class QToolBar;
class QToolButton;
class QWidget;

namespace ui {
class DriveCombo;
class ShellListView;
}  // namespace ui

class TLocalFilePane : public QObject {
    Q_OBJECT

  public:
    // Builds the pane on `sheet` and its view menu owned by `menuOwner`. `viewStep` is the
    // view-style cycle step (1 to 4) the owner keeps; it must outlive the pane.
    TLocalFilePane(QWidget& sheet, QWidget& menuOwner, int& viewStep);
    ~TLocalFilePane() override;

    QToolBar* ToolBar4;
    QToolButton* ToolButton19;  // up one level
    QToolButton* ToolButton28;  // "Add bookmark"
    QToolButton* ToolButton30;  // "Add task"
    QToolButton* ToolButton35;  // "Upload", disabled at creation
    QToolButton* ToolButton31;  // "View style"
    QToolButton* ToolButton36;  // "Help"
    ui::DriveCombo* JvDriveCombo1;
    ui::ShellListView* ShellListView1;
    QMenu* view;
    QAction* Largeison1;  // "Large icon"
    QAction* List2;       // "List"
    QAction* Smallicon2;  // "Small icon"
    QAction* Report2;     // "Report", marked at creation

    // ---- what the other parts use ----
    // The folder shown (an absolute path; the home folder at creation).
    std::string ShownFolder() const;
    // Shows `path`; throws "Error setting path: "<path>"" (ui::EShellPathError) when the view
    // cannot open it, and keeps the folder it showed.
    void SetRoot(const std::string& path);
    int ItemCount() const;
    bool IsFolder(int item) const;
    std::string ItemPath(int item) const;
    std::int64_t ItemSize(int item) const;
    std::vector<int> SelectedItems() const;
    // The item at `position` of the view's viewport, -1 for none.
    int ItemAt(const QPoint& position) const;
    void Refresh();

    // ---- handlers ----
    void ToolButton19Click();
    void JvDriveCombo1Change();
    void ToolButton31Click();
    // 1 large icons, 2 list, 3 small icons, 4 report; the cycle step stays.
    void ApplyLocalViewStyle(int step);
    void ShellListView1DblClick();
    // Refuses a new name the file system cannot take as one file's name.
    void ShellListView1Edited(int item, std::string& caption);

  private:
    void BuildControls(QWidget& sheet);
    void BuildViewMenu(QWidget& menuOwner);
    void ConnectHandlers();

    int& viewStep_;
};
