#include "mainwindow/main_transfers.h"

#include <string>
#include <utility>
#include <vector>

#include "connection/tfb.h"
#include "mainwindow/local_file_pane.h"
#include "mainwindow/transfer_entries.h"
#include "platform/ftp/id_list_item.h"
#include "platform/os/local_paths.h"
#include "platform/ui/list_view.h"
#include "platform/ui/ui_services.h"

namespace {

constexpr const char* kInvalidPath = "Invalid path.";

std::string ParentOf(const std::string& path) {
    const std::string::size_type slash = path.find_last_of('/');
    return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}

// A name as the log can show it: NUL bytes would end the line early.
std::string Printable(std::string name) {
    for (char& character : name) {
        if (character == '\0')
            character = '?';
    }
    return name;
}

}  // namespace

TMainTransfers::TMainTransfers(TLocalFilePane& local, std::function<Tfb*()> activeFrame)
    : local_(local), activeFrame_(std::move(activeFrame)) {}

bool TMainTransfers::ShellListView1DragOver(const ui::ListDrag& drag) const {
    Tfb* page = activeFrame_();
    // Only the page in front can start a drag, and only its remote list's rows are entries.
    return page != nullptr && drag.source == page->ListView2 && drag.data != nullptr &&
           page->ListView2->DraggedRows(*drag.data).has_value();
}

void TMainTransfers::ShellListView1DragDrop(const ui::ListDrag& drag) {
    if (!ShellListView1DragOver(drag))
        return;
    std::string target = local_.ShownFolder();
    if (drag.row >= 0)
        target = local_.IsFolder(drag.row) ? local_.ItemPath(drag.row)
                                           : ParentOf(local_.ItemPath(drag.row));
    if (!os::IsFolder(target)) {
        ui::MessageDlg(kInvalidPath, ui::MessageKind::kError, ui::mbOK);
        return;
    }
    Tfb* page = activeFrame_();
    if (page == nullptr)
        return;
    const TPageLifetime::Run run(page->Lifetime());
    // The rows dragged: the remote list's selection when the drag began.
    const std::vector<int> rows =
        page->ListView2->DraggedRows(*drag.data).value_or(std::vector<int>{});
    for (const int row : rows) {
        if (row < 0 || static_cast<std::size_t>(row) >= page->FDisplayList.size())
            continue;
        const rdatalist& entry = page->FDisplayList[static_cast<std::size_t>(row)];
        // A name the server chose must not lead out of the drop folder.
        if (!ftp::IsSafeLocalName(entry.name)) {
            page->AddInfoLine(
                "Not queued: \"" + Printable(entry.name) + "\" is not a plain file name.", 2);
            continue;
        }
        rupdown download = transfers::DownloadEntry(entry, target);
        if (!page->QueueHasEntry(download.name, download.lopath, download.ftppath))
            page->AddQueueEntry(std::move(download));
    }
    if (page->FBusy)
        return;  // the run in progress downloads them
    page->StartQueueRun(false);
    if (!run.Stopped())
        local_.Refresh();
}

void TMainTransfers::ToolButton35Click() {
    Tfb* page = activeFrame_();
    if (page == nullptr)
        return;
    const TPageLifetime::Run run(page->Lifetime());
    // Read off the view first: a message box pumps, and the view may read its folder anew.
    std::vector<std::pair<std::string, bool>> items;
    for (const int item : local_.SelectedItems())
        items.emplace_back(local_.ItemPath(item), local_.IsFolder(item));
    for (const auto& [path, isFolder] : items) {
        const std::optional<rupdown> upload = transfers::UploadEntry(path, isFolder);
        if (!upload) {
            ui::MessageDlg(kInvalidPath, ui::MessageKind::kError, ui::mbOK);
            // The box pumps messages: a page closed meanwhile takes no more entries.
            if (run.Stopped())
                return;
            continue;
        }
        if (!page->QueueHasEntry(upload->name, upload->lopath, upload->ftppath))
            page->AddQueueEntry(*upload);
    }
    if (page->Connected())
        page->StartQueueRun(true);
}
