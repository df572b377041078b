#pragma once
// The transfer queue of a page: its entries (the page's FQueue) and the rows of the queue view
// (ListView1's model) in step, entry i shown by row i. Entries are added only at the end and
// removed together with their rows.
//
// Row format: column 0 shows only the row's image (none waiting, 0 running, 1 failed); then the
// name (image 3 folder, 4 file), the size in bytes, the status and the folder part of the local
// path. A row's image number is kept under kImageRole of its column.
//
// The running entry: from the moment the run takes the head (TakeHead) until it ends with it,
// that entry is protected: Remove and ClearWaiting never take it, and RemoveRunning removes
// that entry and no other. As entries are only appended and the running one cannot go, it
// stays the head for its whole run. Clear (the page is closing) removes everything, the
// running entry too; the run then finds its page closed and touches nothing.
#include <QtCore/qnamespace.h>

#include <cstdint>
#include <string>
#include <vector>

#include "connection/rupdown.h"

class QStandardItemModel;

class TTransferQueue {
  public:
    // The role under which a cell keeps its image number.
    static constexpr int kImageRole = Qt::UserRole + 1;

    // Both must outlive the object; the queue changes them only together.
    TTransferQueue(std::vector<rupdown>& entries, QStandardItemModel& rows);

    int Count() const { return static_cast<int>(entries_.size()); }
    bool HasEntry(const std::string& name, const std::string& localPath,
                  const std::string& remoteFolder) const;
    void Add(rupdown entry);

    // Marks the head as the running entry and returns a copy of it. The queue must not be
    // empty.
    rupdown TakeHead();
    bool HeadRunning() const { return running_; }
    // The run has ended with its entry still queued (failed): the mark goes.
    void EndRunning() { running_ = false; }
    // Removes the running entry with its row and ends the mark; nothing when none runs.
    void RemoveRunning();

    // Removes entry `row` with its row; false for the running entry or a row out of range.
    bool Remove(int row);
    // From the last row to the first, removes every entry but the running one.
    void ClearWaiting();
    // Removes every entry and row (closing the page).
    void Clear();

    // Row cells: image of column 0 (-1 none) and the status text.
    int Image(int row) const;
    void SetImage(int row, int image);
    std::string Status(int row) const;
    void SetStatus(int row, const std::string& status);

    // The Size (bytes) text of an entry: empty for a folder download and for an upload of 0
    // bytes (folders and empty files), else the decimal bytes.
    static std::string SizeText(const rupdown& entry);
    // The folder part of a local path, up to and including its last "/".
    static std::string FolderPart(const std::string& path);

  private:
    void RemoveAt(int row);

    std::vector<rupdown>& entries_;
    QStandardItemModel& rows_;
    bool running_ = false;
};
