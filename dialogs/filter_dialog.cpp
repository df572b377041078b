#include "dialogs/filter_dialog.h"

#include "connection/tfb.h"
#include "dialogs/history_combo.h"
#include "dialogs/remote_list_rules.h"
#include "platform/ui/modal_result.h"

TForm6* Form6 = nullptr;

TForm6::TForm6(TDialogsHost& host, std::string historyPath, QWidget* parent)
    : TRemoteListDialog(host, std::move(historyPath), "Form6", "Filter", "Filename extension",
                        "&OK", parent) {
    Form6 = this;
}

TForm6::~TForm6() {
    if (Form6 == this)
        Form6 = nullptr;
}

void TForm6::LoadFilterHistory() {
    History().Load();
}

void TForm6::SaveFilterHistory() {
    History().Save();
}

void TForm6::Button2Click() {
    const std::string pattern = Text();
    Tfb* page = ActivePage();
    if (pattern != "*.*" && page != nullptr) {
        page->RemoveDisplayEntries(
            [&pattern](const rdatalist& entry) { return dialogs::FilterRemoves(entry, pattern); });
    }
    History().Remember(pattern);
    SetModalResult(ui::mrOk);
}
