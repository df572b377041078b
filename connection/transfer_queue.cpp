#include "connection/transfer_queue.h"

#include <QStandardItemModel>

#include <utility>

#include "connection/page_images.h"
#include "platform/os/local_paths.h"
#include "platform/ui/qt_text.h"

namespace {

QStandardItem* Cell(const std::string& text) {
    auto* cell = new QStandardItem(ui::ToQt(text));
    cell->setEditable(false);
    return cell;
}

void SetCellImage(QStandardItem& cell, int image) {
    cell.setData(image, TTransferQueue::kImageRole);
    cell.setData(image < 0 ? QIcon() : page_images::QueueImage(image), Qt::DecorationRole);
}

}  // namespace

TTransferQueue::TTransferQueue(std::vector<rupdown>& entries, QStandardItemModel& rows)
    : entries_(entries), rows_(rows) {}

bool TTransferQueue::HasEntry(const std::string& name, const std::string& localPath,
                              const std::string& remoteFolder) const {
    for (const rupdown& entry : entries_) {
        if (entry.lopath == localPath && entry.name == name && entry.ftppath == remoteFolder)
            return true;
    }
    return false;
}

std::string TTransferQueue::SizeText(const rupdown& entry) {
    if (entry.direction == 1 ? entry.isfolder : entry.size == 0)
        return {};
    return std::to_string(entry.size);
}

std::string TTransferQueue::FolderPart(const std::string& path) {
    return os::FolderPart(path);
}

void TTransferQueue::Add(rupdown entry) {
    QList<QStandardItem*> row;
    row.append(Cell(""));
    SetCellImage(*row.back(), -1);
    row.append(Cell(entry.name));
    SetCellImage(*row.back(), entry.isfolder ? 3 : 4);
    row.append(Cell(SizeText(entry)));
    row.append(Cell(entry.status));
    row.append(Cell(FolderPart(entry.lopath)));
    entries_.push_back(std::move(entry));
    rows_.appendRow(row);
}

rupdown TTransferQueue::TakeHead() {
    running_ = true;
    return entries_.front();
}

void TTransferQueue::RemoveRunning() {
    if (!running_ || entries_.empty())
        return;
    running_ = false;
    RemoveAt(0);
}

bool TTransferQueue::Remove(int row) {
    if (row < 0 || row >= Count() || (running_ && row == 0))
        return false;
    RemoveAt(row);
    return true;
}

void TTransferQueue::ClearWaiting() {
    const int keep = running_ ? 1 : 0;
    for (int row = Count() - 1; row >= keep; --row)
        RemoveAt(row);
}

void TTransferQueue::Clear() {
    running_ = false;
    entries_.clear();
    rows_.removeRows(0, rows_.rowCount());
}

void TTransferQueue::RemoveAt(int row) {
    entries_.erase(entries_.begin() + row);
    rows_.removeRow(row);
}

int TTransferQueue::Image(int row) const {
    const QStandardItem* cell = rows_.item(row, 0);
    return cell == nullptr ? -1 : cell->data(kImageRole).toInt();
}

void TTransferQueue::SetImage(int row, int image) {
    if (QStandardItem* cell = rows_.item(row, 0))
        SetCellImage(*cell, image);
}

std::string TTransferQueue::Status(int row) const {
    const QStandardItem* cell = rows_.item(row, 3);
    return cell == nullptr ? std::string() : ui::FromQt(cell->text());
}

void TTransferQueue::SetStatus(int row, const std::string& status) {
    if (QStandardItem* cell = rows_.item(row, 3))
        cell->setText(ui::ToQt(status));
}
