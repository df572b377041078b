#include "platform/ui/list_rows_mime.h"

#include <QByteArray>
#include <QMimeData>
#include <QString>

#include <charconv>
#include <string_view>

namespace ui {

namespace {

// Reads one decimal number that ends at a blank or at the end; moves `text` past it and its
// blank.
template <class Number>
bool ReadNumber(std::string_view& text, Number& value) {
    const char* end = text.data() + text.size();
    const auto [next, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || next == text.data())
        return false;
    if (next != end && *next != ' ')
        return false;
    text.remove_prefix(static_cast<size_t>(next - text.data()));
    if (!text.empty())
        text.remove_prefix(1);
    return true;
}

}  // namespace

// The payload is text: the process, the list number and the rows, separated by blanks.
void WriteListRows(QMimeData& data, const ListRows& rows) {
    QByteArray bytes = QByteArray::number(rows.process) + ' ' + QByteArray::number(rows.list);
    bytes.reserve(bytes.size() + static_cast<qsizetype>(rows.rows.size()) * 7);
    for (int row : rows.rows)
        bytes += ' ' + QByteArray::number(row);
    data.setData(QString::fromLatin1(kListRowsMimeType), bytes);
}

std::optional<ListRows> ReadListRows(const QMimeData& data) {
    const QString format = QString::fromLatin1(kListRowsMimeType);
    if (!data.hasFormat(format))
        return std::nullopt;
    const QByteArray bytes = data.data(format);
    std::string_view text(bytes.constData(), static_cast<size_t>(bytes.size()));
    ListRows rows;
    if (!ReadNumber(text, rows.process) || !ReadNumber(text, rows.list))
        return std::nullopt;
    while (!text.empty()) {
        int row = 0;
        if (!ReadNumber(text, row) || row < 0 || (!rows.rows.empty() && row <= rows.rows.back()))
            return std::nullopt;
        rows.rows.push_back(row);
    }
    return rows;
}

}  // namespace ui
