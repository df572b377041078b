#pragma once
// The event handlers of a list view as one value: what a drag over or a drop hands its
// handlers, and the set a list gives up on Detach and takes back on Attach (a page switches its
// list's handlers off for the length of a server operation and on again after it).
#include <functional>
#include <string>

class QMimeData;
class QObject;

namespace ui {

// A drag over the list, or a drop on it, as the handlers see it.
struct ListDrag {
    // Where the drag started: the ui::ListView when it is one of the program's lists, else the
    // widget it came from; nullptr for a drag from another program.
    QObject* source = nullptr;
    // What is dragged; never nullptr when a handler sees it. Rows of a list: ListView::DraggedRows.
    const QMimeData* data = nullptr;
    // The row under the pointer, -1 for none.
    int row = -1;
};

// The handlers Detach and Attach move as a set. Row data (the model's) and the popup menu are
// not among them.
struct ListViewHandlers {
    // The row and its new caption, which the handler may change; a throw keeps the old caption.
    std::function<void(int row, std::string& caption)> OnEdited;
    std::function<void()> OnSelectItem;
    // Any double click in the list, on a row or on empty space.
    std::function<void()> OnDblClick;
    // The model column of the clicked header section (report style only).
    std::function<void(int column)> OnColumnClick;
    // true accepts the drag at this point. Without the handler the list takes no drops.
    std::function<bool(const ListDrag& drag)> OnDragOver;
    // Runs for a drop that OnDragOver accepts at the drop point.
    std::function<void(const ListDrag& drag)> OnDragDrop;
};

}  // namespace ui
