#include "platform/ui/list_view.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QItemSelection>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QStackedWidget>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <atomic>
#include <utility>

#include "platform/ui/byte_limit.h"
#include "platform/ui/handler_guard.h"
#include "platform/ui/list_rows_mime.h"
#include "platform/ui/list_view_views.h"
#include "platform/ui/qt_text.h"

namespace ui {

namespace {

constexpr int kSmallIcon = 16;
constexpr int kLargeIcon = 32;

// Numbers the lists of the process for their drag payloads; only ever counts up.
std::atomic<quint64> nextListNumber{1};

// Hands the edited caption to the owner's OnEdited before the model takes it, so that the
// owner can refuse or change a rename (the site list restores a duplicate name this way).
class CaptionDelegate : public QStyledItemDelegate {
  public:
    CaptionDelegate(ListView& owner, QObject* parent)
        : QStyledItemDelegate(parent), owner_(owner) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        auto* line = qobject_cast<QLineEdit*>(editor);
        if (line != nullptr && index.column() == 0 && owner_.CaptionByteLimit())
            LimitUtf8Bytes(*line, *owner_.CaptionByteLimit());
        return editor;
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        auto* line = qobject_cast<QLineEdit*>(editor);
        if (line == nullptr || index.column() != 0) {
            QStyledItemDelegate::setModelData(editor, model, index);
            return;
        }
        std::string caption = FromQt(line->text());
        bool accepted = true;
        // A copy: the handler may detach the list's handlers while it runs.
        const auto handler = owner_.OnEdited;
        if (handler) {
            accepted = false;
            RunGuarded([&] {
                handler(index.row(), caption);
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
      report_(MakeReportView(*this, stack_)),
      icons_(MakeIconView(*this, stack_)),
      number_(nextListNumber++) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(stack_);
    report_->setRootIsDecorated(false);
    report_->setUniformRowHeights(true);
    report_->setItemsExpandable(false);
    report_->setAllColumnsShowFocus(true);
    report_->header()->setStretchLastSection(false);
    report_->header()->setSectionsClickable(true);
    connect(report_->header(), &QHeaderView::sectionClicked, this, Guarded([this](int column) {
                const auto handler = OnColumnClick;
                if (handler)
                    handler(column);
            }));
    icons_->setResizeMode(QListView::Adjust);
    icons_->setWrapping(true);
    icons_->setWordWrap(true);
    for (QAbstractItemView* view :
         {static_cast<QAbstractItemView*>(report_), static_cast<QAbstractItemView*>(icons_)}) {
        SetUpView(*view);
        view->setItemDelegate(new CaptionDelegate(*this, view));
        connect(view, &QWidget::customContextMenuRequested, this,
                Guarded([this, view](const QPoint& position) { ShowPopup(view, position); }));
    }
    stack_->addWidget(report_);
    stack_->addWidget(icons_);
    SetStyle(ViewStyle::kReport);
}

void ListView::SetModel(QAbstractItemModel* model) {
    // The views ignore their own model set again, so the shared selection model below would be
    // taken for the icon view's own and freed.
    if (model == model_)
        return;
    model_ = model;
    root_ = QPersistentModelIndex();
    // The views make a selection model for each new model and keep the old one: the list
    // frees it, so that a list given many models in turn does not gather them.
    QItemSelectionModel* previous = report_->selectionModel();
    report_->setModel(model);
    icons_->setModel(model);
    // One selection for both views, so that a change of style keeps it.
    QItemSelectionModel* unused = icons_->selectionModel();
    icons_->setSelectionModel(report_->selectionModel());
    delete unused;
    delete previous;
    disconnect(selectionChanged_);
    selectionChanged_ = connect(report_->selectionModel(), &QItemSelectionModel::selectionChanged,
                                this, Guarded([this] {
                                    const auto handler = OnSelectItem;
                                    if (handler)
                                        handler();
                                }));
}

void ListView::SetRootIndex(const QModelIndex& root) {
    root_ = root.isValid() && root.model() == model_ ? QPersistentModelIndex(root)
                                                     : QPersistentModelIndex();
    report_->selectionModel()->clear();
    report_->setRootIndex(root_);
    icons_->setRootIndex(root_);
}

int ListView::RowCount() const {
    return model_ == nullptr ? 0 : model_->rowCount(root_);
}

QModelIndex ListView::RowIndex(int row, int column) const {
    if (model_ == nullptr || row < 0 || row >= model_->rowCount(root_))
        return {};
    return model_->index(row, column, root_);
}

int ListView::RowAt(const QPoint& position) const {
    if (model_ == nullptr)
        return -1;
    const QModelIndex index = CurrentView()->indexAt(position);
    return index.isValid() && index.parent() == root_ ? index.row() : -1;
}

void ListView::SetAccessibleName(const QString& name) {
    setAccessibleName(name);
    report_->setAccessibleName(name);
    icons_->setAccessibleName(name);
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
    // The icon view's mode and movement switch dragging and drops off for a static view.
    icons_->setDragEnabled(rowsDraggable_);
    icons_->viewport()->setAcceptDrops(true);
    stack_->setCurrentWidget(icons_);
}

void ListView::SetMultiSelect(bool on) {
    multiSelect_ = on;
    const auto mode =
        on ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection;
    report_->setSelectionMode(mode);
    icons_->setSelectionMode(mode);
    if (!on && SelectedRows().size() > 1)
        Select(Selected());
}

void ListView::SetRowsDraggable(bool on) {
    rowsDraggable_ = on;
    report_->setDragEnabled(on);
    icons_->setDragEnabled(on);
}

int ListView::Selected() const {
    const std::vector<int> rows = SelectedRows();
    return rows.empty() ? -1 : rows.front();
}

// The selection model lists rows in the order they were selected; the callers want row order.
std::vector<int> ListView::SelectedRows() const {
    std::vector<int> rows;
    if (model_ == nullptr)
        return rows;
    const QModelIndexList selected = report_->selectionModel()->selectedRows();
    rows.reserve(static_cast<size_t>(selected.size()));
    for (const QModelIndex& index : selected) {
        if (index.parent() == root_)
            rows.push_back(index.row());
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void ListView::Select(int row) {
    if (model_ == nullptr)
        return;
    QItemSelectionModel* selection = report_->selectionModel();
    if (row < 0 || row >= RowCount()) {
        selection->clearSelection();
        return;
    }
    selection->setCurrentIndex(RowIndex(row),
                               QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ListView::SelectRows(const std::vector<int>& rows) {
    if (model_ == nullptr)
        return;
    std::vector<int> sorted;
    const int count = RowCount();
    for (int row : rows) {
        if (row >= 0 && row < count)
            sorted.push_back(row);
    }
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    // One range per run of consecutive rows: a find over a large list selects many rows.
    QItemSelection selection;
    const int lastColumn = std::max(model_->columnCount(root_) - 1, 0);
    for (size_t first = 0; first < sorted.size();) {
        size_t last = first;
        while (last + 1 < sorted.size() && sorted[last + 1] == sorted[last] + 1)
            ++last;
        selection.select(RowIndex(sorted[first]), RowIndex(sorted[last], lastColumn));
        first = last + 1;
    }
    QItemSelectionModel* model = report_->selectionModel();
    if (sorted.empty()) {
        model->clearSelection();
        return;
    }
    model->setCurrentIndex(RowIndex(sorted.front()), QItemSelectionModel::NoUpdate);
    model->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ListView::ScrollToTop(int row) {
    const QModelIndex index = RowIndex(row);
    if (index.isValid())
        CurrentView()->scrollTo(index, QAbstractItemView::PositionAtTop);
}

int ListView::TopRow() const {
    const QModelIndex index = CurrentView()->indexAt(QPoint(1, 1));
    return index.isValid() ? index.row() : -1;
}

void ListView::EditCaption(int row) {
    const QModelIndex index = RowIndex(row);
    if (index.isValid())
        CurrentView()->edit(index);
}

QAbstractItemView* ListView::CurrentView() const {
    return style_ == ViewStyle::kReport ? static_cast<QAbstractItemView*>(report_)
                                        : static_cast<QAbstractItemView*>(icons_);
}

ListViewHandlers ListView::Detach() {
    ListViewHandlers handlers;
    handlers.OnEdited = std::exchange(OnEdited, nullptr);
    handlers.OnSelectItem = std::exchange(OnSelectItem, nullptr);
    handlers.OnDblClick = std::exchange(OnDblClick, nullptr);
    handlers.OnColumnClick = std::exchange(OnColumnClick, nullptr);
    handlers.OnDragOver = std::exchange(OnDragOver, nullptr);
    handlers.OnDragDrop = std::exchange(OnDragDrop, nullptr);
    return handlers;
}

void ListView::Attach(ListViewHandlers handlers) {
    OnEdited = std::move(handlers.OnEdited);
    OnSelectItem = std::move(handlers.OnSelectItem);
    OnDblClick = std::move(handlers.OnDblClick);
    OnColumnClick = std::move(handlers.OnColumnClick);
    OnDragOver = std::move(handlers.OnDragOver);
    OnDragDrop = std::move(handlers.OnDragDrop);
}

std::unique_ptr<QMimeData> ListView::DragData() const {
    std::vector<int> rows = SelectedRows();
    if (rows.empty())
        return nullptr;
    auto data = std::make_unique<QMimeData>();
    WriteListRows(*data, {QCoreApplication::applicationPid(), number_, std::move(rows)});
    return data;
}

std::optional<std::vector<int>> ListView::DraggedRows(const QMimeData& data) const {
    std::optional<ListRows> rows = ReadListRows(data);
    if (!rows || rows->process != QCoreApplication::applicationPid() || rows->list != number_ ||
        model_ == nullptr) {
        return std::nullopt;
    }
    // The rows are ascending, so the last one is the largest.
    if (!rows->rows.empty() && rows->rows.back() >= RowCount())
        return std::nullopt;
    return std::move(rows->rows);
}

ListDrag ListView::MakeDrag(QObject* source, const QMimeData& data, const QPoint& position) const {
    ListView* list = FromWidget(source);
    return {list != nullptr ? list : source, &data, RowAt(position)};
}

bool ListView::DragOver(QObject* source, const QMimeData& data, const QPoint& position) {
    const auto handler = OnDragOver;
    if (!handler)
        return false;
    const ListDrag drag = MakeDrag(source, data, position);
    bool accepted = false;
    RunGuarded([&] { accepted = handler(drag); });
    return accepted;
}

bool ListView::Drop(QObject* source, const QMimeData& data, const QPoint& position) {
    if (!DragOver(source, data, position))
        return false;
    const auto handler = OnDragDrop;
    if (!handler)
        return false;
    const ListDrag drag = MakeDrag(source, data, position);
    RunGuarded([&] { handler(drag); });
    return true;
}

ListView* ListView::FromWidget(QObject* widget) {
    for (QObject* object = widget; object != nullptr; object = object->parent()) {
        auto* list = qobject_cast<ListView*>(object);
        if (list == nullptr)
            continue;
        const std::initializer_list<const QObject*> parts = {
            list, list->report_, list->icons_, list->report_->viewport(), list->icons_->viewport()};
        return std::find(parts.begin(), parts.end(), widget) != parts.end() ? list : nullptr;
    }
    return nullptr;
}

void ListView::ShowPopup(QAbstractItemView* view, const QPoint& position) {
    if (popupMenu_ != nullptr)
        popupMenu_->popup(view->viewport()->mapToGlobal(position));
}

}  // namespace ui
