#include "dialogs/history_combo.h"

#include <QComboBox>

#include <utility>

#include "platform/ui/qt_text.h"
#include "shared/list_file.h"

namespace dialogs {

THistoryCombo::THistoryCombo(QComboBox& combo, std::string path)
    : combo_(combo), path_(std::move(path)) {}

void THistoryCombo::Load() {
    const QString text = combo_.currentText();
    combo_.clear();
    for (const std::string& item : shared::ReadListFile(path_))
        combo_.addItem(ui::ToQt(item));
    combo_.setEditText(text);
}

void THistoryCombo::Save() const {
    shared::WriteListFile(path_, Items());
}

void THistoryCombo::Remember(const std::string& text) {
    // Exact and case-sensitive, an empty text included, as the file holds the texts: a long
    // text read back from the file is its first 50 bytes, and typing it again must not store
    // it a second time.
    const std::string stored = shared::CutListText(text);
    bool known = false;
    for (int index = 0; index < combo_.count() && !known; ++index)
        known = shared::CutListText(ui::FromQt(combo_.itemText(index))) == stored;
    if (!known)
        combo_.addItem(ui::ToQt(text));
    Save();
}

void THistoryCombo::Clear() {
    const QString text = combo_.currentText();
    combo_.clear();
    combo_.setEditText(text);
    Save();
}

std::vector<std::string> THistoryCombo::Items() const {
    std::vector<std::string> items;
    for (int index = 0; index < combo_.count(); ++index)
        items.push_back(ui::FromQt(combo_.itemText(index)));
    return items;
}

}  // namespace dialogs
