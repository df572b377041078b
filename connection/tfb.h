#pragma once
// The connection page frame: one FTP session on a tab sheet of the main window, with its remote
// list, transfer queue, information log and two timers. The controls are TfbComponents'; the
// work is done by one collaborator per concern, which this class holds and whose state its
// public fields forward to:
//   TPageSession    the FTP component and the one-exchange-at-a-time guard
//   TSiteSettings   the session settings (FSite, FIdleCommands, FSiteId)
//   TPageConnector  connect, retries, Abort, the toggle, disconnect (FRetryCount, FStartDir)
//   TRemoteListing  the display list, the folder cache and the listing routine
//   TRemoteNavigation  entering folders, Back and Refresh
//   TProtocolLog    the information log (ListView3)
//   TAntiIdle       the anti-idle tick (FIdleTicks)
// The frame is "fr" + N (set by the main window).
//
// Handlers run under the handler guard: what they throw goes to the application error
// handler. A handler that waits on the server holds a TPageLifetime::Run and an exchange of
// the guard; handlers that run inside its wait ask the guard before they talk to the server.
//
// Life: open → closed (ClosePage; the host hides the tab) → open again (ConnectSite) → ... →
// shut down (ShutDown, at exit). A shut-down frame frees itself, with the container it was
// given, once the last run on it has ended (Lifetime()), never inside one.
#include <cstdint>
#include <ctime>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "connection/duplicate_answers.h"
#include "connection/duplicate_presets.h"
#include "connection/page_lifetime.h"
#include "connection/permission_texts.h"
#include "connection/rdatalist.h"
#include "connection/rftpsite.h"
#include "connection/rsaveform.h"
#include "connection/rupdown.h"
#include "connection/tfb_components.h"
#include "platform/ftp/id_types.h"
#include "platform/os/clock.h"
#include "platform/ui/list_view_handlers.h"
#include "platform/ui/ui_services.h"
#include "shared/rtmpinfo.h"

class QAction;
class TAntiIdle;
class TChmodTree;
class TExportWalk;
class TDuplicateAsker;
class TDuplicateQuestion;
class TPageConnector;
class TPageDialogs;
class TPageHost;
class TPageSession;
class TProtocolLog;
class TQueueCommands;
class TQueueRun;
class TRemoteBookmarks;
class TRemoteListing;
class TRemoteNavigation;
class TRemoteOperations;
class TSiteSettings;
class TTransferProgress;
class TTransferQueue;

namespace ftp {
class TIdFTP;
class TIdSocksInfo;
}  // namespace ftp
namespace ui {
struct OwnerDataItem;
}

class Tfb : public TfbComponents {
    Q_OBJECT

  private:
    // Declared before the fields that refer into them.
    std::unique_ptr<TPageSession> session_;
    std::unique_ptr<TSiteSettings> settings_;
    std::unique_ptr<TRemoteListing> listing_;
    std::unique_ptr<TProtocolLog> log_;
    std::unique_ptr<TAntiIdle> antiIdle_;
    std::unique_ptr<TPageConnector> connector_;
    std::unique_ptr<TRemoteNavigation> navigation_;
    // What the duplicate-file dialog writes into the page (FRenameTo, FAskDuplicate, ...).
    TDuplicateAnswers duplicateAnswers_;

  public:
    // `host` must outlive the frame.
    explicit Tfb(TPageHost& host, QWidget* parent = nullptr);
    ~Tfb() override;

    // The dialogs the page opens (Find, Filter, Add task, ...); none until set. Not owned; must
    // outlive the frame or be reset first.
    void SetDialogs(TPageDialogs* dialogs) { dialogs_ = dialogs; }

