#include "connection/tfb.h"

#include <QAction>
#include <QMenu>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

#include <algorithm>

#include "connection/anti_idle.h"
#include "connection/chmod_tree.h"
#include "connection/duplicate_question.h"
#include "connection/export_walk.h"
#include "connection/page_connector.h"
#include "connection/page_dialogs.h"
#include "connection/page_host.h"
#include "connection/page_session.h"
#include "connection/protocol_log.h"
#include "connection/queue_commands.h"
#include "connection/queue_run.h"
#include "connection/quick_connect_target.h"
#include "connection/remote_bookmarks.h"
#include "connection/remote_listing.h"
#include "connection/remote_navigation.h"
#include "connection/remote_operations.h"
#include "connection/remote_sort.h"
#include "connection/site_settings.h"
#include "connection/transfer_progress.h"
#include "connection/transfer_queue.h"
#include "platform/os/program_folder.h"
#include "platform/ui/handler_guard.h"
#include "platform/ui/help_service.h"
#include "platform/ui/list_view.h"
#include "platform/ui/owner_data_model.h"
#include "platform/ui/shell_type_name.h"
#include "shared/tdm.h"

namespace {

// Runs `handler` on `frame` under the handler guard when `signal` of `sender` fires.
template <class Sender, class Signal, class Handler>
void Bind(Sender* sender, Signal signal, Tfb* frame, Handler handler) {
    QObject::connect(sender, signal, frame, ui::Guarded(std::move(handler)));
}

}  // namespace

Tfb::Tfb(TPageHost& host, QWidget* parent)
    : TfbComponents(parent),
      session_(std::make_unique<TPageSession>(*this)),
      settings_(std::make_unique<TSiteSettings>(session_->IdFTP1, session_->IdSocksInfo1)),
      listing_(std::make_unique<TRemoteListing>(*session_, *RemoteItems)),
      log_(std::make_unique<TProtocolLog>(*InfoItems, *ListView3)),
      antiIdle_(std::make_unique<TAntiIdle>(*session_)),
      connector_(std::make_unique<TPageConnector>(*this)),
      navigation_(std::make_unique<TRemoteNavigation>(*this, *listing_)),
      IdFTP1(session_->IdFTP1),
      IdSocksInfo1(session_->IdSocksInfo1),
      FSite(settings_->FSite),
      FIdleCommands(settings_->FIdleCommands),
      FSiteId(settings_->FSiteId),
      FRetryCount(connector_->FRetryCount),
      FStartDir(connector_->FStartDir),
      FCurrentDir(listing_->FCurrentDir),
      FDisplayList(listing_->FDisplayList),
      FDirCache(listing_->FDirCache),
      FSortColumn(listing_->FSortColumn),
      FIdleTicks(antiIdle_->FIdleTicks),
      host_(host) {
    SaveDialog1.defaultExtension = "txt";
    SaveDialog1.filter = "*.txt|*.txt";
    ConnectHandlers();
}

Tfb::~Tfb() {
    // The component's events and the log reach into the frame: none may run while it goes.
    IdFTP1.OnConnected = nullptr;
    IdFTP1.OnDisconnected = nullptr;
    IdFTP1.OnStatus = nullptr;
    IdFTP1.OnWorkBegin = nullptr;
    IdFTP1.OnWork = nullptr;
    IdFTP1.OnWorkEnd = nullptr;
    session_->IdLogEvent1.OnReceived = nullptr;
    session_->IdLogEvent1.OnSent = nullptr;
    RemoteItems->SetDataCallback(nullptr);
    session_->Disconnect();
}

