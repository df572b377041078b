#include "connection/remote_operations.h"

#include <algorithm>
#include <exception>

#include "connection/new_name_check.h"
#include "connection/page_command.h"
#include "connection/page_session.h"
#include "connection/remote_listing.h"
#include "connection/remote_tree_walk.h"
#include "connection/tfb.h"
#include "platform/ftp/id_ftp.h"
#include "platform/ui/list_view.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/ui_services.h"

TRemoteOperations::TRemoteOperations(Tfb& page, TRemoteListing& listing)
    : page_(page), listing_(listing) {}

bool TRemoteOperations::CheckNewName(const std::string& name) {
    return ::CheckNewName(name, [this](const std::string& shown) {
        return std::any_of(listing_.FDisplayList.begin(), listing_.FDisplayList.end(),
                           [&](const rdatalist& entry) { return entry.name == shown; });
    });
}

// ---- rename ----

void TRemoteOperations::Rename1Click() {
    const std::vector<int> rows = page_.ListView2->SelectedRows();
    if (rows.size() == 1)
        page_.ListView2->EditCaption(rows.front());
}

void TRemoteOperations::ListView2Edited(int row, std::string& caption) {
    if (page_.ListView2->Selected() < 0 || row < 0 ||
        static_cast<std::size_t>(row) >= listing_.FDisplayList.size())
        return;
    const std::string oldName = listing_.FDisplayList[static_cast<std::size_t>(row)].name;
    if (!CheckNewName(caption) || !RenameEntry(oldName, caption))
        caption = oldName;
}

bool TRemoteOperations::RenameEntry(const std::string& oldName, const std::string& newName) {
    if (!page_.Connected())
        return false;
    const std::string folder = listing_.FCurrentDir;
    {
        TPageCommand command(page_, "Rename");
        if (!command.Started() || !command.EnterFolder(folder))
            return false;
        try {
            page_.IdFTP1.Rename(oldName, newName);
        } catch (const std::exception& error) {
            if (!command.Stopped())
                command.Fail(error);
            return false;
        }
        if (command.Stopped())
            return false;
    }
    // In place: the list is not sorted again until the next listing.
    auto renameFirst = [&](std::vector<rdatalist>& list, bool cached) {
        for (rdatalist& entry : list) {
            if (entry.name == oldName && (!cached || entry.folder == folder)) {
                entry.name = newName;
                return;
            }
        }
    };
    renameFirst(listing_.FDirCache, true);
    renameFirst(listing_.FDisplayList, false);
    listing_.ShowRows();
    return true;
}

// ---- delete ----

void TRemoteOperations::DeleteClick() {
    const std::vector<int> rows = page_.ListView2->SelectedRows();
    std::string question;
    if (rows.size() >= 2) {
        question = "Are you sure to delete the selected files or folders?";
    } else {
        const int row = page_.ListView2->Selected();
        if (row < 0 || static_cast<std::size_t>(row) >= listing_.FDisplayList.size())
            return;  // nothing to ask about
        const rdatalist& entry = listing_.FDisplayList[static_cast<std::size_t>(row)];
        question = entry.isfile == 1 ? "Are you sure to delete <" + entry.name + ">?"
                                     : "Are you sure to delete the folder <" + entry.name +
                                           "> and all files in this folder?";
    }
    // Only Yes deletes: a box closed without an answer is no consent.
    if (ui::MessageDlg(question, ui::MessageKind::kConfirmation, ui::mbYesNo) != ui::mrYes)
        return;
    // The entries selected when the user answered, from the last row to the first.
    std::vector<Entry> entries;
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        if (*row < 0 || static_cast<std::size_t>(*row) >= listing_.FDisplayList.size())
            continue;
        const rdatalist& entry = listing_.FDisplayList[static_cast<std::size_t>(*row)];
        entries.push_back({entry.name, entry.isfile == 0});
    }
    if (entries.empty())
        return;
    const TPageLifetime::Run run(page_.Lifetime());
    DeleteEntries(listing_.FCurrentDir, entries);
    if (run.Stopped())
        return;
    listing_.ShowRows();
    page_.ListView2->Select(-1);
    page_.ListView2SelectItem();
}

void TRemoteOperations::DeleteEntry(const std::string& name, bool folder) {
    DeleteEntries(listing_.FCurrentDir, {{name, folder}});
}

void TRemoteOperations::DeleteEntries(std::string folder, const std::vector<Entry>& entries) {
    if (!TPageCommand::ConnectInto(page_, folder, "Delete"))
        return;
    TPageCommand command(page_, "Delete");
    if (!command.Started())
        return;
    try {
        for (const Entry& entry : entries) {
            // A folder's walk leaves the server's folder unknown: back into it for each entry.
            if (!command.EnterFolder(folder))
                return RelistAfterFailure(command, folder);
            if (entry.folder)
                DeleteFolderTree(entry.name);
            else
                page_.IdFTP1.Delete(entry.name);
            if (command.Stopped())
                return;
            listing_.InvalidateCache(folder, entry.name, 2);
            std::erase_if(listing_.FDisplayList,
                          [&](const rdatalist& shown) { return shown.name == entry.name; });
        }
        listing_.ShowRows();
        return;
    } catch (const ERemoteWalkStopped&) {
        return;
    } catch (const std::exception& error) {
        if (command.Stopped())
            return;
        command.Fail(error);
    }
    RelistAfterFailure(command, folder);
}

void TRemoteOperations::RelistAfterFailure(TPageCommand& command, const std::string& folder) {
    // Part of the delete may have happened: show what the server has now.
    try {
        page_.ChangeDirAndList(folder);
    } catch (const std::exception& error) {
        if (!command.Stopped())
            page_.AddInfoLine(CommandErrorText(error), 2);
    }
}

void TRemoteOperations::DeleteFolderTree(const std::string& folder) {
    const TPageLifetime::Run run(page_.Lifetime());
    TRemoteTreeWalk walk(page_.Session(), [&run] { return run.Stopped(); });
    DeleteTree(walk, folder, 1);
}

void TRemoteOperations::DeleteTree(TRemoteTreeWalk& walk, const std::string& folder, int depth) {
    walk.Enter(folder, depth);
    for (const ftp::TIdFTPListItem& item : walk.Entries()) {
        if (item.ItemType == ftp::TIdDirItemType::ditDirectory) {
            DeleteTree(walk, item.FileName, depth + 1);
        } else {
            page_.IdFTP1.Delete(item.FileName);  // files and links
            walk.CheckStopped();
        }
    }
    walk.Leave();
    page_.IdFTP1.RemoveDir(folder);
    walk.CheckStopped();
}

// ---- make folder ----

void TRemoteOperations::MakeDirClick() {
    const std::string name = ui::InputQuery("Make new directory", "Name", "").value_or("");
    if (!MakeDirEntry(name))
        ui::MessageDlg("Can not create folder.", ui::MessageKind::kError, ui::mbOK);
}

bool TRemoteOperations::MakeDirEntry(const std::string& name) {
    if (name.empty())
        return true;
    if (!TPageCommand::ConnectInto(page_, listing_.FCurrentDir, "Make folder"))
        return false;
    const std::string folder = listing_.FCurrentDir;
    if (!CheckNewName(name))
        return true;  // its own message said why
    {
        TPageCommand command(page_, "Make folder");
        if (!command.Started() || !command.EnterFolder(folder))
            return false;
        try {
            page_.IdFTP1.MakeDir(name);
        } catch (const std::exception& error) {
            if (!command.Stopped())
                command.Fail(error);
            return false;
        }
        if (command.Stopped())
            return true;
    }
    page_.ToolButton2Click();
    return true;
}
