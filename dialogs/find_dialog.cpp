#include "dialogs/find_dialog.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QGroupBox>
#include <QVBoxLayout>

#include <vector>

#include "connection/tfb.h"
#include "dialogs/dialog_widgets.h"
#include "dialogs/history_combo.h"
#include "dialogs/remote_list_rules.h"
#include "platform/ui/list_view.h"
#include "platform/ui/modal_result.h"

TForm3* Form3 = nullptr;

using dialogs::Named;

TForm3::TForm3(TDialogsHost& host, std::string historyPath, QWidget* parent)
    : TRemoteListDialog(host, std::move(historyPath), "Form3", "Find", "&Name to find", "&Find",
                        parent) {
    GroupBox1 = Named(new QGroupBox(QStringLiteral("Options"), this), "GroupBox1");
    auto* options = new QVBoxLayout(GroupBox1);
    CheckBox1 = Named(new QCheckBox(QStringLiteral("Case sensitive"), GroupBox1), "CheckBox1");
    CheckBox2 = Named(new QCheckBox(QStringLiteral("Whole words only"), GroupBox1), "CheckBox2");
    options->addWidget(CheckBox1);
    options->addWidget(CheckBox2);
    Fields().addWidget(GroupBox1);
    Form3 = this;
}

TForm3::~TForm3() {
    if (Form3 == this)
        Form3 = nullptr;
}

void TForm3::LoadFindHistory() {
    History().Load();
}

void TForm3::SaveFindHistory() {
    History().Save();
}

void TForm3::Button2Click() {
    const std::string text = Text();
    Tfb* page = ActivePage();
    if (page != nullptr)
        SelectMatches(*page, text);
    History().Remember(text);
    if (page != nullptr)
        SetModalResult(ui::mrOk);
}

void TForm3::SelectMatches(Tfb& page, const std::string& text) {
    const bool caseSensitive = CheckBox1->isChecked();
    const bool wholeName = CheckBox2->isChecked();
    // The rows' captions are the display entries' names; the list may be long, so the names
    // are read from the entries rather than asked of the list row by row.
    std::vector<int> rows;
    const int count = page.ListView2->RowCount();
    for (int row = 0; row < count && static_cast<std::size_t>(row) < page.FDisplayList.size();
         ++row) {
        if (dialogs::FindMatches(page.FDisplayList[static_cast<std::size_t>(row)].name, text,
                                 caseSensitive, wholeName))
            rows.push_back(row);
    }
    page.ListView2->SelectRows(rows);
    if (rows.empty())
        return;
    page.ListView2->CurrentView()->setFocus();
    page.ListView2->ScrollToTop(rows.front() > 0 ? rows.front() - 1 : 0);
}