    // ---- fields ----
    // The name the page was opened with: a stored site's name or a quick connection's host.
    std::string FSiteName;
    ftp::TIdFTP& IdFTP1;
    ftp::TIdSocksInfo& IdSocksInfo1;
    rftpsite& FSite;
    std::vector<std::string>& FIdleCommands;
    std::int32_t& FSiteId;
    std::int32_t& FRetryCount;
    std::string& FStartDir;
    std::string& FCurrentDir;
    std::vector<rdatalist>& FDisplayList;
    std::vector<rdatalist>& FDirCache;
    std::int32_t& FSortColumn;
    std::int64_t& FIdleTicks;
    // A queue run is in progress.
    bool FBusy = false;
    std::vector<rupdown> FQueue;
    std::int32_t FViewStep = 4;
    // The duplicate answers (TDuplicateAnswers): asking, or the standing answer of the run.
    bool& FAskDuplicate = duplicateAnswers_.FAskDuplicate;
    std::int32_t& FDuplicateAnswer = duplicateAnswers_.FDuplicateAnswer;
    std::int64_t FResumeOffset = 0;
    std::int64_t FResumeRemaining = 0;
    std::int64_t FFileSize = 0;
    std::string& FRenameTo = duplicateAnswers_.FRenameTo;
    double FWorkStart = 0;
    double FItemStart = 0;
    double FItemEnd = 0;
    std::int64_t FElapsedMs = 0;
    std::int32_t FChmodMode = 0;
    // The save dialog of the log and the export.
    ui::SaveFileRequest SaveDialog1;

    // ---- controls ----
    // Switches the browsing controls on or off; off also detaches the remote list's handlers
    // (double click, edit, selection change, column click, drag over, drop) as a set, on
    // attaches the page's own again.
    void EnableControls(bool enable);
    // Shows the items that depend on the remote selection as the selection now is.
    void ListView2SelectItem();
    // The remote list's handlers as the page attaches them.
    ui::ListViewHandlers RemoteListHandlers();
    void ToolButton6Click();   // Find
    void ToolButton7Click();   // Filter
    void ToolButton9Click();   // Add task: the task dialog preset with the selection
    void ToolButton16Click();  // Help: the page's topic of the program's help file

    // ---- session and connection ----
    bool LoadSiteSettings(bool isQuick);
    // Loads, connects, enters the start folder and lists it; on failure the retry timer takes
    // over. Opens a closed page again. Does nothing while an exchange of this page waits (a
    // connect of the page is under way). Reports through the log and message boxes; throws
    // only what the tables throw.
    void ConnectSite(bool isQuick);
    void ReloadOptions();
    void HandleDisconnected();
    void Timer1Timer();
    void ToolButton3Click();   // Abort, the queue menu's "Stop"
    void ToolButton17Click();  // the connect toggle
    void IdFTP1Connected();
    void IdFTP1Disconnected();
    void IdFTP1Status(ftp::TIdStatus status);
    // CWD, TYPE A when needed, PWD, LIST: the folder becomes the display list (the retry timer
    // stops first). Throws what the component throws. The caller holds an exchange.
    void ChangeDirAndList(const std::string& folder);

    // ---- remote listing and folder cache ----
    // Shows `folder` from the cache, or lists it when the cache holds nothing for it. The
    // caller holds an exchange and has changed the server's folder to it.
    void ShowDirFromCache(const std::string& folder);
    // Mode 0: the cache entries of `folder`; mode 2: those of `folder` named `name`.
    void InvalidateCache(const std::string& folder, const std::string& name, int mode);
    void AddDisplayEntry(const std::string& name, const std::string& kind,
                         const std::string& sizeText, const std::string& modified,
                         const std::string& owner, const std::string& group,
                         const std::string& attr, const std::string& grpperm,
                         const std::string& othperm);
    void AddCacheEntry(const std::string& folder, const std::string& name, const std::string& kind,
                       const std::string& sizeText, const std::string& modified,
                       const std::string& owner, const std::string& group, const std::string& attr,
                       const std::string& grpperm, const std::string& othperm);
    static std::string ShellTypeName(const std::string& name);
    // Clears the remote list's selection, then takes the display entries `drop` answers true
    // for out of the list (the filter); the folder cache keeps them, so Refresh shows them
    // again. The selection goes first: it would otherwise name rows that now show other
    // entries, or none.
    void RemoveDisplayEntries(const std::function<bool(const rdatalist&)>& drop);
    // Navigation (TRemoteNavigation): a disconnected page connects instead (and throws what
    // ConnectSite throws); server errors are logged, never thrown.
    void ListView2DblClick();
    void ToolButton1Click();  // Back
    void ToolButton2Click();  // Refresh, the menu's "Refresh"

