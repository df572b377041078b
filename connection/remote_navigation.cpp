#include "connection/remote_navigation.h"

#include <exception>
#include <utility>

#include "connection/page_session.h"
#include "connection/remote_listing.h"
#include "connection/tfb.h"
#include "platform/ui/list_view.h"

namespace {

std::string ErrorText(const std::exception& error) {
    const std::string text = error.what();
    return text.empty() ? std::string("Unknown error") : text;
}

}  // namespace

TRemoteNavigation::TRemoteNavigation(Tfb& page, TRemoteListing& listing)
    : page_(page), listing_(listing) {}

void TRemoteNavigation::DblClick() {
    if (!page_.Connected()) {
        page_.ConnectSite(false);
        return;
    }
    const int row = page_.ListView2->Selected();
    if (row < 0 || static_cast<std::size_t>(row) >= listing_.FDisplayList.size())
        return;
    const rdatalist& entry = listing_.FDisplayList[static_cast<std::size_t>(row)];
    // Files and links to folders are not entered.
    if (entry.typetext != "Folder" || !entry.sizetext.empty())
        return;
    const std::string name = entry.name;
    Navigate([this, name] {
        page_.FIdleTicks = 0;
        Enter(name);
    });
}

void TRemoteNavigation::Back() {
    if (!page_.Connected()) {
        page_.ConnectSite(false);
        return;
    }
    Navigate([this] { Enter(".."); });
}

void TRemoteNavigation::Refresh() {
    if (!page_.Connected()) {
        page_.ConnectSite(false);
        return;
    }
    Navigate([this] { page_.ChangeDirAndList(listing_.FCurrentDir); });
}

void TRemoteNavigation::GoTo(const std::string& folder) {
    Navigate([this, folder] {
        // An absolute folder needs no particular starting point; a relative one means the
        // page's folder, where an earlier run may no longer have left the server.
        if (folder.empty() || folder.front() != '/')
            page_.Session().EnterFolder(listing_.FCurrentDir);
        Open(folder);
    });
}

void TRemoteNavigation::Enter(const std::string& name) {
    page_.Session().EnterFolder(listing_.FCurrentDir);
    Open(name);
}

void TRemoteNavigation::Open(const std::string& folder) {
    if (page_.FSite.autorefresh) {
        page_.ChangeDirAndList(folder);
        return;
    }
    page_.Session().ChangeDir(folder);
    listing_.RetrieveCurrentDir();
    listing_.ShowDirFromCache(listing_.FCurrentDir);
}

void TRemoteNavigation::Navigate(std::function<void()> work) {
    const std::string folder = listing_.FCurrentDir;
    page_.Session().Guard().RunOrDefer([this, folder, work = std::move(work)] {
        // Deferred behind another exchange: a name of another folder's listing means nothing
        // here any more, and a page disconnected meanwhile has nothing to navigate.
        if (listing_.FCurrentDir != folder || !page_.Connected())
            return;
        auto exchange = page_.Session().Guard().TryBegin();
        if (!exchange)
            return;
        const TPageLifetime::Run run(page_.Lifetime());
        page_.EnableControls(false);
        try {
            work();
        } catch (const std::exception& error) {
            if (run.Stopped())
                return;
            page_.AddInfoLine(ErrorText(error), 2);
            Recover();
        }
        if (run.Stopped())
            return;
        if (page_.Connected())
            page_.EnableControls(true);
        page_.ListView2->Select(-1);
        page_.ListView2SelectItem();
    });
}

void TRemoteNavigation::Recover() {
    // The display list may be empty or half built: the list follows it.
    listing_.ShowRows();
    TPageSession& session = page_.Session();
    if (session.ServerFolder() || !page_.Connected())
        return;
    // A CWD went through (or may have) but what followed failed: learn where the server is.
    try {
        listing_.RetrieveCurrentDir();
    } catch (const std::exception& error) {
        page_.AddInfoLine(ErrorText(error), 2);
    }
}
