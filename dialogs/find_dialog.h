#pragma once
// TForm3, the find dialog ("Find"): selects the rows of the active page's remote list whose
// names match a text ("&Name to find"). "&Find" replaces the list's selection by the matching
// rows, in row order: with "Case sensitive" (`CheckBox1`) the text must occur in the name as
// typed, without it with ASCII letters folded to one case; with "Whole words only"
// (`CheckBox2`) it must be the whole name. An empty text matches nothing. When a row matched,
// the list takes the focus and scrolls so that the row before the first match is the first
// visible row (the first match the second), or to the top when the first row matched. The
// dialog then closes with modal result 1. The text joins the history "Find.dat" in any case;
// without an active page no list changes and the dialog stays open.
//
// Life: one at a time, in the global `Form3` from creation to destruction; the page's dialogs
// create it, show it modally and free it when it has closed.
#include <string>

#include "dialogs/remote_list_dialog.h"

class QCheckBox;
class QGroupBox;

class TForm3 : public dialogs::TRemoteListDialog {
    Q_OBJECT

  public:
    // `host` must outlive the dialog; `historyPath` is "Find.dat" of the program's folder.
    TForm3(TDialogsHost& host, std::string historyPath, QWidget* parent = nullptr);
    ~TForm3() override;

    QGroupBox* GroupBox1;  // "Options"
    QCheckBox* CheckBox1;  // "Case sensitive"
    QCheckBox* CheckBox2;  // "Whole words only"

    void Button2Click() override;
    void LoadFindHistory();
    void SaveFindHistory();

  private:
    // Selects the matching rows of `page`'s remote list and scrolls to them.
    void SelectMatches(Tfb& page, const std::string& text);
};

// The open find dialog, null while there is none.
extern TForm3* Form3;
