#pragma once
// What the dialogs call back in the main window: reloading what a dialog changed, opening a
// site's page or a quick connection's page, making every page reload its options, saving the
// local bookmarks, and the open pages. Dialogs the main window opens are parented to
// DialogParent() (centred on it). The main window implements it,
// so that no dialog includes the main window. Every call comes from the user-interface thread.
#include <string>
#include <vector>

class QWidget;
class Tfb;

class TDialogsHost {
  public:
    virtual ~TDialogsHost() = default;

    // Rebuilds the site list from the stored sites (after the site dialog saved one).
    virtual void LoadSiteList() = 0;
    // Opens or shows again the page of `name` and connects it (the quick-connect dialog,
    // while it is still open, with quickConnect on). May pump messages while it connects.
    virtual void OpenSitePage(const std::string& name, bool quickConnect) = 0;
    // Replaces the local bookmarks (the items of the local bookmark menu) by `folders`, in
    // order; writes nothing (the bookmark manager's Local page, before SaveLocalBookmarks).
    virtual void SetLocalBookmarks(const std::vector<std::string>& folders) = 0;
    // Opens or shows again the page captioned `host` with quick connect on; a new page
    // connects to `host` and `port` with `user`, `password` and `passive` (the quick-connect
    // dialog's controls, which it calls this from while it is still open). May pump messages.
    virtual void OpenQuickConnectPage(const std::string& host, int port, const std::string& user,
                                      const std::string& password, bool passive) = 0;
    // Every page created since start, closed ones included, reloads its options (after the
    // options dialog stored them).
    virtual void ReloadPageOptions() = 0;
    // Writes the local bookmarks to their list file (the bookmark manager's Local page).
    virtual void SaveLocalBookmarks() = 0;
    // Every page, closed ones included, from the highest number down.
    virtual std::vector<Tfb*> Pages() const = 0;
    // The page on the main window's active tab (the frame "fr" + the active sheet's tag);
    // null while the active tab holds none (the site list). By default the page among Pages()
    // whose own host reports it active.
    virtual Tfb* ActivePage() const;
    // The window dialogs opened from the main window are modal to; may be null (no window).
    virtual QWidget* DialogParent() = 0;

  protected:
    TDialogsHost() = default;
    TDialogsHost(const TDialogsHost&) = default;
    TDialogsHost& operator=(const TDialogsHost&) = default;
};
