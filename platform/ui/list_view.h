#pragma once
// The list view of the forms: one list shown in one of four view styles (large icons, small
// icons, list, report), as Qt has no single view for all four. Both views show one model and
// share one selection, so switching the style keeps the selection.
//
// The rows are the children of the root index (the model's top level unless SetRootIndex
// names another parent, as for one folder of a file-system model). The caption of a row is
// column 0 of the model; in-place editing changes only that column
// and goes through OnEdited first, which may change the new text. The model is not owned and
// must outlive the view.
//
// Rows dragged out of the list carry the list's own payload (the process, the list and the
// rows), never the model's, so a large owner-data list is not asked for every selected row.
#include <QPersistentModelIndex>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/list_view_handlers.h"

class QAbstractItemModel;
class QAbstractItemView;
class QListView;
class QMenu;
class QMimeData;
class QStackedWidget;
class QTreeView;

namespace ui {

enum class ViewStyle { kLargeIcons, kSmallIcons, kList, kReport };

class ListView : public QWidget {
    Q_OBJECT

  public:
    // Starts in the report style, single selection of whole rows, rows not draggable, no
    // popup menu.
    explicit ListView(QWidget* parent = nullptr);

    // Setting a model makes its top level the rows again.
    void SetModel(QAbstractItemModel* model);
    QAbstractItemModel* Model() const { return model_; }

    // Makes the children of `root` (an index of the model) the list's rows; an invalid index:
    // the model's top level. Clears the selection.
    void SetRootIndex(const QModelIndex& root);
    QModelIndex RootIndex() const { return root_; }
    // The number of rows (children of the root index); 0 without a model.
    int RowCount() const;
    // The model's index of column `column` of `row`; invalid for a row out of range.
    QModelIndex RowIndex(int row, int column = 0) const;
    // The row at `position` in the current view's viewport, -1 for none.
    int RowAt(const QPoint& position) const;

    ViewStyle Style() const { return style_; }
    void SetStyle(ViewStyle style);
    // The name assistive tools call the list by, given to the view of every style.
    void SetAccessibleName(const QString& name);

    // Several rows selectable as in a desktop list (click selects one, Shift+click extends from
    // the current row, Ctrl+click toggles a row, Ctrl+A selects all). Turning it off keeps only
    // the first selected row.
    void SetMultiSelect(bool on);
    bool MultiSelect() const { return multiSelect_; }

    // The selected row, -1 for none; of several, the first in row order.
    int Selected() const;
    // The selected rows in row order.
    std::vector<int> SelectedRows() const;
    // Selects `row` (and makes it current); -1 clears the selection.
    void Select(int row);
    // Replaces the selection by `rows` (in any order; rows out of range are passed over) with
    // one selection change; the first row in row order becomes current.
    void SelectRows(const std::vector<int>& rows);

    // Scrolls the current view so that `row` is its first visible row, as far as the view can
    // scroll (the last page of a list stays full); nothing for a row out of range.
    void ScrollToTop(int row);
    // The row shown at the top left of the current view, -1 when none is (an empty list).
    int TopRow() const;

    // Starts in-place editing of the caption of `row`.
    void EditCaption(int row);
    // The in-place editor takes at most `maxBytes` UTF-8 bytes (byte_limit.h), for a caption
    // stored in a column of that size; nullopt: any length (the default).
    void SetCaptionByteLimit(std::optional<std::size_t> maxBytes) { captionLimit_ = maxBytes; }
    std::optional<std::size_t> CaptionByteLimit() const { return captionLimit_; }

    // The menu a right click opens; nullptr: none. Not owned.
    void SetPopupMenu(QMenu* menu) { popupMenu_ = menu; }
    QMenu* PopupMenu() const { return popupMenu_; }

    // Selected rows can be dragged out of the list (a drag starts when the user drags them).
    void SetRowsDraggable(bool on);

    // Handlers, run under the handler guard (see ListViewHandlers). A handler may detach or
    // replace the list's handlers while it runs: the list runs a copy.
    std::function<void(int row, std::string& caption)> OnEdited;
    std::function<void()> OnSelectItem;
    std::function<void()> OnDblClick;
    std::function<void(int column)> OnColumnClick;
    std::function<bool(const ListDrag& drag)> OnDragOver;
    std::function<void(const ListDrag& drag)> OnDragDrop;

    // Takes the six handlers above out of the list, which then ignores those actions, and
    // returns them; a second Detach returns an empty set. Attach puts a set back, replacing
    // whatever handlers the list has.
    ListViewHandlers Detach();
    void Attach(ListViewHandlers handlers);

    // Drag and drop as the views run it; each view calls these from its own drag events.
    // What a drag of the selected rows carries; nullptr when no row is selected.
    std::unique_ptr<QMimeData> DragData() const;
    // The rows `data` carries when it is a drag out of this very list (this process, this
    // list) and every row exists; nullopt for anything else or a damaged payload.
    std::optional<std::vector<int>> DraggedRows(const QMimeData& data) const;
    // OnDragOver's answer for a drag from `source` (the widget the drag reports) at `position`
    // in the current view's viewport; false without the handler or when it throws.
    bool DragOver(QObject* source, const QMimeData& data, const QPoint& position);
    // A drop there: OnDragOver is asked again (the handlers may have changed since the last
    // move) and, when it accepts, OnDragDrop runs. Returns whether the drop was taken.
    bool Drop(QObject* source, const QMimeData& data, const QPoint& position);
    // The list `widget` belongs to (the list itself, one of its views or their viewports);
    // nullptr for any other widget.
    static ListView* FromWidget(QObject* widget);

    // The view that shows the current style.
    QAbstractItemView* CurrentView() const;
    QTreeView* ReportView() const { return report_; }
    QListView* IconView() const { return icons_; }

  private:
    void ShowPopup(QAbstractItemView* view, const QPoint& position);
    ListDrag MakeDrag(QObject* source, const QMimeData& data, const QPoint& position) const;

    QAbstractItemModel* model_ = nullptr;
    QPersistentModelIndex root_;
    QStackedWidget* stack_;
    QTreeView* report_;
    QListView* icons_;
    QMenu* popupMenu_ = nullptr;
    std::optional<std::size_t> captionLimit_;
    ViewStyle style_ = ViewStyle::kReport;
    bool multiSelect_ = false;
    bool rowsDraggable_ = false;
    QMetaObject::Connection selectionChanged_;
    // Names this list in its drag payloads, unique in the process.
    quint64 number_;
};

}  // namespace ui
