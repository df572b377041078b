#include "dialogs/page_dialog_box.h"

#include <QComboBox>

#include <utility>

#include "connection/add_task_preset.h"
#include "connection/page_host.h"
#include "connection/permissions_preset.h"
#include "connection/tfb.h"
#include "dialogs/bookmark_manager.h"
#include "dialogs/dialogs_host.h"
#include "dialogs/download_target_dialog.h"
#include "dialogs/duplicate_dialog.h"
#include "dialogs/permissions_dialog.h"
#include "dialogs/task_dialog.h"
#include "platform/ui/modal_result.h"
#include "shared/list_file.h"

TPageDialogBox::TPageDialogBox(TDialogsHost& host, std::string programFolder)
    : host_(host), programFolder_(std::move(programFolder)) {}

int TPageDialogBox::AskDuplicate(Tfb& page) {
    // The dialog is given the asking page's own answers, not the active page's.
    TForm9 dialog(page.DuplicateAsker(), host_.DialogParent());
    dialog.Preset(page.DuplicatePresets());
    return dialog.exec();
}

int TPageDialogBox::ShowDownloadTarget(Tfb& page) {
    TForm10 dialog(page, programFolder_ + shared::kDownloadHistoryFile, host_.DialogParent());
    dialog.PresetFromPage();
    return dialog.exec();
}

int TPageDialogBox::ShowFind(Tfb& page) {
    (void)page;
    return ui::mrCancel;
}

int TPageDialogBox::ShowFilter(Tfb& page) {
    (void)page;
    return ui::mrCancel;
}

int TPageDialogBox::ShowPermissions(Tfb& page) {
    const TPermissionsPreset preset = MakePermissionsPreset(page);
    // OK writes into the active page only; this page is it while its command runs, but the
    // user may have switched pages meanwhile.
    TForm18 form(
        [&page]() -> int* { return page.Host().IsActivePage(page) ? &page.FChmodMode : nullptr; },
        host_.DialogParent());
    if (preset.several)
        form.PresetSeveral(preset.folders, preset.files);
    else
        form.PresetEntry(preset.name, preset.folder, preset.owner, preset.group, preset.boxes);
    return form.exec();
}

// The manager writes under the page's own site id, which a rename of the site does not
// change, and rebuilds the menu of the page that opened it.
int TPageDialogBox::ShowBookmarkManager(Tfb& page) {
    TForm17 dialog(host_, shared::ListFilePath(shared::kLocalBookmarksFile), host_.DialogParent());
    dialog.PresetSite(page.FSiteId, page.FSiteName);
    const int result = dialog.exec();
    if (result == ui::mrOk)
        page.SetBookmarkPaths(dialog.FtpBookmarks());
    return result;
}

int TPageDialogBox::ShowAddTask(Tfb& page) {
    if (taskTree_ == nullptr)
        return ui::mrCancel;
    const TAddTaskPreset preset = MakeAddTaskPreset(page);
    TForm13 dialog(*taskTree_, programFolder_, host_.DialogParent());
    dialog.SetTaskType(preset.taskType);
    dialog.SetSites(preset.sites, preset.selectedSite);
    // The task runs on this page's site.
    dialog.ComboBoxEx2->setEnabled(false);
    for (const rtaskupdown& file : preset.files)
        dialog.AddFileRow(file);
    // The categories with their ids, from the tree the preset's names were taken from.
    const std::vector<TTaskCategory> categories = taskTree_->TreeCategories();
    dialog.SetCategories(categories, categories.empty() ? -1 : 0);
    return dialog.exec();
}
