#include "mainwindow/task_run.h"

#include <optional>
#include <utility>
#include <vector>

#include "connection/tfb.h"
#include "dialogs/task_tables.h"
#include "mainwindow/transfer_entries.h"
#include "platform/ftp/id_list_item.h"
#include "platform/ui/ui_services.h"

namespace {

void ReportFile(const std::string& path) {
    ui::MessageDlg("The file " + path + " was not exists.", ui::MessageKind::kError, ui::mbOK);
}

void ReportFolder(const std::string& folder) {
    ui::MessageDlg("Can not create the folder " + folder + ", please check and enter again.",
                   ui::MessageKind::kError, ui::mbOK);
}

bool CreateFolders(const std::function<bool(const std::string&)>& force,
                   const std::string& folder) {
    // Only an absolute folder says where it is: a relative one would land wherever the
    // process happens to be.
    if (folder.empty() || folder.front() != '/')
        return false;
    try {
        return force(folder);
    } catch (...) {
        return false;
    }
}

// The download of one task row, or nullopt after its error box.
std::optional<rupdown> DownloadRow(const rtaskupdown& row,
                                   const std::function<bool(const std::string&)>& force) {
    if (!CreateFolders(force, row.local)) {
        ReportFolder(row.local);
        return std::nullopt;
    }
    return transfers::StoredDownloadEntry(row.files, transfers::WithSlash(row.local) + row.files,
                                          row.ftp, row.isfolder);
}

// The upload of one task row, or nullopt after its error box.
std::optional<rupdown> UploadRow(const rtaskupdown& row) {
    // As for a download: a stored folder without its closing "/" still names that folder.
    const std::string path = transfers::WithSlash(row.local) + row.files;
    std::optional<rupdown> upload = transfers::StoredUploadEntry(path, row.isfolder, row.ftp);
    if (!upload)
        ReportFile(path);
    return upload;
}

}  // namespace

TTaskRun::TTaskRun(Needs needs) : needs_(std::move(needs)) {}

void TTaskRun::Execute(const rtask& task) {
    Tfb* page = needs_.openSitePage(task.ftp);
    if (page == nullptr)
        return;
    const TPageLifetime::Run run(page->Lifetime());
    const bool download = tasks::IsDownloadType(task.type);
    // Read at once: the error boxes below pump messages, and no table stays open meanwhile.
    const std::vector<rtaskupdown> rows = tasks::ReadTaskFiles(task.id);
    for (const rtaskupdown& row : rows) {
        std::optional<rupdown> entry;
        if (!ftp::IsSafeLocalName(row.files))
            ReportFile(row.local + row.files);
        else
            entry = download ? DownloadRow(row, needs_.forceLocalFolders) : UploadRow(row);
        // A box pumps messages: a page closed meanwhile takes no more entries.
        if (run.Stopped())
            return;
        if (entry)
            page->AddQueueEntry(std::move(*entry));
    }
    if (page->Connected() && !page->FBusy)
        page->StartQueueRun(!download);
}
