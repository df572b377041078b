#pragma once
// The controls of a connection page, each a named member whose objectName is the same name:
// the tool bar and its buttons, the remote list, the queue, the information log, the progress
// panel, the two timers, the hidden export tree and the six menus, laid out as the page shows
// them (log, tool bar over the remote list, queue with the progress panel below). Tfb derives
// from it and gives the controls their behaviour; this class only builds them in their state
// at start.
//
// Images: a tool button's image number is its "ImageIndex" property (ImageOf/SetImage); the
// icons come from the style and the icon theme (page_images.h).
#include <QWidget>

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QProgressBar;
class QSplitter;
class QStandardItemModel;
class QTimer;
class QToolBar;
class QToolButton;
class QTreeView;
class QTreeWidget;

namespace ui {
class ListView;
class OwnerDataModel;
}  // namespace ui

class TfbComponents : public QWidget {
    Q_OBJECT

  public:
    explicit TfbComponents(QWidget* parent = nullptr);
    ~TfbComponents() override;

    // The image number of a tool button (-1 when it has none) and setting it with its icon.
    static int ImageOf(const QToolButton& button);
    static void SetImage(QToolButton& button, int image);

    // ---- layout ----
    QSplitter* Splitter1;  // log | tool bar and remote list | queue and progress
    QWidget* Panel1;       // tool bar and remote list
    QWidget* Panel2;       // queue and progress panel

    // ---- tool bar ----
    QToolBar* ToolBar1;
    QToolButton* ToolButton1;   // "Back"
    QToolButton* ToolButton2;   // "Refresh"
    QToolButton* ToolButton3;   // "Abort operation"
    QToolButton* ToolButton17;  // "Disconnect": the connect toggle
    QToolButton* ToolButton6;   // "Find..."
    QToolButton* ToolButton7;   // "Filter"
    QToolButton* ToolButton11;  // "Make new directory"
    QToolButton* ToolButton4;   // "Delete"
    QToolButton* ToolButton5;   // "Download..."
    QToolButton* ToolButton9;   // "Add task"
    QToolButton* ToolButton18;  // "Export whole directories", menu exportpop
    QToolButton* ToolButton10;  // bookmarks, menu fbbookmark
    QToolButton* ToolButton8;   // "View", menu view
    QToolButton* ToolButton16;  // "Help"

    // ---- lists ----
    QTreeView* ListView1;  // transfer queue
    QStandardItemModel* QueueItems;
    ui::ListView* ListView2;  // remote list (owner data)
    ui::OwnerDataModel* RemoteItems;
    QTreeView* ListView3;  // information log
    QStandardItemModel* InfoItems;
    QTreeWidget* TreeView1;  // hidden export tree

    // ---- progress panel ----
    QFrame* Panel3;
    QLabel* Label1;  // "Completed"
    QLabel* Panel5;  // "0/0"
    QProgressBar* Gauge1;
    QLabel* Label2;  // "Speed:"
    QLabel* Label3;  // "0KB/S"

    // ---- timers ----
    QTimer* Timer1;  // reconnect retry
    QTimer* Timer2;  // anti-idle

    // ---- PopupMenu1: the remote list ----
    QMenu* PopupMenu1;
    QAction* Download1;
    QAction* View1;
    QAction* LargeIcon1;
    QAction* List1;
    QAction* Smallicon1;
    QAction* Report1;
    QAction* Sort1;
    QAction* Sortbyname1;
    QAction* Sortbysize1;
    QAction* Sortbytype1;
    QAction* Sortbydate1;
    QAction* Delete1;
    QAction* Rename1;
    QAction* Makenewdirectory1;
    QAction* Addtask1;
    QAction* Exportselectfolder1;
    QAction* Find1;
    QAction* Filter1;
    QAction* Refresh1;
    QAction* Properties1;

    // ---- view: the drop-down of ToolButton8 ----
    QMenu* view;
    QAction* LargeIcon2;
    QAction* List2;
    QAction* Smallicon2;
    QAction* Report2;

    // ---- Popinfo: the log ----
    QMenu* Popinfo;
    QAction* Clear1;
    QAction* Savetofile1;

    // ---- Popupdown: the queue ----
    QMenu* Popupdown;
    QAction* ransfer1;  // "Transfer"
    QAction* Stop1;
    QAction* Delete2;
    QAction* Clear2;

    // ---- exportpop: the drop-down of ToolButton18 ----
    QMenu* exportpop;
    QAction* Exportfull1;
    QAction* Exportsel1;

    // ---- fbbookmark: the drop-down of ToolButton10 ----
    QMenu* fbbookmark;
    QAction* AddBookmark1;
    QAction* Bookmarkmanager1;
    QAction* MenuItem1;  // the separator before the bookmarks

  private:
    void BuildToolBar();
    void BuildLists();
    void BuildProgressPanel();
    void BuildMenus();
    void LayOut();
};
