#pragma once
// TForm6, the filter dialog ("Filter"): hides the files of the active page's remote list
// whose extension differs from a pattern such as *.txt ("Filename extension"). "&OK" applies
// the pattern: unless it is "*.*", the page's remote selection is cleared and every file whose
// "*" + extension differs from it (exact text, no wildcards) leaves the display list; folders
// always stay, and the folder cache keeps everything, so the next listing or display of the
// folder shows it whole again. The pattern then joins the history "Filter.dat" and the dialog
// closes with modal result 1. Without an active page no list changes.
//
// Life: one at a time, in the global `Form6` from creation to destruction; the page's dialogs
// create it, show it modally and free it when it has closed.
#include <string>

#include "dialogs/remote_list_dialog.h"

class TForm6 : public dialogs::TRemoteListDialog {
    Q_OBJECT

  public:
    // `host` must outlive the dialog; `historyPath` is "Filter.dat" of the program's folder.
    TForm6(TDialogsHost& host, std::string historyPath, QWidget* parent = nullptr);
    ~TForm6() override;

    void Button2Click() override;
    void LoadFilterHistory();
    void SaveFilterHistory();
};

// The open filter dialog, null while there is none.
extern TForm6* Form6;
