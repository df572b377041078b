#include "platform/ui/list_view.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QStackedWidget>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <QVBoxLayout>

#include "platform/ui/handler_guard.h"
#include "platform/ui/qt_text.h"

namespace ui {

namespace {

constexpr int kSmallIcon = 16;
constexpr int kLargeIcon = 32;

// Hands the edited caption to the owner's OnEdited before the model takes it, so that the
// owner can refuse or change a rename (the site list restores a duplicate name this way).
class CaptionDelegate : public QStyledItemDelegate {
  public:
    CaptionDelegate(ListView& owner, QObject* parent)
        : QStyledItemDelegate(parent), owner_(owner) {}

    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        auto* line = qobject_cast<QLineEdit*>(editor);
        if (line == nullptr || index.column() != 0) {
            QStyledItemDelegate::setModelData(editor, model, index);
            return;
        }
        std::string caption = FromQt(line->text());
        bool accepted = true;
        if (owner_.OnEdited) {
            accepted = false;
            RunGuarded([&] {
                owner_.OnEdited(index.row(), caption);
                accepted = true;
            });
        }
        if (accepted)
            model->setData(index, ToQt(caption), Qt::EditRole);
    }

  private:
    ListView& owner_;
};

void SetUpView(QAbstractItemView& view) {
    view.setSelectionMode(QAbstractItemView::SingleSelection);
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.setEditTriggers(QAbstractItemView::NoEditTriggers);
    view.setContextMenuPolicy(Qt::CustomContextMenu);
}

}  // namespace

ListView::ListView(QWidget* parent)
    : QWidget(parent),
      stack_(new QStackedWidget(this)),
      report_(new QTreeView(stack_)),
      icons_(new QListView(stack_)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(stack_);
    report_->setRootIsDecorated(false);
    report_->setUniformRowHeights(true);
    report_->setItemsExpandable(false);
    report_->setAllColumnsShowFocus(true);
    report_->header()->setStretchLastSection(false);
    icons_->setResizeMode(QListView::Adjust);
    icons_->setWrapping(true);
    icons_->setWordWrap(true);
    for (QAbstractItemView* view :
         {static_cast<QAbstractItemView*>(report_), static_cast<QAbstractItemView*>(icons_)}) {
        SetUpView(*view);
        view->setItemDelegate(new CaptionDelegate(*this, view));
        connect(view, &QAbstractItemView::doubleClicked, this, Guarded([this] {
                    if (OnDblClick)
                        OnDblClick();
                }));
        connect(view, &QWidget::customContextMenuRequested, this,
                Guarded([this, view](const QPoint& position) { ShowPopup(view, position); }));
    }
    stack_->addWidget(report_);
    stack_->addWidget(icons_);
    SetStyle(ViewStyle::kReport);
}

void ListView::SetModel(QAbstractItemModel* model) {
    model_ = model;
    report_->setModel(model);
    icons_->setModel(model);
    // One selection for both views, so that a change of style keeps it.
    QItemSelectionModel* unused = icons_->selectionModel();
    icons_->setSelectionModel(report_->selectionModel());
    delete unused;
    connect(report_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            Guarded([this] {
                if (OnSelectItem)
                    OnSelectItem();
            }));
}

void ListView::SetStyle(ViewStyle style) {
    style_ = style;
    switch (style) {
        case ViewStyle::kReport:
            report_->setIconSize(QSize(kSmallIcon, kSmallIcon));
            stack_->setCurrentWidget(report_);
            return;
        case ViewStyle::kLargeIcons:
            icons_->setViewMode(QListView::IconMode);
            icons_->setFlow(QListView::LeftToRight);
            icons_->setIconSize(QSize(kLargeIcon, kLargeIcon));
            icons_->setGridSize(QSize(112, 76));
            break;
        case ViewStyle::kSmallIcons:
            icons_->setViewMode(QListView::ListMode);
            icons_->setFlow(QListView::LeftToRight);
            icons_->setIconSize(QSize(kSmallIcon, kSmallIcon));
            icons_->setGridSize(QSize(160, 20));
            break;
        case ViewStyle::kList:
            icons_->setViewMode(QListView::ListMode);
            icons_->setFlow(QListView::TopToBottom);
            icons_->setIconSize(QSize(kSmallIcon, kSmallIcon));
            icons_->setGridSize(QSize(160, 20));
            break;
    }
    icons_->setWrapping(true);
    icons_->setMovement(QListView::Static);
    icons_->setResizeMode(QListView::Adjust);
    stack_->setCurrentWidget(icons_);
}

int ListView::Selected() const {
    if (model_ == nullptr)
        return -1;
    const QModelIndexList rows = report_->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void ListView::Select(int row) {
    if (model_ == nullptr)
        return;
    QItemSelectionModel* selection = report_->selectionModel();
    if (row < 0 || row >= model_->rowCount()) {
        selection->clearSelection();
        return;
    }
    selection->setCurrentIndex(model_->index(row, 0),
                               QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ListView::EditCaption(int row) {
    if (model_ == nullptr || row < 0 || row >= model_->rowCount())
        return;
    CurrentView()->edit(model_->index(row, 0));
}

QAbstractItemView* ListView::CurrentView() const {
    return style_ == ViewStyle::kReport ? static_cast<QAbstractItemView*>(report_)
                                        : static_cast<QAbstractItemView*>(icons_);
}

void ListView::ShowPopup(QAbstractItemView* view, const QPoint& position) {
    if (popupMenu_ != nullptr)
        popupMenu_->popup(view->viewport()->mapToGlobal(position));
}

}  // namespace ui
