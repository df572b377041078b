#pragma once
// The information log of a page (ListView3): one row per line of text with an icon, 0 sent or
// informational, 1 received, 2 error. It holds at most 599 rows: the line that would be the
// 600th empties it first and becomes its only row. The rows can be cleared and saved as text.
//
// Texts are UTF-8 bytes; the rows show them as they are (bytes that are no UTF-8 are shown
// replaced, but saved as they came).
#include <QIcon>
#include <QTimer>

#include <array>
#include <string>
#include <vector>

class QStandardItemModel;
class QTreeView;

class TProtocolLog {
  public:
    static constexpr int kMaxRows = 599;

    // `items` is the model `view` shows; both must outlive the log.
    TProtocolLog(QStandardItemModel& items, QTreeView& view);

    // Appends one row, scrolled into view when the window's messages are next processed. Never
    // throws: a log line must not break the work it reports.
    void AddInfoLine(const std::string& text, int icon) noexcept;
    // One row per line of `text`: a CR ends a line and a LF right after it is dropped; what is
    // left after the last CR is the last row (nothing when it is empty). A LF without a CR stays
    // inside its row.
    void AddInfoLines(const std::string& text, int icon) noexcept;
    void Clear();

    int RowCount() const;
    std::string Caption(int row) const;
    int Icon(int row) const;
    // Writes every row's caption followed by CR LF to `path`, replacing the file. False when
    // the file cannot be written completely.
    bool SaveToFile(const std::string& path) const;

    // The lines AddInfoLines makes of `text`.
    static std::vector<std::string> SplitLines(const std::string& text);

  private:
    QStandardItemModel& items_;
    QTreeView& view_;
    // The three row icons, made once: making an icon decodes its picture, which would cost
    // more than the line itself on every command of a transfer.
    std::array<QIcon, 3> icons_;
    // Scrolls to the last row once the lines of a stretch of work are in: scrolling lays out
    // every row of the list, which done for each line would cost more than the line itself.
    QTimer scroll_;
};