void Tfb::ConnectHandlers() {
    RemoteItems->SetDataCallback(
        [this](int row, ui::OwnerDataItem& item) { ListView2Data(row, item); });
    ListView2->Attach(RemoteListHandlers());

    IdFTP1.OnConnected = [this] { IdFTP1Connected(); };
    IdFTP1.OnDisconnected = [this] { IdFTP1Disconnected(); };
    IdFTP1.OnStatus = [this](ftp::TIdStatus status, const std::string&) { IdFTP1Status(status); };
    session_->IdLogEvent1.OnReceived = [this](const std::string& text) {
        IdLogEvent1Received(text);
    };
    session_->IdLogEvent1.OnSent = [this](const std::string& text) { IdLogEvent1Sent(text); };

    Bind(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    Bind(Timer2, &QTimer::timeout, this, [this] { Timer2Timer(); });
    Bind(ToolButton1, &QToolButton::clicked, this, [this] { ToolButton1Click(); });
    Bind(ToolButton2, &QToolButton::clicked, this, [this] { ToolButton2Click(); });
    Bind(Refresh1, &QAction::triggered, this, [this] { ToolButton2Click(); });
    Bind(ToolButton3, &QToolButton::clicked, this, [this] { ToolButton3Click(); });
    Bind(Stop1, &QAction::triggered, this, [this] { ToolButton3Click(); });
    Bind(ToolButton17, &QToolButton::clicked, this, [this] { ToolButton17Click(); });
    Bind(ToolButton6, &QToolButton::clicked, this, [this] { ToolButton6Click(); });
    Bind(Find1, &QAction::triggered, this, [this] { ToolButton6Click(); });
    Bind(ToolButton7, &QToolButton::clicked, this, [this] { ToolButton7Click(); });
    Bind(Filter1, &QAction::triggered, this, [this] { ToolButton7Click(); });
    Bind(ToolButton9, &QToolButton::clicked, this, [this] { ToolButton9Click(); });
    Bind(Addtask1, &QAction::triggered, this, [this] { ToolButton9Click(); });
    Bind(ToolButton8, &QToolButton::clicked, this, [this] { ToolButton8Click(); });
    Bind(ToolButton16, &QToolButton::clicked, this, [this] { ToolButton16Click(); });
    Bind(Clear1, &QAction::triggered, this, [this] { Clear1Click(); });
    Bind(Savetofile1, &QAction::triggered, this, [this] { Savetofile1Click(); });

    const QAction* const sortItems[4] = {Sortbyname1, Sortbysize1, Sortbytype1, Sortbydate1};
    for (int column = 0; column < 4; ++column)
        Bind(sortItems[column], &QAction::triggered, this, [this, column] { SortBy(column); });
    // Each view item sets its style only; its own menu's radio group checks it.
    QAction* const viewItems[2][4] = {{LargeIcon1, List1, Smallicon1, Report1},
                                      {LargeIcon2, List2, Smallicon2, Report2}};
    void (Tfb::*const viewHandlers[4])() = {&Tfb::LargeIcon1Click, &Tfb::List1Click,
                                            &Tfb::Smallicon1Click, &Tfb::Report1Click};
    for (const auto& menu : viewItems) {
        for (int index = 0; index < 4; ++index) {
            const auto handler = viewHandlers[index];
            Bind(menu[index], &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        }
    }

    Bind(ListView3, &QWidget::customContextMenuRequested, this, [this](const QPoint& position) {
        Popinfo->popup(ListView3->viewport()->mapToGlobal(position));
    });
    Bind(ListView1, &QWidget::customContextMenuRequested, this, [this](const QPoint& position) {
        Popupdown->popup(ListView1->viewport()->mapToGlobal(position));
    });
    Bind(Splitter1, &QSplitter::splitterMoved, this, [this] {
        const QList<int> sizes = Splitter1->sizes();
        logHeight_ = sizes.value(0);
        queueHeight_ = sizes.value(2);
    });
    ConnectOperationHandlers();
    ConnectQueueHandlers();
    ConnectBookmarkHandlers();
}

// ---- controls ----

ui::ListViewHandlers Tfb::RemoteListHandlers() {
    ui::ListViewHandlers handlers;
    handlers.OnSelectItem = [this] { ListView2SelectItem(); };
    handlers.OnDblClick = [this] { ListView2DblClick(); };
    handlers.OnColumnClick = [this](int column) { ListView2ColumnClick(column); };
    handlers.OnEdited = [this](int row, std::string& caption) { ListView2Edited(row, caption); };
    handlers.OnDragOver = [this](const ui::ListDrag& drag) { return ListView2DragOver(drag); };
    handlers.OnDragDrop = [this](const ui::ListDrag& drag) { ListView2DragDrop(drag); };
    return handlers;
}

void Tfb::EnableControls(bool enable) {
    for (QToolButton* button : {ToolButton1, ToolButton2, ToolButton6, ToolButton10, ToolButton7,
                                ToolButton11, ToolButton18})
        button->setEnabled(enable);
    for (QAction* item : {Download1, Sort1, Makenewdirectory1, Addtask1, Find1, Filter1, Refresh1})
        item->setEnabled(enable);
    if (enable)
        ListView2->Attach(RemoteListHandlers());
    else
        ListView2->Detach();
}

void Tfb::ListView2SelectItem() {
    const std::vector<int> rows = ListView2->SelectedRows();
    const bool some = !rows.empty();
    Rename1->setVisible(some && rows.size() <= 1);
    for (QAction* item : {Download1, Delete1, Exportselectfolder1, Addtask1})
        item->setVisible(some);
    for (QToolButton* button : {ToolButton9, ToolButton4, ToolButton5})
        button->setEnabled(some);
    Exportsel1->setEnabled(some);
    Properties1->setEnabled(some);
}

void Tfb::ToolButton6Click() {
    if (dialogs_ != nullptr)
        dialogs_->ShowFind(*this);
}

void Tfb::ToolButton7Click() {
    if (dialogs_ != nullptr)
        dialogs_->ShowFilter(*this);
}

void Tfb::ToolButton9Click() {
    if (ListView2->SelectedRows().empty() || dialogs_ == nullptr)
        return;
    dialogs_->ShowAddTask(*this);
}

void Tfb::ToolButton16Click() {
    ui::HelpJump(os::ProgramFolder(), "Newitem6");
}

// ---- session and connection ----

bool Tfb::LoadSiteSettings(bool isQuick) {
    if (dm == nullptr)
        return false;
    return isQuick ? settings_->LoadQuickSite(*dm, CurrentQuickConnectTarget())
                   : settings_->LoadStoredSite(*dm, FSiteName);
}

void Tfb::ConnectSite(bool isQuick) {
    ++connectCount_;
    connector_->ConnectSite(isQuick);
}

void Tfb::ReloadOptions() {
    if (dm != nullptr)
        settings_->LoadOptions(*dm);
    FIdleTicks = 0;
}

void Tfb::HandleDisconnected() {
    connector_->HandleDisconnected();
}

void Tfb::Timer1Timer() {
    connector_->Timer1Timer();
}

void Tfb::ToolButton3Click() {
    connector_->Abort();
}

void Tfb::ToolButton17Click() {
    connector_->ToggleClick();
}

void Tfb::IdFTP1Connected() {
    session_->NoteConnected();
    host_.SetPageImage(*this, 1);
}

void Tfb::IdFTP1Disconnected() {
    session_->NoteDisconnected();
    Timer2->stop();
    host_.SetPageImage(*this, 0);
}

void Tfb::IdFTP1Status(ftp::TIdStatus status) {
    if (status != ftp::TIdStatus::hsDisconnected)
        return;
    ListView2->Select(-1);
    ListView2SelectItem();
    EnableControls(false);
    FBusy = false;
    Timer2->stop();
}

void Tfb::ChangeDirAndList(const std::string& folder) {
    Timer1->stop();
    try {
        listing_->ChangeDirAndList(folder);
    } catch (...) {
        // The display list may be empty by now: the list follows it.
        listing_->ShowRows();
        throw;
    }
}

// ---- remote listing and folder cache ----

void Tfb::ShowDirFromCache(const std::string& folder) {
    try {
        listing_->ShowDirFromCache(folder);
    } catch (...) {
        listing_->ShowRows();
        throw;
    }
}

void Tfb::InvalidateCache(const std::string& folder, const std::string& name, int mode) {
    listing_->InvalidateCache(folder, name, mode);
}

void Tfb::AddDisplayEntry(const std::string& name, const std::string& kind,
                          const std::string& sizeText, const std::string& modified,
                          const std::string& owner, const std::string& group,
                          const std::string& attr, const std::string& grpperm,
                          const std::string& othperm) {
    listing_->AddDisplayEntry(name, kind, sizeText, modified, owner, group, attr, grpperm, othperm);
}

void Tfb::AddCacheEntry(const std::string& folder, const std::string& name, const std::string& kind,
                        const std::string& sizeText, const std::string& modified,
                        const std::string& owner, const std::string& group, const std::string& attr,
                        const std::string& grpperm, const std::string& othperm) {
    listing_->AddCacheEntry(folder, name, kind, sizeText, modified, owner, group, attr, grpperm,
                            othperm);
}

void Tfb::RemoveDisplayEntries(const std::function<bool(const rdatalist&)>& drop) {
    ListView2->Select(-1);
    listing_->RemoveDisplayEntries(drop);
}

std::string Tfb::ShellTypeName(const std::string& name) {
    return ui::ShellTypeName(name);
}

void Tfb::ListView2DblClick() {
    navigation_->DblClick();
}

void Tfb::ToolButton1Click() {
    navigation_->Back();
}

void Tfb::ToolButton2Click() {
    navigation_->Refresh();
}

// ---- remote list ----

void Tfb::ListView2Data(int row, ui::OwnerDataItem& item) const {
    listing_->ListView2Data(row, item);
}

void Tfb::ListView2ColumnClick(int column) {
    SortBy(column);
}

void Tfb::SortBy(int column) {
    if (column < 0 || column > 4)
        return;  // the list has five columns
    FSortColumn = column;
    SortDisplayList();
    listing_->ShowRows();
}

void Tfb::SortDisplayList() {
    listing_->SortDisplayList();
}

int Tfb::CompareByName(const rdatalist& left, const rdatalist& right) {
    return ::CompareByName(left, right);
}

int Tfb::CompareBySize(const rdatalist& left, const rdatalist& right) {
    return ::CompareBySize(left, right);
}

int Tfb::CompareByType(const rdatalist& left, const rdatalist& right) {
    return ::CompareByType(left, right);
}

int Tfb::CompareByDate(const rdatalist& left, const rdatalist& right) {
    return ::CompareByDate(left, right);
}

int Tfb::CompareByAttributes(const rdatalist& left, const rdatalist& right) {
    return ::CompareByAttributes(left, right);
}

void Tfb::LargeIcon1Click() {
    ListView2->SetStyle(ui::ViewStyle::kLargeIcons);
}

void Tfb::List1Click() {
    ListView2->SetStyle(ui::ViewStyle::kList);
}

void Tfb::Smallicon1Click() {
    ListView2->SetStyle(ui::ViewStyle::kSmallIcons);
}

void Tfb::Report1Click() {
    ListView2->SetStyle(ui::ViewStyle::kReport);
}

void Tfb::SetViewStep(int step) {
    static const ui::ViewStyle kStyles[4] = {ui::ViewStyle::kLargeIcons, ui::ViewStyle::kList,
                                             ui::ViewStyle::kSmallIcons, ui::ViewStyle::kReport};
    QAction* const items[2][4] = {{LargeIcon1, List1, Smallicon1, Report1},
                                  {LargeIcon2, List2, Smallicon2, Report2}};
    const int index = std::clamp(step, 1, 4) - 1;
    ListView2->SetStyle(kStyles[index]);
    for (const auto& menu : items)
        menu[index]->setChecked(true);
}

void Tfb::ToolButton8Click() {
    FViewStep = FViewStep - 1 <= 0 ? 4 : FViewStep - 1;
    SetViewStep(FViewStep);
}

// ---- log and anti-idle ----

void Tfb::AddInfoLine(const std::string& text, int icon) noexcept {
    log_->AddInfoLine(text, icon);
}

void Tfb::AddInfoLines(const std::string& text, int icon) noexcept {
    log_->AddInfoLines(text, icon);
}

void Tfb::IdLogEvent1Received(const std::string& text) {
    AddInfoLines(text, 1);
}

void Tfb::IdLogEvent1Sent(const std::string& text) {
    FIdleTicks = 0;
    AddInfoLines(text, 0);
}

void Tfb::Clear1Click() {
    log_->Clear();
}

void Tfb::Savetofile1Click() {
    const std::optional<std::string> path = ui::ExecuteSaveDialog(SaveDialog1);
    if (!path)
        return;
    // A log that was not saved must not look saved.
    if (!log_->SaveToFile(*path))
        AddInfoLine("Unable to write to " + *path, 2);
}

void Tfb::Timer2Timer() {
    const TPageLifetime::Run run(Lifetime());
    antiIdle_->Tick(FSite.interval, FIdleCommands);
}

// ---- the page as the main window holds it ----

bool Tfb::Connected() {
    return session_->Connected();
}

void Tfb::Disconnect() {
    session_->Disconnect();
}

void Tfb::ClearRemoteLists() {
    listing_->Clear();
}

void Tfb::ClearLists() {
    listing_->Clear();
    queue_->Clear();
    log_->Clear();
}

std::exception_ptr Tfb::EndSession() {
    std::exception_ptr layoutError;
    try {
        host_.SavePageLayout(*this);
    } catch (...) {
        layoutError = std::current_exception();
    }
    Timer1->stop();
    Timer2->stop();
    Disconnect();
    return layoutError;
}

std::exception_ptr Tfb::ClosePage() {
    // Marked first: a run that the disconnect lets pump must already see the page closed.
    lifetime_.MarkClosed();
    std::exception_ptr layoutError = EndSession();
    ClearLists();
    return layoutError;
}

std::exception_ptr Tfb::ShutDown(QWidget* container) {
    QObject* doomed = container != nullptr ? static_cast<QObject*>(container) : this;
    // Marked first, as in ClosePage. The release is deferred as well: it may come from the
    // end of a run whose handler is still on the stack.
    lifetime_.ShutDown([doomed] { doomed->deleteLater(); });
    return EndSession();
}

int Tfb::LogHeight() const {
    return logHeight_;
}

void Tfb::SetLogHeight(int height) {
    logHeight_ = height;
    ApplyHeights();
}

int Tfb::QueueHeight() const {
    return queueHeight_;
}

void Tfb::SetQueueHeight(int height) {
    queueHeight_ = height;
    ApplyHeights();
}

void Tfb::ApplyHeights() {
    const int middle = std::max(1, Splitter1->height() - logHeight_ - queueHeight_);
    Splitter1->setSizes({logHeight_, middle, queueHeight_});
}

void Tfb::resizeEvent(QResizeEvent* event) {
    TfbComponents::resizeEvent(event);
    ApplyHeights();
}
