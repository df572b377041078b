#include "platform/ui/list_view_views.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QListView>
#include <QMimeData>
#include <QMouseEvent>
#include <QTreeView>

#include <memory>

#include "platform/ui/handler_guard.h"
#include "platform/ui/list_view.h"

namespace ui {

namespace {

template <class Base>
class ListItemView : public Base {
  public:
    ListItemView(ListView& owner, QWidget* parent) : Base(parent), owner_(owner) {
        this->setAcceptDrops(true);
        this->viewport()->setAcceptDrops(true);
    }

  protected:
    // The payload is the list's, not the model's: the model's own would copy every column of
    // every selected row, which for a large owner-data list asks the owner for all of them.
    void startDrag(Qt::DropActions) override {
        std::unique_ptr<QMimeData> data = owner_.DragData();
        if (!data)
            return;
        auto* drag = new QDrag(this);
        drag->setMimeData(data.release());
        drag->exec(Qt::CopyAction);
    }

    // A view that ignores the enter gets no moves at all, so the enter is taken whenever the
    // list has a drag-over handler, and each move (the first comes right after the enter)
    // decides. The base class keeps auto-scrolling and hovering; whether the drag is taken is
    // the list's answer alone.
    void dragEnterEvent(QDragEnterEvent* event) override {
        Base::dragEnterEvent(event);
        if (owner_.OnDragOver) {
            event->setDropAction(Qt::CopyAction);
            event->accept();
        } else {
            event->ignore();
        }
    }

    void dragMoveEvent(QDragMoveEvent* event) override {
        Base::dragMoveEvent(event);
        Answer(*event);
    }

    // Never the base class's drop: that would hand the data to the model, which would insert
    // or move rows of its own. The view is done with the drag before the handler runs: a drop
    // handler may pump messages for a long time, and nothing of the view is touched after it.
    void dropEvent(QDropEvent* event) override {
        this->stopAutoScroll();
        this->setState(QAbstractItemView::NoState);
        this->viewport()->update();
        const bool taken =
            event->mimeData() != nullptr &&
            owner_.Drop(event->source(), *event->mimeData(), event->position().toPoint());
        if (taken) {
            event->setDropAction(Qt::CopyAction);
            event->accept();
        } else {
            event->ignore();
        }
    }

    void mouseDoubleClickEvent(QMouseEvent* event) override {
        Base::mouseDoubleClickEvent(event);
        if (event->button() != Qt::LeftButton)
            return;
        // A copy: the handler may detach the list's handlers while it runs.
        const std::function<void()> handler = owner_.OnDblClick;
        if (handler)
            RunGuarded(handler);
    }

  private:
    void Answer(QDragMoveEvent& event) {
        const bool accepted =
            event.mimeData() != nullptr &&
            owner_.DragOver(event.source(), *event.mimeData(), event.position().toPoint());
        if (accepted) {
            event.setDropAction(Qt::CopyAction);
            event.accept();
        } else {
            event.ignore();
        }
    }

    ListView& owner_;
};

}  // namespace

QTreeView* MakeReportView(ListView& owner, QWidget* parent) {
    return new ListItemView<QTreeView>(owner, parent);
}

QListView* MakeIconView(ListView& owner, QWidget* parent) {
    return new ListItemView<QListView>(owner, parent);
}

}  // namespace ui
