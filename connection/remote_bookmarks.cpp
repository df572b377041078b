#include "connection/remote_bookmarks.h"

#include <QAction>
#include <QByteArray>
#include <QMenu>

#include "connection/page_images.h"
#include "connection/tfb.h"
#include "platform/ui/handler_guard.h"
#include "platform/ui/qt_text.h"
#include "shared/open_table.h"
#include "shared/tdm.h"

namespace {

// Image 3 of the page's image list "info": a bookmarked folder.
constexpr int kBookmarkImage = 3;

}  // namespace

TRemoteBookmarks::TRemoteBookmarks(Tfb& page) : page_(page) {}

bool TRemoteBookmarks::AddRow(vesk::TVeskTable& bookmark, std::int32_t siteId,
                              const std::string& path) {
    OpenTable table(bookmark);
    for (table->First(); !table->Eof(); table->Next()) {
        if (table->FieldByName("ftpid").AsInteger() == siteId &&
            table->FieldByName("path").AsString() == path)
            return false;
    }
    table->Append();
    table->FieldByName("ftpid").SetAsInteger(siteId);
    table->FieldByName("path").SetAsString(path);
    table->Post();
    return true;
}

void TRemoteBookmarks::AddCurrentFolder() {
    // A page that has listed nothing has no folder to keep.
    const std::string folder = page_.FCurrentDir;
    if (folder.empty() || dm == nullptr)
        return;
    AddRow(*dm->Tftpb, page_.FSiteId, folder);
    AppendItem(folder);
}

bool TRemoteBookmarks::IsFixed(const QAction& item) const {
    return &item == page_.AddBookmark1 || &item == page_.Bookmarkmanager1 ||
           &item == page_.MenuItem1;
}

std::vector<QAction*> TRemoteBookmarks::Items() const {
    std::vector<QAction*> items;
    for (QAction* item : page_.fbbookmark->actions()) {
        if (!IsFixed(*item))
            items.push_back(item);
    }
    return items;
}

std::string TRemoteBookmarks::PathOf(const QAction& item) {
    const QByteArray bytes = item.data().toByteArray();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

std::vector<std::string> TRemoteBookmarks::Paths() const {
    std::vector<std::string> paths;
    for (const QAction* item : Items())
        paths.push_back(PathOf(*item));
    return paths;
}

void TRemoteBookmarks::AppendItem(const std::string& path) {
    QString caption = ui::ToQt(path);
    caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
    QAction* item = page_.fbbookmark->addAction(page_images::InfoImage(kBookmarkImage), caption);
    // The folder's own bytes: a name that is not UTF-8 does not come back from the caption.
    item->setData(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
    QObject::connect(item, &QAction::triggered, &page_,
                     ui::Guarded([&page = page_, item] { page.OnBookmarkItemClick(*item); }));
}

void TRemoteBookmarks::SetPaths(const std::vector<std::string>& paths) {
    for (QAction* item : Items()) {
        page_.fbbookmark->removeAction(item);
        // Not at once: the item may be the one whose click is running.
        item->deleteLater();
    }
    for (const std::string& path : paths)
        AppendItem(path);
}
