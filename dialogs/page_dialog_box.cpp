#include "dialogs/page_dialog_box.h"

#include <utility>

#include "dialogs/dialogs_host.h"
#include "dialogs/download_target_dialog.h"
#include "platform/ui/modal_result.h"
#include "shared/list_file.h"

TPageDialogBox::TPageDialogBox(TDialogsHost& host, std::string programFolder)
    : host_(host), programFolder_(std::move(programFolder)) {}

int TPageDialogBox::AskDuplicate(Tfb& page) {
    (void)page;
    return ui::mrCancel;
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
