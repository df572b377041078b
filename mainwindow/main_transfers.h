#pragma once
// Transfers the main window starts on the active connection page: remote entries dropped on
// the local file view are downloaded into the folder under the drop point, and the Upload
// button uploads the items selected in the local view into the page's current folder. Both
// queue through the page (QueueHasEntry, AddQueueEntry: an item already queued is skipped) and
// start its run wrap (StartQueueRun) unless its run is in progress, which then takes the new
// entries up.
//
// Message boxes go through the ui services; what the page's run throws passes on to the
// handler guard.
#include <functional>

class TLocalFilePane;
class Tfb;

namespace ui {
struct ListDrag;
}

class TMainTransfers {
  public:
    // `local` must outlive the object; `activeFrame` gives the active page's frame or nullptr.
    TMainTransfers(TLocalFilePane& local, std::function<Tfb*()> activeFrame);

    // Accepts rows dragged out of the active page's remote list, nothing else.
    bool ShellListView1DragOver(const ui::ListDrag& drag) const;
    // Queues a download of every row dragged out of the active page's remote list into the
    // folder under the drop point: a folder row's folder, a file row's folder, or with no row
    // the folder the view shows ("Invalid path." when it is not an existing folder, and nothing
    // is queued). A row whose name is not a plain name is not queued; the page's log says so.
    // Unless the page's run is in progress, runs the page's queue and then reads the local view
    // anew.
    void ShellListView1DragDrop(const ui::ListDrag& drag);
    // Queues an upload of every selected local item into the page's current folder; an item
    // that no longer exists as what the view showed gets "Invalid path." and is skipped. Runs
    // the page's queue, with the remote list refreshed after it, when the page is connected.
    void ToolButton35Click();

  private:
    TLocalFilePane& local_;
    std::function<Tfb*()> activeFrame_;
};
