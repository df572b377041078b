#pragma once
// The main window's side of the window-layout file "forminfo.ini": [MAIN] for the window (left
// tab, local folder, left width, site list style), [FTP] shared by every page (log and queue
// heights, remote list style). Reads never throw; writes throw the layout file's write error
// ("Unable to write to <path>").
#include <string>

class QSplitter;
class QTabWidget;
class TLocalFilePane;
class Tfb;

namespace ui {
class ListView;
}

class TLayoutKeeper {
  public:
    // The widgets and the local file pane must outlive the keeper.
    TLayoutKeeper(std::string path, QSplitter& splitter, QTabWidget& leftPages,
                  ui::ListView& siteList, TLocalFilePane& localPane);

    const std::string& Path() const { return path_; }

    // A stored local folder the pane cannot open ends the reading there with the pane's
    // error ("Error setting path: ..."): the width and the site list's style stay.
    void LoadMainLayout();
    // Writes [MAIN] only once LoadMainLayout has read it: a start that stopped before the
    // layout was read (no usable database, a cancelled password) shows the controls'
    // defaults, which would replace the user's saved layout.
    void SaveMainLayout();
    // Only for a new page, before it is shown and connected.
    void LoadPageLayout(Tfb& frame);
    void SavePageLayout(Tfb& frame);

  private:
    std::string path_;
    QSplitter& splitter_;
    QTabWidget& leftPages_;
    ui::ListView& siteList_;
    TLocalFilePane& localPane_;
    bool mainRead_ = false;
};
