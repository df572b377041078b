#pragma once
// The payload of rows dragged out of a list view: which list they belong to (the process and the
// list's number in it) and which rows, so that the side that takes the drop can tell rows of one
// of the program's lists from anything else dragged in, also from the same list of another
// instance of the program.
#include <QtGlobal>

#include <optional>
#include <vector>

class QMimeData;

namespace ui {

inline constexpr char kListRowsMimeType[] = "application/x-zantrope-list-rows";

struct ListRows {
    qint64 process = 0;
    quint64 list = 0;
    std::vector<int> rows;  // ascending, no row twice

    bool operator==(const ListRows&) const = default;
};

// Puts `rows` into `data` under kListRowsMimeType.
void WriteListRows(QMimeData& data, const ListRows& rows);

// The rows `data` carries; nullopt when it carries none or the payload is damaged (not numbers,
// a negative row, rows not ascending). Whether the rows exist in the list is the reader's check.
std::optional<ListRows> ReadListRows(const QMimeData& data);

}  // namespace ui
