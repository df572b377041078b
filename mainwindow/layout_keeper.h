#pragma once
// The main window's side of the window-layout file "forminfo.ini": [MAIN] for the window (left
// tab, local folder, left width, site list style), [FTP] shared by every page (log and queue
// heights, remote list style). Reads never throw; writes throw the layout file's write error
// ("Unable to write to <path>").
#include <string>

class QSplitter;
class QTabWidget;
class Tfb;

namespace ui {
class ListView;
}

class TLayoutKeeper {
  public:
    // The widgets and the local folder text (FLocalPath) must outlive the keeper.
    TLayoutKeeper(std::string path, QSplitter& splitter, QTabWidget& leftPages,
                  ui::ListView& siteList, std::string& localPath);

    const std::string& Path() const { return path_; }

    void LoadMainLayout();
    void SaveMainLayout();
    // Only for a new page, before it is shown and connected.
    void LoadPageLayout(Tfb& frame);
    void SavePageLayout(Tfb& frame);

  private:
    std::string path_;
    QSplitter& splitter_;
    QTabWidget& leftPages_;
    ui::ListView& siteList_;
    std::string& localPath_;
};
