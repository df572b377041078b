#pragma once
// The connection pages' dialogs: each call creates the dialog for the asking page, presets it
// from that page, shows it modally over the main window and returns its modal result. The main
// window owns one and hands it to every page it creates. A dialog that does not exist yet
// answers Cancel without showing anything.
#include <string>

#include "connection/page_dialogs.h"

class TDialogsHost;
class TTaskTreeHost;

class TPageDialogBox : public TPageDialogs {
  public:
    // `host` must outlive the object. `programFolder` (ending in "/") holds the dialogs'
    // history files.
    TPageDialogBox(TDialogsHost& host, std::string programFolder);

    int AskDuplicate(Tfb& page) override;
    int ShowDownloadTarget(Tfb& page) override;
    int ShowFind(Tfb& page) override;
    int ShowFilter(Tfb& page) override;
    int ShowPermissions(Tfb& page) override;
    int ShowBookmarkManager(Tfb& page) override;
    // The task dialog for a new download task of the page's remote selection; Cancel without
    // a task tree (SetTaskTree).
    int ShowAddTask(Tfb& page) override;

    // The task tree the task dialog takes its categories from and rebuilds; must outlive the
    // object. nullptr: none.
    void SetTaskTree(TTaskTreeHost* tree) { taskTree_ = tree; }

  private:
    TDialogsHost& host_;
    std::string programFolder_;
    TTaskTreeHost* taskTree_ = nullptr;
};
