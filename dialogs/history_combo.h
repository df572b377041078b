#pragma once
// The input history of a dialog's combo box, kept in a list file (shared/list_file.h): the
// file's texts become the combo's items, a confirmed text joins them unless an item equal to
// it (exact, case-sensitive) is there already, and the file is rewritten with every item.
// Items keep the text as typed for the run; the file keeps what a record holds (its first 50
// bytes), and texts are compared in that form, so a long text typed again is stored once. A file
// that cannot be written is passed over: the items stay for this run.
#include <string>
#include <vector>

class QComboBox;

namespace dialogs {

class THistoryCombo {
  public:
    // `combo` must outlive the object; `path` is the history file.
    THistoryCombo(QComboBox& combo, std::string path);

    // The file's texts become the items, in file order (a missing file: none; a damaged one:
    // its sound records); the text in the edit field stays.
    void Load();
    // Writes every item to the file.
    void Save() const;
    // Adds `text` to the items unless one is the same text as the file holds it, then saves.
    void Remember(const std::string& text);
    // Empties the items (the text in the edit field stays) and saves.
    void Clear();

    std::vector<std::string> Items() const;

  private:
    QComboBox& combo_;
    std::string path_;
};

}  // namespace dialogs
