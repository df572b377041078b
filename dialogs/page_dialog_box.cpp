#include "dialogs/page_dialog_box.h"

#include "connection/tfb.h"
#include "dialogs/dialogs_host.h"
#include "dialogs/duplicate_dialog.h"
#include "platform/ui/modal_result.h"

TPageDialogBox::TPageDialogBox(TDialogsHost& host) : host_(host) {}

int TPageDialogBox::AskDuplicate(Tfb& page) {
    // The dialog is given the asking page's own answers, not the active page's.
    TForm9 dialog(page.DuplicateAsker(), host_.DialogParent());
    dialog.Preset(page.DuplicatePresets());
    return dialog.exec();
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
    (void)page;
    return ui::mrCancel;
}

int TPageDialogBox::ShowBookmarkManager(Tfb& page) {
    (void)page;
    return ui::mrCancel;
}

int TPageDialogBox::ShowAddTask(Tfb& page) {
    (void)page;
    return ui::mrCancel;
}
