#include "dialogs/page_dialog_box.h"

#include "dialogs/dialogs_host.h"
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
