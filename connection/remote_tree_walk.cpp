#include "connection/remote_tree_walk.h"

#include <utility>

#include "connection/page_session.h"
#include "platform/ui/message_pump.h"

bool IsDotEntry(const std::string& name) {
    const std::size_t first = name.find_first_not_of(' ');
    if (first == std::string::npos)
        return false;
    const std::size_t last = name.find_last_not_of(' ');
    const std::string trimmed = name.substr(first, last - first + 1);
    return trimmed == "." || trimmed == "..";
}

TRemoteTreeWalk::TRemoteTreeWalk(TPageSession& session, std::function<bool()> stopped)
    : session_(session), stopped_(std::move(stopped)) {}

void TRemoteTreeWalk::CheckStopped() const {
    if (stopped_ && stopped_())
        throw ERemoteWalkStopped();
}

void TRemoteTreeWalk::Enter(const std::string& folder, int depth) {
    ui::ProcessMessages();
    CheckStopped();
    if (depth > kMaxRemoteTreeDepth)
        throw ERemoteTreeTooDeep("The folder tree is deeper than " +
                                 std::to_string(kMaxRemoteTreeDepth) +
                                 " levels; the operation is stopped at \"" + folder + "\".");
    session_.ChangeDir(folder);
    CheckStopped();
}

std::vector<ftp::TIdFTPListItem> TRemoteTreeWalk::Entries() {
    std::vector<std::string> lines;
    session_.IdFTP1.List(lines);
    CheckStopped();
    // Taken out of the component: a handler run by a later pump may list again.
    const ftp::TIdFTPListItems items = session_.IdFTP1.TakeDirectoryListing();
    std::vector<ftp::TIdFTPListItem> entries;
    entries.reserve(items.size());
    for (auto item = items.rbegin(); item != items.rend(); ++item) {
        if (!IsDotEntry(item->FileName))
            entries.push_back(*item);
    }
    return entries;
}

void TRemoteTreeWalk::Leave() {
    session_.ChangeDir("..");
    CheckStopped();
}
