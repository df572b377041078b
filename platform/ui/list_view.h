#pragma once
// The list view of the forms: one list shown in one of four view styles (large icons, small
// icons, list, report), as Qt has no single view for all four. Both views show one model and
// share one selection, so switching the style keeps the selection.
//
// The caption of a row is column 0 of the model; in-place editing changes only that column
// and goes through OnEdited first, which may change the new text. The model is not owned and
// must outlive the view.
#include <QWidget>

#include <functional>
#include <string>

class QAbstractItemModel;
class QAbstractItemView;
class QItemSelectionModel;
class QListView;
class QMenu;
class QStackedWidget;
class QTreeView;

namespace ui {

enum class ViewStyle { kLargeIcons, kSmallIcons, kList, kReport };

class ListView : public QWidget {
  public:
    // Starts in the report style, single selection of whole rows, no popup menu.
    explicit ListView(QWidget* parent = nullptr);

    void SetModel(QAbstractItemModel* model);
    QAbstractItemModel* Model() const { return model_; }

    ViewStyle Style() const { return style_; }
    void SetStyle(ViewStyle style);

    // The selected row, -1 for none.
    int Selected() const;
    // Selects `row` (and makes it current); -1 clears the selection.
    void Select(int row);

    // Starts in-place editing of the caption of `row`.
    void EditCaption(int row);

    // The menu a right click opens; nullptr: none. Not owned.
    void SetPopupMenu(QMenu* menu) { popupMenu_ = menu; }
    QMenu* PopupMenu() const { return popupMenu_; }

    // Handlers, run under the handler guard. OnEdited gets the row and the new caption, which
    // it may change; when it throws, the row keeps its old caption.
    std::function<void(int row, std::string& caption)> OnEdited;
    std::function<void()> OnSelectItem;
    std::function<void()> OnDblClick;

    // The view that shows the current style.
    QAbstractItemView* CurrentView() const;
    QTreeView* ReportView() const { return report_; }
    QListView* IconView() const { return icons_; }

  private:
    void ShowPopup(QAbstractItemView* view, const QPoint& position);

    QAbstractItemModel* model_ = nullptr;
    QStackedWidget* stack_;
    QTreeView* report_;
    QListView* icons_;
    QMenu* popupMenu_ = nullptr;
    ViewStyle style_ = ViewStyle::kReport;
};

}  // namespace ui
