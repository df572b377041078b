#include "dialogs/page_dialog_box.h"

#include "connection/page_host.h"
#include "connection/permissions_preset.h"
#include "connection/tfb.h"
#include "dialogs/dialogs_host.h"
#include "dialogs/permissions_dialog.h"
#include "platform/ui/modal_result.h"

TPageDialogBox::TPageDialogBox(TDialogsHost& host) : host_(host) {}

int TPageDialogBox::AskDuplicate(Tfb& page) {
    (void)page;
    return ui::mrCancel;
}

int TPageDialogBox::ShowDownloadTarget(Tfb& page) {
    (void)page;
    return ui::mrCancel;
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
        form.PresetEntry(preset.name, preset.folder, preset.owner, preset.group, preset.ownerText,
                         preset.groupText, preset.otherText);
    return form.exec();
}

int TPageDialogBox::ShowBookmarkManager(Tfb& page) {
    (void)page;
    return ui::mrCancel;
}

int TPageDialogBox::ShowAddTask(Tfb& page) {
    (void)page;
    return ui::mrCancel;
}
