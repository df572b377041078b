#pragma once
// The owner-data list model: the owner sets only the number of rows; the text and image of a
// row are asked from the owner's call-back (the frame's OnData) when a view shows that row, so
// a list of 100,000 rows costs nothing until it is looked at. Use it with a QTreeView that has
// uniform row heights (otherwise the view measures every row).
//
// Column 0 shows the item's caption and image, column N its sub-item N - 1. The caption can be
// edited in place; the model keeps no text of its own, so an edited caption only asks the owner
// for the row again (the list view's OnEdited has changed the owner's data by then).
#include <QAbstractTableModel>
#include <QIcon>
#include <QStringList>

#include <functional>
#include <string>
#include <vector>

namespace ui {

struct OwnerDataItem {
    std::string caption;
    std::vector<std::string> subItems;
    int imageIndex = -1;  // into the model's images; -1 for none
};

class OwnerDataModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    // Fills `item` (which arrives empty) for `row`. Runs under the handler guard: what it
    // throws goes to the application error handler and the row shows empty.
    using DataCallback = std::function<void(int row, OwnerDataItem& item)>;

    explicit OwnerDataModel(QObject* parent = nullptr);

    void SetColumns(const QStringList& titles);
    void SetDataCallback(DataCallback callback);
    void SetImages(std::vector<QIcon> images);

    // Sets the number of rows. Rows that stay keep their place (and a view's selection of
    // them) but are asked again; rows beyond the new count are removed.
    void SetRowCount(int count);
    int RowCount() const { return rows_; }

    // Sets the number of rows with every row new (a model reset): views drop the selection and
    // all they hold of the old rows, the accessibility tree included. For a change after which
    // rows that stay show other entries.
    void ResetRows(int count);

    // The rows' texts changed without a change of their number: every row is asked again.
    void Invalidate();

    // The item of `row` as the call-back gives it (empty for a row out of range).
    OwnerDataItem Item(int row) const;

    // How often the call-back has been asked so far.
    long long Requests() const { return requests_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

  private:
    const OwnerDataItem& Cached(int row) const;

    QStringList columns_;
    DataCallback callback_;
    std::vector<QIcon> images_;
    int rows_ = 0;
    // A view asks for each column and role of a row in turn; one row is kept.
    mutable int cachedRow_ = -1;
    mutable OwnerDataItem cachedItem_;
    mutable long long requests_ = 0;
};

}  // namespace ui
