#include "connection/queue_commands.h"

#include <QAction>
#include <QItemSelectionModel>
#include <QTreeView>

#include <exception>

#include "connection/page_session.h"
#include "connection/tfb.h"
#include "connection/transfer_queue.h"
#include "platform/ftp/id_ftp.h"
#include "platform/os/local_paths.h"
#include "platform/ui/list_view.h"
#include "platform/ui/shell_list_view.h"
#include "platform/ui/ui_services.h"

namespace {}  // namespace

TQueueCommands::TQueueCommands(Tfb& page, TTransferQueue& queue) : page_(page), queue_(queue) {}

ui::ShellListView* TQueueCommands::LocalSource(const ui::ListDrag& drag, std::vector<int>* rows) {
    auto* local = qobject_cast<ui::ShellListView*>(drag.source);
    if (local == nullptr || drag.data == nullptr)
        return nullptr;
    std::optional<std::vector<int>> dragged = local->DraggedRows(*drag.data);
    if (!dragged)
        return nullptr;
    if (rows != nullptr)
        *rows = std::move(*dragged);
    return local;
}

bool TQueueCommands::DragOver(const ui::ListDrag& drag) const {
    return LocalSource(drag, nullptr) != nullptr;
}

std::string TQueueCommands::DropFolder(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= page_.FDisplayList.size())
        return "0";
    const rdatalist& entry = page_.FDisplayList[static_cast<std::size_t>(row)];
    if (entry.isfile != 0)
        return "0";  // a file row: into the page's folder, not next to the file's name
    // The folder the list shows, which the server's own folder need not be after a run.
    std::string folder = page_.FCurrentDir;
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder + entry.name;
}

void TQueueCommands::DragDrop(const ui::ListDrag& drag) {
    std::vector<int> rows;
    ui::ShellListView* local = LocalSource(drag, &rows);
    if (local == nullptr)
        return;
    const std::string remoteFolder = DropFolder(drag.row);
    for (const int item : rows) {
        const std::string path = local->ItemPath(item);
        const bool folder = local->IsFolder(item);
        if (folder ? !Tfb::IsLocalDir(path) : !os::IsRegularFile(path)) {
            ui::MessageDlg("Invalid path.", ui::MessageKind::kError, ui::mbOK);
            continue;
        }
        const std::string name = os::FileNamePart(path);
        if (page_.QueueHasEntry(name, path, remoteFolder))
            continue;
        rupdown entry;
        entry.direction = 0;
        entry.lopath = path;
        entry.ftppath = remoteFolder;
        entry.size = folder ? 0 : local->ItemSize(item);
        entry.name = name;
        entry.isfolder = folder;
        entry.spare = -1;
        entry.checkexist = false;
        page_.AddQueueEntry(std::move(entry));
    }
    if (page_.Connected())
        page_.StartQueueRun(true);
}

int TQueueCommands::SelectedRow() const {
    const QModelIndexList selected = page_.ListView1->selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void TQueueCommands::PopupEnabling() {
    const int row = SelectedRow();
    const bool some = row >= 0 && row < queue_.Count();
    // The entry the run has taken counts as running from that moment, before its image shows it.
    const bool running = some && row == 0 && queue_.HeadRunning();
    page_.ransfer1->setEnabled(some && !running);
    page_.Stop1->setEnabled(running);
    page_.Delete2->setEnabled(some && !running);
    page_.Clear2->setEnabled(some && !running);
}

void TQueueCommands::TransferClick() {
    // A run in progress takes every waiting entry; no command may cut into its transfer.
    if (page_.FBusy || queue_.Count() == 0)
        return;
    const std::string folder = page_.FQueue.front().ftppath;
    if (folder != "0") {
        auto exchange = page_.Session().Guard().TryBegin();
        if (!exchange)
            return;  // another exchange waits: the user may try again
        const TPageLifetime::Run run(page_.Lifetime());
        try {
            page_.Session().ChangeDir(folder);
            const std::string entered = page_.IdFTP1.RetrieveCurrentDir();
            page_.Session().NoteServerFolder(entered);
            page_.InvalidateCache(entered, "", 0);
        } catch (const std::exception& error) {
            if (!run.Stopped())
                page_.AddInfoLine(error.what(), 2);
            return;
        }
        if (run.Stopped())
            return;
    }
    page_.StartQueueRun(true);
}

void TQueueCommands::DeleteClick() {
    queue_.Remove(SelectedRow());
}

void TQueueCommands::ClearClick() {
    queue_.ClearWaiting();
}
