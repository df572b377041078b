#pragma once
// The main window: the banner bar, the left page control (local files, history, tasks), the
// right page control with the site list (TSiteListPane) and one tab sheet per connection page
// (TConnectionPages), the window layout (TLayoutKeeper), and the application-wide error
// handler. It is the host of its pages (TPageHost) and of the dialogs (TDialogsHost); its
// named members and handlers forward to the part that does the work.
//
// Life: the constructor is the window's creation (FormCreate: it reads the local bookmarks and
// touches no table); the first show runs FormShow under the handler guard (connects the
// database of the data module `dm`, fills the site list, applies the saved layout); closing the
// window runs FormClose, which shuts every connection page down from the highest number and
// saves the layout. While the window lives, ApplicationEvents1Exception is the application
// error handler.
//
// Files are those of `programFolder` (ending in "/"): "all.dat", "FTPBookmark.dat",
// "forminfo.ini", "bookmark.dat".
//
// The local file pane (TLocalFilePane) and the local bookmarks (TLocalBookmarks) are the
// window's "&Local File" sheet; their controls and handlers are named here as well.
#include <QMainWindow>

#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "connection/page_host.h"
#include "dialogs/dialogs_host.h"
#include "mainwindow/history_record.h"
#include "platform/ui/handler_guard.h"

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QSplitter;
class QTabWidget;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class TBannerBar;
class TConnectionPages;
class THistoryPage;
class THistoryRerun;
class TLayoutKeeper;
class TLocalBookmarks;
class TLocalFilePane;
class TMainTransfers;
class TPageDialogBox;
class TSiteListPane;
class TTabSheet;
class TTaskRun;
class TTaskTree;
class Tfb;

namespace ui {
class DriveCombo;
class ListView;
class ShellListView;
struct ListDrag;
}  // namespace ui

class TForm1 : public QMainWindow, public TPageHost, public TDialogsHost {
    Q_OBJECT

  public:
    explicit TForm1(std::string programFolder, QWidget* parent = nullptr);
    ~TForm1() override;

    // ---- components ----
    TBannerBar* ZezovozPanel1;
    QSplitter* Splitter1;
    QTabWidget* PageControl2;
    QWidget* TabSheet2;  // "&Local File"
    QWidget* TabSheet3;  // "&History"
    QWidget* TabSheet4;  // "&Tasks"
    QToolBar* ToolBar4;
    QToolButton* ToolButton19;  // up one level
    QToolButton* ToolButton28;  // "Add bookmark"
    QToolButton* ToolButton30;  // "Add task"
    QToolButton* ToolButton35;  // "Upload"
    QToolButton* ToolButton31;  // "View style"
    QToolButton* ToolButton36;  // "Help"
    ui::DriveCombo* JvDriveCombo1;
    ui::ShellListView* ShellListView1;
    QMenu* view;
    QAction* Largeison1;  // "Large icon"
    QAction* List2;       // "List"
    QAction* Smallicon2;  // "Small icon"
    QAction* Report2;     // "Report"
    QMenu* popbookmark;
    QAction* AddBookmark1;
    QAction* Bookmarkmanager1;
    QAction* N2;
    QTabWidget* PageControl1;
    TTabSheet* TabSheet1;  // "FTP Site"
    QToolBar* ToolBar1;
    QToolButton* ToolButton37;  // "Quick connect"
    QToolButton* ToolButton2;   // "Edit FTP site"
    QToolButton* ToolButton9;   // "Delete"
    QToolButton* ToolButton3;   // "Connection"
    QToolButton* ToolButton5;   // "View style"
    QToolButton* ToolButton4;   // "Help"
    ui::ListView* ListView1;    // the site list
    QSplitter* Splitter2;
    QLabel* Label1;
    QPlainTextEdit* Memo2;
    QMenu* Pbrowser;
    QAction* Connect1;
    QAction* New1;
    QAction* Edit1;
    QAction* Delete1;
    QAction* R1;  // "Rename"
    QAction* Refresh1;
    QMenu* view2;
    QAction* MenuItem1;  // "Large icon"
    QAction* MenuItem2;  // "List"
    QAction* MenuItem3;  // "Small icon"
    QAction* MenuItem4;  // "Report"
    QMenu* PopupMenu1;
    QAction* Closepage1;
    QAction* Closeall1;
    // The "&History" sheet (THistoryPage).
    QToolBar* ToolBar2;
    QToolButton* ToolButton1;   // "Show/Refresh hostorys"
    QToolButton* ToolButton6;   // "Delete"
    QToolButton* ToolButton16;  // "Execute"
    QToolButton* ToolButton7;   // "Clear historys"
    QToolButton* ToolButton11;  // "Expand"
    QToolButton* ToolButton15;  // "Collapse"
    QToolButton* ToolButton14;  // "Help"
    QTreeWidget* TreeView1;
    QWidget* Panel4;
    QLabel* Label4;   // "Start at"
    QLabel* Label6;   // "Finished"
    QLabel* Label12;  // "Elapsed"
    QLabel* Label14;  // "Speed"
    QLabel* Label2;   // "FTP path"
    QLabel* Label10;  // "Local path"
    QMenu* Phistory;
    QAction* Execute1;
    QAction* Delete2;
    // The "&Tasks" sheet (TTaskTree).
    QToolButton* ToolButton34;  // reload
    QToolButton* ToolButton23;  // "New category"
    QToolButton* ToolButton26;  // "Edit"
    QToolButton* ToolButton18;  // "Delete"
    QToolButton* ToolButton17;  // "Execute"
    QToolButton* ToolButton21;  // "Expand"
    QToolButton* ToolButton22;  // "Collapse"
    QToolButton* ToolButton25;  // "Help"
    QTreeWidget* TreeView2;
    QPlainTextEdit* Memo1;  // the task description
    QMenu* Poptask;
    QAction* Edit2;
    QAction* Delete3;
    QAction* Execute2;

