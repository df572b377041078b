#pragma once
// What a connection page needs of the window that holds it. The main window implements it;
// the page gets it on creation and never includes the main window. Every call comes from the
// user-interface thread; none of them takes the frame over.
#include <string>
#include <vector>

class Tfb;

class TPageHost {
  public:
    virtual ~TPageHost() = default;

    // Writes the layout shared by all pages from `frame`. Throws the layout file's write error
    // ("Unable to write to <path>").
    virtual void SavePageLayout(Tfb& frame) = 0;
    // Enables or disables the main window's Upload button.
    virtual void SetUploadEnabled(bool enabled) = 0;
    // Whether `frame` is the page on the active tab.
    virtual bool IsActivePage(const Tfb& frame) const = 0;
    // Shows the page's state on its tab: image 0 disconnected, 1 connected.
    virtual void SetPageImage(Tfb& frame, int image) = 0;
    // The names of the stored sites in the site list's order ("NewFTPSite" not among them).
    virtual std::vector<std::string> SiteNames() const = 0;
    // The folder the local file pane shows (an absolute path).
    virtual std::string LocalFolder() const = 0;
    // The task categories in the order of the task tree's top level. A host without tasks
    // has none.
    virtual std::vector<std::string> TaskCategories() const { return {}; }

  protected:
    TPageHost() = default;
    TPageHost(const TPageHost&) = default;
    TPageHost& operator=(const TPageHost&) = default;
};
