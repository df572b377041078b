#include "connection/protocol_log.h"

#include <QStandardItemModel>
#include <QTreeView>

#include <fstream>

#include "connection/page_images.h"
#include "platform/ui/qt_text.h"

namespace {

// The caption's own bytes, kept beside its display text so a saved log gives back what came.
constexpr int kBytesRole = Qt::UserRole + 1;
constexpr int kIconRole = Qt::UserRole + 2;

}  // namespace

TProtocolLog::TProtocolLog(QStandardItemModel& items, QTreeView& view)
    : items_(items),
      view_(view),
      icons_{page_images::InfoImage(0), page_images::InfoImage(1), page_images::InfoImage(2)} {
    scroll_.setSingleShot(true);
    scroll_.setInterval(0);
    QObject::connect(&scroll_, &QTimer::timeout, &view_, [this] {
        if (items_.rowCount() > 0)
            view_.scrollTo(items_.index(items_.rowCount() - 1, 0));
    });
}

void TProtocolLog::AddInfoLine(const std::string& text, int icon) noexcept {
    try {
        if (items_.rowCount() >= kMaxRows)
            items_.removeRows(0, items_.rowCount());  // one update of the list
        const QIcon shown = icon >= 0 && icon < static_cast<int>(icons_.size())
                                ? icons_[static_cast<std::size_t>(icon)]
                                : QIcon();
        auto* item = new QStandardItem(shown, ui::ToQt(text));
        item->setData(ui::BytesData(text), kBytesRole);
        item->setData(icon, kIconRole);
        item->setEditable(false);
        items_.appendRow(item);
        if (!scroll_.isActive())
            scroll_.start();
    } catch (...) {
        // A log line that cannot be shown is lost; the work it reports goes on.
    }
}

std::vector<std::string> TProtocolLog::SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string::size_type start = 0;
    while (start < text.size()) {
        const std::string::size_type cr = text.find('\r', start);
        if (cr == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, cr - start));
        start = cr + 1;
        if (start < text.size() && text[start] == '\n')
            ++start;
    }
    return lines;
}

void TProtocolLog::AddInfoLines(const std::string& text, int icon) noexcept {
    try {
        for (const std::string& line : SplitLines(text))
            AddInfoLine(line, icon);
    } catch (...) {
        // As AddInfoLine: the log never breaks the work.
    }
}

void TProtocolLog::Clear() {
    items_.removeRows(0, items_.rowCount());
}

int TProtocolLog::RowCount() const {
    return items_.rowCount();
}

std::string TProtocolLog::Caption(int row) const {
    const QStandardItem* item = items_.item(row);
    if (item == nullptr)
        return {};
    return ui::FromBytesData(item->data(kBytesRole));
}

int TProtocolLog::Icon(int row) const {
    const QStandardItem* item = items_.item(row);
    return item == nullptr ? -1 : item->data(kIconRole).toInt();
}

bool TProtocolLog::SaveToFile(const std::string& path) const {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (int row = 0; out && row < RowCount(); ++row)
        out << Caption(row) << "\r\n";
    out.close();
    return static_cast<bool>(out);
}