    // ---- state ----
    // The number of the last page created; never decremented, so numbers are never reused.
    std::int32_t PageCounter = 0;
    int FLocalViewStep = 4;
    int FSiteViewStep = 4;

    const std::string& ProgramFolder() const { return programFolder_; }
    std::string LayoutPath() const;

    // ---- start-up and shut-down ----
    void FormCreate();  // run by the constructor
    void FormShow();
    void FormClose();
    // The application error handler: shows the error's text in the status line (no modal
    // box); the server closing the connection gets its own wording.
    void ApplicationEvents1Exception(std::exception_ptr error);
    // What the status line last reported ("" before any error).
    const std::string& LastErrorText() const { return lastErrorText_; }

    // ---- site list ----
    void LoadSiteList() override;
    // The list with only "NewFTPSite", as the window is created.
    void ClearSiteList();
    void ShowSiteMenuItems(bool visible);
    void DeleteSite(const std::string& name);
    void EditSite(const std::string& name);
    // The selected site's caption (a site's name may be empty); nullopt when nothing or
    // "NewFTPSite" is selected.
    std::optional<std::string> SelectedSite() const;
    void ListView1SelectItem();
    void ListView1DblClick();
    void FTP2Click();
    void Edit1Click();
    void Delete1Click();
    void R1Click();
    void ListView1Edited(int row, std::string& caption);
    void ToolButton3Click();
    void ToolButton5Click();
    void Refresh1Click();
    int SiteCount() const;  // items of the site list, "NewFTPSite" included
    std::string SiteCaption(int row) const;

    // ---- connection pages ----
    void OpenSitePage(const std::string& name, bool quickConnect) override;
    void OpenQuickConnectPage(const std::string& host, int port, const std::string& user,
                              const std::string& password, bool passive) override;
    // Both close their pages also when the shared page layout cannot be written; that write
    // error is thrown once the pages are closed.
    void CloseActivePage();
    void Closeall1Click();
    // A mouse press on the tab row of PageControl1 at `position` (tab bar coordinates).
    void PageControl1MouseDown(Qt::MouseButton button, const QPoint& position);
    void PageControl1Change();
    // The frame of the active page; nullptr while the site list is shown.
    Tfb* ActiveFrame() const;
    // The page whose caption equals `name` exactly (hidden pages included), else nullptr.
    TTabSheet* FindSitePage(const std::string& name) const;
    // The frame "fr" + number on any sheet, else nullptr.
    Tfb* FindFrame(int number) const;

    // ---- local file pane ----
    TLocalFilePane& LocalPane() const { return *local_; }
    void ToolButton19Click();
    void JvDriveCombo1Change();
    void ToolButton31Click();
    void Largeison1Click();
    void List2Click();
    void Smallicon2Click();
    void Report2Click();

    // ---- local bookmarks ----
    void LoadLocalBookmarks();
    // The local bookmarks' folders in menu order.
    std::vector<std::string> LocalBookmarks() const;
    void ToolButton28Click();
    void LocalBookmarkClick(QAction& item);
    // Opens the bookmark manager on its "Local" page (modal).
    void Bookmarkmanager1Click();
    // Fills a new page's remote bookmark menu with the rows of the stored site named
    // `siteName` (none when no site has that name). Throws the tables' errors.
    void LoadPageBookmarks(const std::string& siteName, Tfb& frame);

    // ---- transfers started from the main window (TMainTransfers) ----
    bool ShellListView1DragOver(const ui::ListDrag& drag) const;
    void ShellListView1DragDrop(const ui::ListDrag& drag);
    void ToolButton35Click();  // Upload

