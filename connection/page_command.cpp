#include "connection/page_command.h"

#include <utility>

#include "connection/page_session.h"
#include "connection/tfb.h"
#include "platform/ui/list_view.h"

std::string CommandErrorText(const std::exception& error) {
    const std::string text = error.what();
    return text.empty() ? std::string("Unknown error") : text;
}

TPageCommand::TPageCommand(Tfb& page, std::string what)
    : page_(page),
      what_(std::move(what)),
      run_(page.Lifetime()),
      exchange_(page.Session().Guard().TryBegin()) {
    if (!Started()) {
        Fail(std::string("another operation of this page is under way"));
        return;
    }
    page_.EnableControls(false);
}

TPageCommand::~TPageCommand() {
    if (!Started() || Stopped())
        return;
    if (page_.Connected())
        page_.EnableControls(true);
}

bool TPageCommand::EnterFolder(const std::string& folder) {
    try {
        page_.Session().EnterFolder(folder);
        return true;
    } catch (const std::exception& error) {
        if (!Stopped())
            Fail("can not enter " + folder + " (" + CommandErrorText(error) + ")");
        return false;
    }
}

void TPageCommand::Relist(const std::string& folder) {
    page_.ChangeDirAndList(folder);
    page_.ListView2->Select(-1);
    page_.ListView2SelectItem();
}

void TPageCommand::Fail(const std::exception& error) {
    Fail(CommandErrorText(error));
}

void TPageCommand::Fail(const std::string& reason) {
    page_.AddInfoLine(what_ + " stopped: " + reason + ".", 2);
}

bool TPageCommand::ConnectInto(Tfb& page, std::string folder, const std::string& what) {
    if (page.Connected())
        return true;
    const TPageLifetime::Run run(page.Lifetime());
    page.ConnectSite(false);
    if (run.Stopped())
        return false;
    if (!page.Connected()) {
        page.AddInfoLine(what + " stopped: the page is not connected.", 2);
        return false;
    }
    if (folder.empty() || page.FCurrentDir == folder)
        return true;
    // Connected in the start folder: the command's names are entries of `folder`.
    TPageCommand command(page, what);
    if (!command.Started())
        return false;
    const std::string start = page.FCurrentDir;
    try {
        page.ChangeDirAndList(folder);
    } catch (const std::exception& error) {
        if (command.Stopped())
            return false;
        command.Fail("can not enter " + folder + " (" + CommandErrorText(error) + ")");
        // The failed listing emptied the list: show the start folder again.
        try {
            page.ChangeDirAndList(start);
        } catch (const std::exception& again) {
            if (!command.Stopped())
                page.AddInfoLine(CommandErrorText(again), 2);
        }
        return false;
    }
    if (command.Stopped())
        return false;
    if (page.FCurrentDir != folder) {
        command.Fail("the server reports " + page.FCurrentDir + " for " + folder);
        return false;
    }
    return true;
}
