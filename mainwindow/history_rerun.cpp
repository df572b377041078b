#include "mainwindow/history_rerun.h"

#include <optional>

#include "connection/rupdown.h"
#include "connection/tfb.h"
#include "mainwindow/force_local_folders.h"
#include "mainwindow/transfer_entries.h"
#include "platform/ftp/id_list_item.h"
#include "platform/os/local_paths.h"
#include "platform/ui/ui_services.h"
#include "shared/open_table.h"
#include "shared/tdm.h"

namespace {

void ShowError(const std::string& text) {
    ui::MessageDlg(text, ui::MessageKind::kError, ui::mbOK);
}

// "%s" of a message replaced by `value`.
std::string WithPath(std::string text, const std::string& value) {
    return text.replace(text.find("%s"), 2, value);
}

std::optional<std::string> SiteName(Tdm& data, std::int32_t siteId) {
    OpenTable sites(*data.Tftpsite);
    if (!sites->Locate("id", siteId))
        return std::nullopt;
    return sites->FieldByName("name").AsString();
}

}  // namespace

THistoryRerun::THistoryRerun(std::function<Tdm&()> data,
                             std::function<Tfb*(const std::string&)> openSitePage)
    : data_(std::move(data)), openSitePage_(std::move(openSitePage)) {}

void THistoryRerun::Execute(rhd record) {
    // The site table is closed before the page opens: opening it reads the same table.
    const std::optional<std::string> site = SiteName(data_(), record.siteid);
    if (!site) {
        ShowError("Can not read the information of the FTP site.");
        return;
    }
    Tfb* page = openSitePage_(*site);
    if (page == nullptr)
        return;
    if (record.type == "Download")
        Download(*page, record);
    else
        Upload(*page, record);
}

void THistoryRerun::Download(Tfb& page, const rhd& record) {
    // The stored folder must be an absolute one that can be made, and the stored local name a
    // plain name in it: history rows can come from a file copied from elsewhere.
    const std::string folder = os::FolderPart(record.lopath);
    if (folder.empty() || !ftp::IsSafeLocalName(record.lofile) || !ForceLocalFolderLevels(folder)) {
        ShowError(
            WithPath("Can not create the folder %s, please check and enter again.", record.lopath));
        return;
    }
    rupdown entry = transfers::StoredDownloadEntry(record.ftpfile, folder + record.lofile,
                                                   record.ftppath, record.isfolder);
    if (page.QueueHasEntry(entry.name, entry.lopath, entry.ftppath))
        return;
    page.AddQueueEntry(std::move(entry));
    if (page.Connected() && !page.FBusy)
        page.StartQueueRun(false);
}

void THistoryRerun::Upload(Tfb& page, const rhd& record) {
    // The local name, also when the first upload stored the item under another remote name.
    std::optional<rupdown> entry =
        transfers::StoredUploadEntry(record.lopath, record.isfolder, record.ftppath);
    if (!entry) {
        ShowError(WithPath("The file %s was not exists.", record.lopath));
        return;
    }
    if (page.QueueHasEntry(entry->name, entry->lopath, entry->ftppath))
        return;
    page.AddQueueEntry(std::move(*entry));
    if (page.Connected() && !page.FBusy)
        page.StartQueueRun(true);
}