    // ---- remote file operations, permissions and export ----
    // (TRemoteOperations, TChmodTree, TExportWalk.) Every command names entries of the page's
    // folder and sends them only while the server is in it; what stops a command is logged.
    // True when `name` may be a new name in the page's folder; a refusal shows its message.
    bool CheckNewName(const std::string& name);
    void Rename1Click();
    // End of the in-place edit of `row`: renames, or puts the old caption back into `caption`.
    void ListView2Edited(int row, std::string& caption);
    // Nothing on a disconnected page; the row keeps its place.
    void RenameEntry(const std::string& oldName, const std::string& newName);
    void ToolButton4Click();  // Delete, the menu's "Delete"
    // A disconnected page connects first and deletes in the folder the entry was listed in.
    void DeleteEntry(const std::string& name, bool folder);
    // The caller holds an exchange; throws what the component throws.
    void DeleteFolderTree(const std::string& folder);
    void ToolButton11Click();  // Make new directory
    bool MakeDirEntry(const std::string& name);
    void Properties1Click();
    // The caller holds an exchange; throws what the component throws.
    void ChmodTree(const std::string& folder);
    // The read, write and execute boxes of the permissions dialog that one permission text
    // ticks (permission_texts.h): the owner text is the type character and the owner's three
    // ("-rw"), the group and other texts three characters each ("r--").
    static PermissionTextBoxes ShowOwnerPermissions(const std::string& ownerText);
    static PermissionTextBoxes ShowGroupPermissions(const std::string& groupText);
    static PermissionTextBoxes ShowOtherPermissions(const std::string& otherText);
    void ToolButton18Click();  // Export whole directories
    void Exportsel1Click();    // Export selected
    // Below `parent`, a node of the export being built. The caller holds an exchange.
    void BuildExportTree(const std::string& folder, std::size_t parent);
    void SaveExportTree(const std::string& fileName);
    static std::string FormatSizeKB(std::int64_t size);
    // The folder of the last export file.
    rsaveform FSaveForm;
    // The dialogs set with SetDialogs; null when none.
    TPageDialogs* Dialogs() { return dialogs_; }

    // ---- remote list ----
    void ListView2Data(int row, ui::OwnerDataItem& item) const;
    // Sorts by the clicked column (there is no descending order) and shows the rows again.
    void ListView2ColumnClick(int column);
    void SortBy(int column);
    void Sortbyname1Click() { SortBy(0); }
    void Sortbysize1Click() { SortBy(1); }
    void Sortbytype1Click() { SortBy(2); }
    void Sortbydate1Click() { SortBy(3); }
    // The list never sorts itself: the display list's order is the rows' order.
    void ListView2Compare() {}
    // Sorts the display list in place by FSortColumn (TRemoteListing).
    void SortDisplayList();
    // The compares of the five sort keys (remote_sort.h).
    static int CompareByName(const rdatalist& left, const rdatalist& right);
    static int CompareBySize(const rdatalist& left, const rdatalist& right);
    static int CompareByType(const rdatalist& left, const rdatalist& right);
    static int CompareByDate(const rdatalist& left, const rdatalist& right);
    static int CompareByAttributes(const rdatalist& left, const rdatalist& right);
    // The view items of the remote list's "View" submenu and of the View drop-down: each sets
    // the style only (its own menu checks the item).
    void LargeIcon1Click();
    void List1Click();
    void Smallicon1Click();
    void Report1Click();
    // The four view styles (1 large icons, 2 list, 3 small icons, 4 report) and the View
    // button's cycle.
    void SetViewStep(int step);
    void ToolButton8Click();

