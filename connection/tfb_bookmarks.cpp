// The page's remote bookmarks: Tfb's forwarding to TRemoteBookmarks and TRemoteNavigation.
#include <QAction>
#include <QToolButton>

#include "connection/page_dialogs.h"
#include "connection/remote_bookmarks.h"
#include "connection/remote_navigation.h"
#include "connection/tfb.h"
#include "platform/ui/handler_guard.h"

void Tfb::ConnectBookmarkHandlers() {
    bookmarks_ = std::make_unique<TRemoteBookmarks>(*this);
    connect(ToolButton10, &QToolButton::clicked, this,
            ui::Guarded([this] { ToolButton10Click(); }));
    connect(AddBookmark1, &QAction::triggered, this, ui::Guarded([this] { ToolButton10Click(); }));
    connect(Bookmarkmanager1, &QAction::triggered, this,
            ui::Guarded([this] { Bookmarkmanager1Click(); }));
}

void Tfb::ToolButton10Click() {
    bookmarks_->AddCurrentFolder();
}

void Tfb::OnBookmarkItemClick(QAction& item) {
    navigation_->GoTo(TRemoteBookmarks::PathOf(item));
}

void Tfb::Bookmarkmanager1Click() {
    if (dialogs_ == nullptr)
        return;
    // The modal dialog pumps messages: the frame must stay whole until it returns, even
    // when the window shuts the page down meanwhile.
    const TPageLifetime::Run run(Lifetime());
    dialogs_->ShowBookmarkManager(*this);
}

std::vector<std::string> Tfb::BookmarkPaths() const {
    return bookmarks_->Paths();
}

void Tfb::SetBookmarkPaths(const std::vector<std::string>& paths) {
    bookmarks_->SetPaths(paths);
}
