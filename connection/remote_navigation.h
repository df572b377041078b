#pragma once
// Moving the page through the server's folders: entering a folder of the remote list (double
// click), Back, Refresh. Each is one exchange on the page's session; asked for while another
// exchange of the page waits, it runs once that one has ended, and only if the page still
// shows the folder it was asked from. A page that is not connected connects instead.
//
// While it works the page's browsing controls are off. Afterwards they are on again (while
// connected), the selection is cleared and its items set as for no selection. A failed CWD,
// PWD or LIST is logged with the error icon; the remote list then shows the display list as
// it is (never a row past its end), and FCurrentDir is the folder the server is in (asked
// again with PWD when the failure left it unknown). Server errors are not thrown; a connect
// throws what ConnectSite throws.
//
// Names of entries go to the server only while it is in the page's folder: the session
// changes back to FCurrentDir first when an earlier run may have moved it.
#include <functional>
#include <string>

class Tfb;
class TRemoteListing;

class TRemoteNavigation {
  public:
    // `page` owns both objects and must outlive them.
    TRemoteNavigation(Tfb& page, TRemoteListing& listing);

    // The double click: enters the first selected row when it is a folder.
    void DblClick();
    // The parent folder.
    void Back();
    // Lists the page's folder again.
    void Refresh();
    // Goes to `folder` (a bookmark: a folder as the server reported it) as one navigation,
    // by the site's auto-refresh setting from the cache or by listing it. A page that is not
    // connected stays as it is.
    void GoTo(const std::string& folder);

  private:
    // Enters `name` (an entry of the page's folder, or ".."), by the site's auto-refresh
    // setting from the cache or by listing it.
    void Enter(const std::string& name);
    // CWD `folder` and show it (the same choice as Enter); the server's folder is the base of
    // a relative name.
    void Open(const std::string& folder);
    // Runs `work` as one navigation (see above).
    void Navigate(std::function<void()> work);
    void Recover();

    Tfb& page_;
    TRemoteListing& listing_;
};
