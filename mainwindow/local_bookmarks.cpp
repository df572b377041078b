#include "mainwindow/local_bookmarks.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QByteArray>
#include <QIcon>
#include <QMenu>
#include <QStyle>
#include <QWidget>

#include "platform/os/local_paths.h"
#include "platform/ui/handler_guard.h"
#include "platform/ui/qt_text.h"
#include "platform/ui/shared_icons.h"
#include "shared/list_file.h"

namespace {

// Image 0 of the bookmark images: a folder, one picture shared by every bookmark item.
QIcon BookmarkImage() {
    return ui::ThemedIcon("folder", QStyle::SP_DirIcon);
}

}  // namespace

TLocalBookmarks::TLocalBookmarks(QWidget& menuOwner, std::string listPath)
    : QObject(&menuOwner), listPath_(std::move(listPath)) {
    setObjectName(QStringLiteral("LocalBookmarks"));
    popbookmark = new QMenu(&menuOwner);
    popbookmark->setObjectName(QStringLiteral("popbookmark"));
    AddBookmark1 =
        popbookmark->addAction(ui::ThemedIcon("bookmark-new", QStyle::SP_DialogApplyButton),
                               QStringLiteral("Add Bookmark"));
    AddBookmark1->setObjectName(QStringLiteral("AddBookmark1"));
    QFont bold = AddBookmark1->font();
    bold.setBold(true);
    AddBookmark1->setFont(bold);
    popbookmark->setDefaultAction(AddBookmark1);
    Bookmarkmanager1 = popbookmark->addAction(QStringLiteral("Manage Bookmarks..."));
    Bookmarkmanager1->setObjectName(QStringLiteral("Bookmarkmanager1"));
    N2 = popbookmark->addSeparator();
    N2->setObjectName(QStringLiteral("N2"));

    connect(AddBookmark1, &QAction::triggered, this, ui::Guarded([this] {
                const auto handler = OnAdd;
                if (handler)
                    handler();
            }));
    connect(Bookmarkmanager1, &QAction::triggered, this, ui::Guarded([this] {
                const auto handler = OnManage;
                if (handler)
                    handler();
            }));
    connect(popbookmark, &QMenu::aboutToShow, this, ui::Guarded([this] { FillMenu(); }));
}

bool TLocalBookmarks::IsFixed(const QAction& item) const {
    return &item == AddBookmark1 || &item == Bookmarkmanager1 || &item == N2;
}

std::vector<QAction*> TLocalBookmarks::Items() {
    FillMenu();
    std::vector<QAction*> items;
    for (QAction* item : popbookmark->actions()) {
        if (!IsFixed(*item))
            items.push_back(item);
    }
    return items;
}

std::string TLocalBookmarks::FolderOf(const QAction& item) {
    const QByteArray bytes = item.data().toByteArray();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void TLocalBookmarks::FillMenu() {
    if (menuFilled_)
        return;
    menuFilled_ = true;
    for (const std::string& folder : folders_)
        AppendItem(folder);
}

void TLocalBookmarks::AppendBookmark(const std::string& folder) {
    folders_.push_back(folder);
    if (menuFilled_)
        AppendItem(folder);
}

void TLocalBookmarks::AppendItem(const std::string& folder) {
    QString caption = ui::ToQt(folder);
    caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
    QAction* item = popbookmark->addAction(BookmarkImage(), caption);
    // The folder's own bytes, as a text that is not UTF-8 does not come back from the caption.
    item->setData(QByteArray(folder.data(), static_cast<qsizetype>(folder.size())));
    connect(item, &QAction::triggered, this,
            ui::Guarded([this, item] { LocalBookmarkClick(*item); }));
}

void TLocalBookmarks::LoadLocalBookmarks() {
    for (const std::string& folder : shared::ReadListFile(listPath_))
        AppendBookmark(folder);
}

void TLocalBookmarks::SaveLocalBookmarks() const {
    shared::WriteListFile(listPath_, folders_);
}

bool TLocalBookmarks::AddFolder(const std::string& folder) {
    if (!os::IsFolder(folder))
        return false;
    if (std::find(folders_.begin(), folders_.end(), folder) == folders_.end())
        AppendBookmark(folder);
    SaveLocalBookmarks();
    return true;
}

void TLocalBookmarks::SetFolders(const std::vector<std::string>& folders) {
    if (menuFilled_) {
        std::vector<QAction*> items = Items();
        for (auto item = items.rbegin(); item != items.rend(); ++item) {
            popbookmark->removeAction(*item);
            // Not at once: the item may be the one whose click is running.
            (*item)->deleteLater();
        }
    }
    menuFilled_ = false;
    folders_ = folders;
}

void TLocalBookmarks::LocalBookmarkClick(QAction& item) {
    const auto handler = OnGoTo;
    if (handler)
        handler(FolderOf(item));
}