    // ---- transfer queue and run ----
    // The queue (FQueue, and ListView1's rows in step with it) changes only through these and
    // ClearLists. Whether an entry of that name, local path and remote folder is queued (all
    // three compared exactly).
    bool QueueHasEntry(const std::string& name, const std::string& localPath,
                       const std::string& remoteFolder) const;
    // Appends the entry and its row; the page owns it from then on.
    void AddQueueEntry(rupdown entry);
    // The run wrap: nothing while a run is in progress (it takes the new entries up); a run
    // asked for while another exchange of the page waits starts once that one has ended.
    // Otherwise shows the progress panel, runs the queue, resets the page's run state and,
    // unless the page was closed meanwhile, refreshes the remote list when asked and switches
    // the browsing controls on. Throws nothing of the run's (its errors end in its log line).
    void StartQueueRun(bool refreshAfter);
    // Works the queue off from its head (FBusy set by the caller); see TQueueRun.
    void RunTransferQueue();
    // Sets the component's transfer type for a file of that extension (with its dot) from the
    // page's transfer mode. Throws what the table and the component throw.
    void ApplyTransferType(const std::string& extension);
    // Records the transfer of queue entry `index` in the history tables; `newName` is the new
    // name of a rename answer, else empty. Throws what the tables throw.
    void WriteHistory(int index, const std::string& newName);
    void ToolButton5Click();  // Download..., the remote list's "Download..."
    // Local items of the main window's local file view dragged over or dropped on the remote
    // list.
    bool ListView2DragOver(const ui::ListDrag& drag);
    void ListView2DragDrop(const ui::ListDrag& drag);
    void PopupdownPopup();
    void ransfer1Click();  // Transfer
    void Delete2Click();
    void Clear2Click();
    // The component's work events: the progress panel (which shows the newest counts every
    // few milliseconds, and the last ones when the transfer ends).
    void IdFTP1WorkBegin(ftp::TWorkMode mode, std::int64_t expected);
    void IdFTP1Work(ftp::TWorkMode mode, std::int64_t countSoFar);
    void IdFTP1WorkEnd(ftp::TWorkMode mode);
    TTransferQueue& Queue() { return *queue_; }
    TTransferProgress& Progress() { return *progress_; }

    // ---- duplicate names, resume and folder transfers ----
    // Lists the server's current folder anew and returns the index of the first item named
    // exactly `name` (byte for byte), or -1. Unless `noDetails`, the item's size and modified
    // time ("yyyy-mm-dd hh:mm:ss") go into `info`. Throws what LIST throws. The caller holds an
    // exchange.
    int FindRemoteItem(const std::string& name, rtmpinfo& info, bool noDetails);
    // Settles one clash: the standing answer of the run, or the duplicate question shown
    // modally for this page. FResumeOffset and FResumeRemaining stay set only for a resume of
    // a file download whose local file is shorter; every other answer clears them (and a
    // resume nothing offered is a skip). Without dialogs the answer is Cancel.
    TDuplicateCode AskDuplicateAction(const rtmpinfo& info, bool isFolder, bool isDownload);
    // Copies the remote folder `remoteName` (relative to the server's folder) into the local
    // folder given by `localPath`, `newName` and `mode` (-1 created, 2 overwrite, 0 renamed);
    // the server ends in the folder it started in, the process in the top local folder.
    // Nothing is written outside that folder. Throws what the component throws, and
    // ftp::EIdClosedSocket when the page was closed meanwhile (TFolderDownload).
    void DownloadFolderTree(const std::string& remoteName, const std::string& localPath,
                            const std::string& newName, int mode);
    // Copies the local folder `localPath` (ending with "/") into the server's current folder
    // (TFolderUpload). Throws as DownloadFolderTree.
    void UploadFolderTree(const std::string& localPath);
    // True when the folder exists, else whether creating it (one level) succeeded.
    static bool EnsureLocalDir(const std::string& path);
    static bool IsLocalDir(const std::string& path);
    // A file time (UTC seconds) as the local date and time.
    static os::LocalDateTime FileTimeToDateTime(std::time_t fileTime);
    // The page's duplicate answers, the clash being asked and the page as the dialog's asker.
    TDuplicateAnswers& DuplicateAnswers() { return duplicateAnswers_; }
    const TDuplicatePresets& DuplicatePresets() const;
    TDuplicateAsker& DuplicateAsker();