    // ---- tasks page (TTaskTree) and task runs (TTaskRun) ----
    TTaskTree& TaskTree() const { return *tasks_; }
    void LoadTaskTree();
    void TreeView2Change();
    void PoptaskPopup();
    void ToolButton34Click();  // reload
    void ToolButton23Click();  // "New category"
    void ToolButton26Click();  // "Edit"
    void ToolButton18Click();  // "Delete"
    void ToolButton17Click();  // "Execute", also the popup's "Execute"
    void ToolButton21Click();  // "Expand"
    void ToolButton22Click();  // "Collapse"
    // "Add task" of the local pane: a new upload task of the selected local items.
    void ToolButton30Click();

    // ---- layout ----
    void LoadMainLayout();
    void SaveMainLayout();
    void LoadPageLayout(Tfb& frame);

    // ---- the pages' host ----
    void SavePageLayout(Tfb& frame) override;
    void SetUploadEnabled(bool enabled) override;
    bool IsActivePage(const Tfb& frame) const override;
    void SetPageImage(Tfb& frame, int image) override;
    std::vector<std::string> SiteNames() const override;
    // The folder the local file pane shows.
    std::string LocalFolder() const override;
    // The categories of the stored tasks, in table order.
    std::vector<std::string> TaskCategories() const override;

    // ---- the dialogs' host ----
    void SetLocalBookmarks(const std::vector<std::string>& folders) override;
    // Writes the local bookmark menu's folders to "bookmark.dat"; a file that cannot be written
    // is passed over (the bookmarks stay for this run).
    void SaveLocalBookmarks() override;
    std::vector<Tfb*> Pages() const override;
    // The frame of the active page (ActiveFrame).
    Tfb* ActivePage() const override;
    void ReloadPageOptions() override;
    QWidget* DialogParent() override;

    // ---- banner and toolbar commands ----
    // "Options": the options dialog on its first page.
    void SpeedButton1Click();
    // "Feedback": a new mail to the program's address with an empty subject, through the shell.
    // "Homepage": the program's home page, through the shell. Either names its address in an
    // error box when the desktop has no program for it.
    void SpeedButton3Click();
    void SpeedButton4Click();
    // "About": the About box.
    void SpeedButton6Click();
    // "Exit": closes the window without a question, which shuts the program down as the close
    // box does.
    void SpeedButton2Click();
    // The site list's "Quick connect": the quick-connect dialog.
    void ToolButton37Click();
    // Help: the banner's "Help" opens the help file's topics finder; the site list's and the
    // local pane's "Help" their topics ("Newitem", "Newitem20").
    void SpeedButton5Click();
    void ToolButton4Click();
    void ToolButton36Click();

    // ---- history page ----
    // The records of the history tree's transfer nodes (owned by the page).
    const THistoryItems& FHistoryItems() const;
    void LoadHistoryTree();
    // Deletes the stored history of the site with that id (its heads and exactly their
    // details); the tree stays as it is. The site list's delete runs the same routine.
    void DeleteSiteHistory(std::int32_t siteId);
    void ToolButton1Click();  // refresh
    void TreeView1Change(QTreeWidgetItem* node);
    void PhistoryPopup();
    void ToolButton6Click();   // Delete, also Delete2
    void ToolButton16Click();  // Execute, also Execute1: runs the transfer again
    void ToolButton7Click();   // Clear history
    void ToolButton11Click();  // Expand
    void ToolButton15Click();  // Collapse

    // ---- local folders of downloads (history re-run, task runs) ----
    // Makes every folder of the absolute local path `path` exist, level by level from the
    // outermost missing one (ForceLocalFolderLevels). True for an empty path or when every
    // level exists afterwards; false when a level cannot be created or the path is not
    // absolute; the caller then shows "Can not create the folder %s, please check and enter
    // again.". Never throws.
    static bool ForceLocalFolders(const std::string& path);

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildLeftSide();
    void BuildTasksPage();
    void ConnectHandlers();

    std::string programFolder_;
    std::unique_ptr<TLayoutKeeper> layout_;
    TSiteListPane* sites_;
    TLocalFilePane* local_;
    TLocalBookmarks* bookmarks_;
    TConnectionPages* pages_;
    std::unique_ptr<TPageDialogBox> pageDialogs_;
    std::unique_ptr<TMainTransfers> transfers_;
    THistoryPage* history_;
    std::unique_ptr<THistoryRerun> rerun_;
    TTaskTree* tasks_;
    std::unique_ptr<TTaskRun> taskRun_;
    bool shown_ = false;
    bool closed_ = false;
    std::string lastErrorText_;
    std::unique_ptr<ui::ScopedApplicationErrorHandler> errorHandler_;
};

// The main window of the running program (null before it is created).
extern TForm1* Form1;
