#pragma once
// Runs a task on its site's page: opens the page (creating and connecting it, or showing a
// hidden one again), queues one entry per file row of the task in table order and starts the
// page's queue once when the page is connected and idle (after an upload task with the remote
// list refreshed). Rows already queued are not looked for, so a task run twice queues twice.
//
// A row that cannot run is reported once with an error box and left out, the others go on: a
// download row whose local folder is not absolute or cannot be created ("Can not create the
// folder %s, please check and enter again."), an upload row whose item is missing, and any row
// whose stored name is not a plain name ("The file %s was not exists."). Task rows may come
// from a copied file, so nothing in them is trusted.
//
// What opening the page or the tables throw passes on to the caller before anything is queued.
#include <functional>
#include <string>

struct rtask;
class Tfb;

class TTaskRun {
  public:
    struct Needs {
        // Opens and shows the site's page (OpenSitePage with quick connect off) and gives its
        // frame, or nullptr when it has none or was closed while it opened: the entries go to
        // that page only, never to whichever page the user made active meanwhile.
        std::function<Tfb*(const std::string& site)> openSitePage;
        // Makes every folder of a local folder path exist; false or a throw: it could not.
        std::function<bool(const std::string& folder)> forceLocalFolders;
    };

    explicit TTaskRun(Needs needs);

    void Execute(const rtask& task);

  private:
    Needs needs_;
};
