#pragma once
// The page's own starters and the queue view's commands: local items of the main window's local
// file view dropped on the remote list (uploads), and the queue menu (its enabling, Transfer,
// Delete, Clear).
//
// Handlers: they report through message boxes and the page's log and throw nothing of the
// server's.
#include <string>
#include <vector>

namespace ui {
struct ListDrag;
class ShellListView;
}  // namespace ui

class Tfb;
class TTransferQueue;

class TQueueCommands {
  public:
    // Both must outlive the object; `page` owns the queue.
    TQueueCommands(Tfb& page, TTransferQueue& queue);

    // Accepts a drag only from the local file view, carrying rows of that view.
    bool DragOver(const ui::ListDrag& drag) const;
    // Queues every dragged local item (see Tfb::ListView2DragDrop) and runs the queue when
    // the page is connected.
    void DragDrop(const ui::ListDrag& drag);
    void PopupEnabling();
    void TransferClick();
    void DeleteClick();
    void ClearClick();

  private:
    // The selected row of the queue view, -1 for none.
    int SelectedRow() const;
    // The local view and its dragged rows, when the drag is one from it.
    static ui::ShellListView* LocalSource(const ui::ListDrag& drag, std::vector<int>* rows);
    // The remote folder of items dropped on `row` of the remote list.
    std::string DropFolder(int row) const;

    Tfb& page_;
    TTransferQueue& queue_;
};
