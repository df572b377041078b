#include "connection/chmod_tree.h"

#include <exception>
#include <vector>

#include "connection/page_command.h"
#include "connection/page_dialogs.h"
#include "connection/page_session.h"
#include "connection/remote_listing.h"
#include "connection/remote_tree_walk.h"
#include "connection/tfb.h"
#include "platform/ftp/id_ftp.h"
#include "platform/ui/list_view.h"
#include "platform/ui/modal_result.h"

TChmodTree::TChmodTree(Tfb& page, TRemoteListing& listing) : page_(page), listing_(listing) {}

void TChmodTree::Properties1Click() {
    const std::vector<int> rows = page_.ListView2->SelectedRows();
    if (rows.empty() || page_.Dialogs() == nullptr)
        return;
    // The rows as they were when the dialog opened, in row order.
    struct Entry {
        std::string name;
        bool folder;
    };
    std::vector<Entry> entries;
    for (const int row : rows) {
        if (row >= 0 && static_cast<std::size_t>(row) < listing_.FDisplayList.size()) {
            const rdatalist& entry = listing_.FDisplayList[static_cast<std::size_t>(row)];
            entries.push_back({entry.name, entry.isfile == 0});
        }
    }
    const std::string folder = listing_.FCurrentDir;
    const TPageLifetime::Run run(page_.Lifetime());
    const int result = page_.Dialogs()->ShowPermissions(page_);
    if (run.Stopped() || (result != ui::mrOk && result != ui::mrAbort))
        return;
    const bool recursive = result == ui::mrOk;
    if (!page_.Connected()) {
        page_.AddInfoLine("Permissions stopped: the page is not connected.", 2);
        return;
    }
    TPageCommand command(page_, "Permissions");
    if (!command.Started())
        return;
    try {
        for (const Entry& entry : entries) {
            // A folder's walk leaves the server's folder unknown: back into it for each entry.
            if (!command.EnterFolder(folder))
                return;
            Change(entry.name);
            if (entry.folder && recursive)
                ChmodTree(entry.name);
            if (command.Stopped())
                return;
        }
        command.Relist(folder);
    } catch (const ERemoteWalkStopped&) {
        return;
    } catch (const std::exception& error) {
        if (!command.Stopped())
            command.Fail(error);
    }
}

void TChmodTree::ChmodTree(const std::string& folder) {
    const TPageLifetime::Run run(page_.Lifetime());
    TRemoteTreeWalk walk(page_.Session(), [&run] { return run.Stopped(); });
    Walk(walk, folder, 1);
}

void TChmodTree::Walk(TRemoteTreeWalk& walk, const std::string& folder, int depth) {
    walk.Enter(folder, depth);
    const std::string reported = page_.IdFTP1.RetrieveCurrentDir();
    walk.CheckStopped();
    // The folder's modes change: what the cache holds of it is old now.
    if (!reported.empty())
        listing_.InvalidateCache(reported, "", 0);
    for (const ftp::TIdFTPListItem& item : walk.Entries()) {
        Change(item.FileName);
        walk.CheckStopped();
        if (item.ItemType == ftp::TIdDirItemType::ditDirectory)
            Walk(walk, item.FileName, depth + 1);
    }
    walk.Leave();
}

void TChmodTree::Change(const std::string& name) {
    page_.IdFTP1.SendCmd("SITE CHMOD " + std::to_string(page_.FChmodMode) + " " + name);
}
