#include "platform/ui/owner_data_model.h"

#include <utility>

#include "platform/ui/handler_guard.h"
#include "platform/ui/qt_text.h"

namespace ui {

OwnerDataModel::OwnerDataModel(QObject* parent) : QAbstractTableModel(parent) {}

void OwnerDataModel::SetColumns(const QStringList& titles) {
    beginResetModel();
    columns_ = titles;
    cachedRow_ = -1;
    endResetModel();
}

void OwnerDataModel::SetDataCallback(DataCallback callback) {
    callback_ = std::move(callback);
    Invalidate();
}

void OwnerDataModel::SetImages(std::vector<QIcon> images) {
    images_ = std::move(images);
    Invalidate();
}

void OwnerDataModel::SetRowCount(int count) {
    if (count < 0)
        count = 0;
    cachedRow_ = -1;
    if (count > rows_) {
        beginInsertRows(QModelIndex(), rows_, count - 1);
        rows_ = count;
        endInsertRows();
    } else if (count < rows_) {
        beginRemoveRows(QModelIndex(), count, rows_ - 1);
        rows_ = count;
        endRemoveRows();
    }
    Invalidate();
}

void OwnerDataModel::ResetRows(int count) {
    beginResetModel();
    rows_ = count < 0 ? 0 : count;
    cachedRow_ = -1;
    endResetModel();
}

void OwnerDataModel::Invalidate() {
    cachedRow_ = -1;
    if (rows_ > 0 && columnCount() > 0) {
        emit dataChanged(index(0, 0), index(rows_ - 1, columnCount() - 1));
    }
}

OwnerDataItem OwnerDataModel::Item(int row) const {
    if (row < 0 || row >= rows_)
        return {};
    return Cached(row);
}

const OwnerDataItem& OwnerDataModel::Cached(int row) const {
    if (row == cachedRow_)
        return cachedItem_;
    cachedItem_ = OwnerDataItem{};
    cachedRow_ = -1;
    if (!callback_)
        return cachedItem_;
    ++requests_;
    bool filled = false;
    RunGuarded([&] {
        callback_(row, cachedItem_);
        filled = true;
    });
    // A row whose call-back failed shows empty and is not asked again until the next change,
    // so one failure is reported once rather than once per column and repaint.
    if (!filled)
        cachedItem_ = OwnerDataItem{};
    cachedRow_ = row;
    return cachedItem_;
}

int OwnerDataModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int OwnerDataModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid())
        return 0;
    return columns_.isEmpty() ? 1 : static_cast<int>(columns_.size());
}

QVariant OwnerDataModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_ || index.column() >= columnCount()) {
        return {};
    }
    if (role != Qt::DisplayRole && role != Qt::DecorationRole && role != Qt::ToolTipRole &&
        role != Qt::EditRole) {
        return {};
    }
    const OwnerDataItem& item = Cached(index.row());
    const int column = index.column();
    if (role == Qt::DecorationRole) {
        if (column != 0 || item.imageIndex < 0 ||
            item.imageIndex >= static_cast<int>(images_.size())) {
            return {};
        }
        return images_[static_cast<size_t>(item.imageIndex)];
    }
    if (column == 0)
        return ToQt(item.caption);
    if (role == Qt::EditRole)
        return {};
    const size_t sub = static_cast<size_t>(column - 1);
    return sub < item.subItems.size() ? ToQt(item.subItems[sub]) : QString();
}

QVariant OwnerDataModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= columns_.size()) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    return columns_[section];
}

Qt::ItemFlags OwnerDataModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
    return index.column() == 0 ? flags | Qt::ItemIsEditable : flags;
}

bool OwnerDataModel::setData(const QModelIndex& index, const QVariant&, int role) {
    if (!index.isValid() || index.column() != 0 || index.row() >= rows_ || role != Qt::EditRole)
        return false;
    // The kept row may be the edited one with its old caption.
    if (cachedRow_ == index.row())
        cachedRow_ = -1;
    emit dataChanged(index.siblingAtColumn(0), index.siblingAtColumn(columnCount() - 1));
    return true;
}

}  // namespace ui