    // ---- log and anti-idle ----
    void AddInfoLine(const std::string& text, int icon) noexcept;
    void AddInfoLines(const std::string& text, int icon) noexcept;
    void IdLogEvent1Received(const std::string& text);
    void IdLogEvent1Sent(const std::string& text);
    void Clear1Click();
    void Savetofile1Click();
    void Timer2Timer();
    TProtocolLog& Log() { return *log_; }

    // ---- remote bookmarks ----
    // Adds a bookmark of the current folder (the button and "Add Bookmark"): a row of the
    // `bookmark` table for FSiteId unless it has one, and a menu item in any case. Throws the
    // table's errors.
    void ToolButton10Click();
    // A bookmark item chosen: goes to its folder as one navigation (TRemoteNavigation::GoTo).
    void OnBookmarkItemClick(QAction& item);
    // "Manage Bookmarks...": the bookmark manager on its "FTP" page for FSiteId.
    void Bookmarkmanager1Click();
    // The bookmark items' folders in menu order, and replacing them all (a new page's
    // bookmarks, the manager's OK).
    std::vector<std::string> BookmarkPaths() const;
    void SetBookmarkPaths(const std::vector<std::string>& paths);

    // ---- the page as the main window holds it ----
    // How often ConnectSite has run on this frame.
    int ConnectCount() const { return connectCount_; }
    // Whether the page's connection is open (while an exchange waits: as it last was known).
    bool Connected();
    // Closes the session without QUIT; an error there is passed over.
    void Disconnect();
    // Empties the display list, the folder cache, the transfer queue and the three lists.
    void ClearLists();
    // Empties the display list, the folder cache and the remote list; a listing under way
    // adds nothing more.
    void ClearRemoteLists();
    TPageSession& Session() { return *session_; }

    // Closes the page (the host then hides its tab): marks it closed, writes the shared
    // layout through the host, stops both timers, disconnects (an error there is passed
    // over: the session is gone either way) and empties the lists. A layout that cannot be
    // written does not keep the page open: its write error is returned, for the caller to
    // report once the page is closed; nullptr when it was written.
    std::exception_ptr ClosePage();
    // Shuts the page down for good (exit): the steps of ClosePage but the emptying, then
    // frees `container` (the frame's tab sheet, which owns the frame; the frame itself when
    // null) by deferred deletion once no run is active. Returns as ClosePage.
    std::exception_ptr ShutDown(QWidget* container);
    bool Closed() const { return lifetime_.Closed(); }
    // What runs on the page hold (TPageLifetime::Run) and check after each blocking call.
    TPageLifetime& Lifetime() { return lifetime_; }

    // The layout the main window saves and restores (heights in pixels).
    int LogHeight() const;
    void SetLogHeight(int height);
    int QueueHeight() const;
    void SetQueueHeight(int height);

    TPageHost& Host() { return host_; }

  protected:
    // The log and the queue keep their heights; the remote list takes the rest.
    void resizeEvent(QResizeEvent* event) override;

  private:
    void ConnectHandlers();
    void ApplyHeights();
    // The steps closing and shutting down share.
    std::exception_ptr EndSession();

    TPageHost& host_;
    TPageDialogs* dialogs_ = nullptr;
    TPageLifetime lifetime_;
    int connectCount_ = 0;
    int logHeight_ = 93;
    int queueHeight_ = 137;

    // Remote file operations, permissions and export (made by ConnectOperationHandlers).
    void ConnectOperationHandlers();
    std::unique_ptr<TRemoteOperations> operations_;
    std::unique_ptr<TChmodTree> chmod_;
    std::unique_ptr<TExportWalk> export_;

    // The transfer queue, its run, the progress panel and the history writer.
    void ConnectQueueHandlers();
    std::unique_ptr<TTransferQueue> queue_;
    std::unique_ptr<TTransferProgress> progress_;
    std::unique_ptr<TQueueRun> run_;
    std::unique_ptr<TQueueCommands> queueCommands_;

    // Remote bookmarks: the bookmark menu's items and rows.
    void ConnectBookmarkHandlers();
    std::unique_ptr<TRemoteBookmarks> bookmarks_;

    // duplicate names, resume and folder transfers
    TDuplicateQuestion& Question();
    std::unique_ptr<TDuplicateQuestion> question_;
};
