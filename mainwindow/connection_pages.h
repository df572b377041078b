#pragma once
// The connection pages of the main window: after the site-list sheet, one "tab" + N sheet per
// opened site holding its "fr" + N frame, both with tag N; found by caption, closed by hiding
// their tab and shown again, shut down at exit; the tab menu; and the Upload button that
// follows the active page. Pages are never freed before exit, and numbers never reused.
#include <QObject>

#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QPoint;
class QTabWidget;
class QToolButton;
class QWidget;
class TLayoutKeeper;
class TPageHost;
class TTabSheet;
class TPageDialogs;
class Tfb;

class TConnectionPages : public QObject {
    Q_OBJECT

  public:
    // `pageControl` holds the site-list sheet at index 0; `pageCounter` is the window's
    // PageCounter; new pages take the shared layout from `layout`; the tab menu is owned by
    // `menuOwner`. All must outlive the object, and `host` every frame.
    TConnectionPages(QTabWidget& pageControl, QToolButton& uploadButton, TPageHost& host,
                     TLayoutKeeper& layout, std::int32_t& pageCounter, QWidget& menuOwner);

    QMenu* PopupMenu1;
    QAction* Closepage1;
    QAction* Closeall1;

    // Runs for a newly created page of a stored site once its first connect has returned
    // (pages shown again and quick-connect pages are not new sites' pages).
    std::function<void(const std::string& name, Tfb& frame)> OnNewSitePage;

    // Opens the page of `name`, or shows it again (reconnecting it when its tab was hidden),
    // and returns that page's frame. Pumps pending messages first; the frame's connect may pump
    // too, so the user can switch to another page or close this one meanwhile: the frame
    // returned is this site's page, never whichever page is active, and nullptr when the page
    // has no frame or was closed while it opened.
    Tfb* OpenSitePage(const std::string& name, bool quickConnect);
    // The dialogs every page created from now on opens (not owned; must outlive the pages'
    // handlers); none until set.
    void SetPageDialogs(TPageDialogs* dialogs) { pageDialogs_ = dialogs; }
    // Both close their pages also when the shared page layout cannot be written; that write
    // error is thrown once the pages are closed.
    void CloseActivePage();
    void Closeall1Click();
    // Shuts every page down from the highest number (exit); the frames and sheets are freed
    // once their runs have returned. Returns the first layout write error (nullptr: none).
    std::exception_ptr ShutDownAll();
    // A mouse press on the tab row at `position` (tab bar coordinates).
    void PageControl1MouseDown(Qt::MouseButton button, const QPoint& position);
    void PageControl1Change();
    // The sheets of a renamed site take the new caption, their frames the new site name.
    void RenameSitePages(const std::string& oldName, const std::string& newName);

    // The frame of the active page; nullptr while the site list is shown.
    Tfb* ActiveFrame() const;
    // The page whose caption equals `name` exactly (hidden pages included, the site-list
    // sheet never), else nullptr.
    TTabSheet* FindSitePage(const std::string& name) const;
    // The frame "fr" + number on any sheet, else nullptr. A shut-down frame is not found.
    Tfb* FindFrame(int number) const;
    // Every frame from the highest number down.
    std::vector<Tfb*> Frames() const;

  private:
    void SetActivePage(int index);
    void HideTab(TTabSheet& sheet);

    QTabWidget& pageControl_;
    QToolButton& uploadButton_;
    TPageHost& host_;
    TLayoutKeeper& layout_;
    std::int32_t& pageCounter_;
    TPageDialogs* pageDialogs_ = nullptr;
    // Set while the program changes the active page, which runs no page-change handler.
    bool changingPage_ = false;
};
