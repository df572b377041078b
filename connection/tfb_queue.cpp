// The page's transfer queue, its run, the progress panel and the history writer: Tfb's
// members of that concern forward to TTransferQueue, TQueueRun, TQueueCommands,
// TTransferProgress and the history writer.
#include <QAction>
#include <QMenu>
#include <QToolButton>
#include <QTreeView>

#include <stdexcept>

#include "connection/history_writer.h"
#include "connection/page_dialogs.h"
#include "connection/queue_commands.h"
#include "connection/queue_run.h"
#include "connection/tfb.h"
#include "connection/transfer_progress.h"
#include "connection/transfer_queue.h"
#include "platform/ftp/id_ftp.h"
#include "platform/os/clock.h"
#include "platform/ui/handler_guard.h"
#include "platform/ui/list_view.h"
#include "platform/ui/locale_text.h"
#include "shared/tdm.h"

void Tfb::ConnectQueueHandlers() {
    queue_ = std::make_unique<TTransferQueue>(FQueue, *QueueItems);
    progress_ = std::make_unique<TTransferProgress>(*Panel5, *Gauge1, *Label3);
    run_ = std::make_unique<TQueueRun>(*this, *queue_, *progress_);
    queueCommands_ = std::make_unique<TQueueCommands>(*this, *queue_);

    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    auto bind = [this](auto* sender, auto signal, auto handler) {
        connect(sender, signal, this, ui::Guarded(std::move(handler)));
    };
    bind(ToolButton5, &QToolButton::clicked, [this] { ToolButton5Click(); });
    bind(Download1, &QAction::triggered, [this] { ToolButton5Click(); });
    bind(Popupdown, &QMenu::aboutToShow, [this] { PopupdownPopup(); });
    bind(ransfer1, &QAction::triggered, [this] { ransfer1Click(); });
    bind(Delete2, &QAction::triggered, [this] { Delete2Click(); });
    bind(Clear2, &QAction::triggered, [this] { Clear2Click(); });
    IdFTP1.OnWorkBegin = [this](ftp::TWorkMode mode, std::int64_t expected) {
        IdFTP1WorkBegin(mode, expected);
    };
    IdFTP1.OnWork = [this](ftp::TWorkMode mode, std::int64_t count) { IdFTP1Work(mode, count); };
    IdFTP1.OnWorkEnd = [this](ftp::TWorkMode mode) { IdFTP1WorkEnd(mode); };
}

bool Tfb::QueueHasEntry(const std::string& name, const std::string& localPath,
                        const std::string& remoteFolder) const {
    return queue_->HasEntry(name, localPath, remoteFolder);
}

void Tfb::AddQueueEntry(rupdown entry) {
    queue_->Add(std::move(entry));
}

void Tfb::StartQueueRun(bool refreshAfter) {
    run_->Start(refreshAfter);
}

void Tfb::RunTransferQueue() {
    run_->Run();
}

void Tfb::ApplyTransferType(const std::string& extension) {
    run_->ApplyTransferType(extension);
}

void Tfb::WriteHistory(int index, const std::string& newName) {
    if (dm == nullptr)
        throw std::runtime_error("No data module for the transfer history.");
    if (index < 0 || static_cast<std::size_t>(index) >= FQueue.size())
        throw std::out_of_range("No queue entry " + std::to_string(index) + ".");
    THistoryTransfer transfer;
    transfer.siteId = FSiteId;
    transfer.entry = &FQueue[static_cast<std::size_t>(index)];
    transfer.newName = newName;
    transfer.currentDir = FCurrentDir;
    transfer.itemStart = FItemStart;
    transfer.itemEnd = FItemEnd;
    transfer.elapsedMs = FElapsedMs;
    transfer.speed = progress_->SpeedText();
    WriteHistoryRows(*dm, transfer, ui::LongDateText(os::Now()));
}

void Tfb::ToolButton5Click() {
    if (ListView2->SelectedRows().empty())
        return;
    // The dialog queues the entries on OK; its result does not matter: entries left from an
    // earlier run go too.
    if (dialogs_ != nullptr)
        dialogs_->ShowDownloadTarget(*this);
    if (queue_->Count() > 0)
        StartQueueRun(false);
}

bool Tfb::ListView2DragOver(const ui::ListDrag& drag) {
    return queueCommands_->DragOver(drag);
}

void Tfb::ListView2DragDrop(const ui::ListDrag& drag) {
    queueCommands_->DragDrop(drag);
}

void Tfb::PopupdownPopup() {
    queueCommands_->PopupEnabling();
}

void Tfb::ransfer1Click() {
    queueCommands_->TransferClick();
}

void Tfb::Delete2Click() {
    queueCommands_->DeleteClick();
}

void Tfb::Clear2Click() {
    queueCommands_->ClearClick();
}

void Tfb::IdFTP1WorkBegin(ftp::TWorkMode mode, std::int64_t expected) {
    (void)mode;
    FWorkStart = DateTimeValue(os::Now());
    if (!FBusy) {
        progress_->Begin(false, 0);
        return;
    }
    FIdleTicks = 0;
    std::int64_t total = FFileSize;
    if (FResumeOffset != 0)
        total = FResumeRemaining;
    else if (expected > 0)
        total = expected;
    progress_->Begin(true, total);
}

void Tfb::IdFTP1Work(ftp::TWorkMode mode, std::int64_t countSoFar) {
    (void)mode;
    if (!FBusy)
        return;
    FIdleTicks = 0;
    const std::int64_t total = FResumeOffset != 0 ? FResumeRemaining : progress_->Total();
    progress_->Work(true, total, countSoFar);
}

void Tfb::IdFTP1WorkEnd(ftp::TWorkMode mode) {
    (void)mode;
    progress_->End();
}
