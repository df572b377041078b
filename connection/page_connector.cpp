#include "connection/page_connector.h"

#include <QTimer>
#include <QToolButton>

#include <cmath>
#include <exception>

#include "connection/page_host.h"
#include "connection/page_session.h"
#include "connection/protocol_log.h"
#include "connection/tfb.h"
#include "platform/ftp/id_ftp.h"
#include "platform/ui/owner_data_model.h"
#include "platform/ui/ui_services.h"

namespace {

const char* const kSiteUnreadable = "Can not read the information of the FTP site.";
const char* const kNoDefaultFolder =
    "The default folder was not existed, the program will change to root automactically.";
const char* const kHalted = "Encountered maximum error.This part job is halted.";

std::string ErrorText(const std::exception& error) {
    const std::string text = error.what();
    return text.empty() ? std::string("Unknown error") : text;
}

}  // namespace

TPageConnector::TPageConnector(Tfb& page) : page_(page) {}

long long TPageConnector::DelaySeconds(std::int32_t delayMs) {
    return std::llrint(static_cast<double>(delayMs) / 1000.0);  // the default mode: halves to even
}

bool TPageConnector::Attempt() {
    try {
        page_.IdFTP1.Connect(true, page_.FSite.timeout);
        return true;
    } catch (const std::exception&) {
        // The received lines are in the log already; the caller reports the attempt.
        return false;
    }
}

void TPageConnector::StartRetryTimer() {
    // A delay of 0 or less gives no retry ticks, as a timer without interval never fires.
    if (page_.FSite.rd <= 0)
        return;
    page_.Timer1->setInterval(page_.FSite.rd);
    page_.Timer1->start();
}

void TPageConnector::ConnectSite(bool isQuick) {
    page_.Lifetime().Reopen();
    auto exchange = page_.Session().Guard().TryBegin();
    if (!exchange) {
        // A connect of this page is under way (or another exchange waits): no second one. But
        // a connect the page's close has stopped only waits to return; the page opened again
        // connects once it has.
        if (connecting_ != nullptr && connecting_->Stopped())
            page_.Session().Guard().RunOrDefer([this, isQuick] {
                if (!page_.Closed())  // closed again meanwhile: it stays closed
                    page_.ConnectSite(isQuick);
            });
        return;
    }
    const TPageLifetime::Run run(page_.Lifetime());
    const Connecting connecting(*this, run);
    const unsigned disconnects = disconnects_;
    FRetryCount = 0;
    if (!page_.LoadSiteSettings(isQuick)) {
        ui::MessageDlg(kSiteUnreadable, ui::MessageKind::kError, ui::mbOK);
        return;
    }
    page_.AddInfoLine("Connecting " + page_.IdFTP1.Host, 0);
    const bool connected = Attempt();
    if (run.Stopped() || disconnects != disconnects_)
        return;  // closed, or the user disconnected while it waited
    if (!connected) {
        page_.AddInfoLine("Error occured,wait " + std::to_string(DelaySeconds(page_.FSite.rd)) +
                              " second for retry",
                          2);
        StartRetryTimer();
        return;
    }
    if (!page_.Session().Connected())
        return;
    FinishLogin(run, disconnects);
}

void TPageConnector::FinishLogin(const TPageLifetime::Run& run, unsigned disconnects) {
    EnterStartFolder();
    // A close or a disconnect while the start folder was listed has settled the page already.
    if (run.Stopped() || disconnects != disconnects_)
        return;
    if (page_.Session().Connected())
        ShowConnected();
    else
        ShowDisconnected();
}

void TPageConnector::EnterStartFolder() {
    const std::string defaultPath = page_.FSite.defaultpath;
    try {
        if (!defaultPath.empty() && defaultPath != "/") {
            page_.FCurrentDir = defaultPath;
            FStartDir = defaultPath;
            try {
                page_.ChangeDirAndList(defaultPath);
                return;
            } catch (const std::exception&) {
                // Reported by the message box below.
            }
            ui::MessageDlg(kNoDefaultFolder, ui::MessageKind::kError, ui::mbOK);
        }
        page_.FCurrentDir = page_.IdFTP1.RetrieveCurrentDir();
        FStartDir = page_.FCurrentDir;
        page_.ChangeDirAndList(page_.FCurrentDir);
    } catch (const std::exception& error) {
        // Logged in but the folder cannot be shown: the page stays usable and says why.
        page_.AddInfoLine(ErrorText(error), 2);
        page_.ListView2SelectItem();
    }
}

void TPageConnector::ShowConnected() {
    page_.Timer1->stop();
    Tfb::SetImage(*page_.ToolButton17, 3);
    page_.EnableControls(true);
    page_.Host().SetUploadEnabled(true);
    page_.ToolButton3->setEnabled(true);
    page_.Timer2->start();
}

void TPageConnector::ShowDisconnected() {
    // The component's events have switched the browsing controls off and the tab to 0; the
    // toggle and Abort follow, so the next click connects.
    page_.Timer1->stop();
    Tfb::SetImage(*page_.ToolButton17, 15);
    page_.ToolButton3->setEnabled(false);
    page_.Host().SetUploadEnabled(false);
}

void TPageConnector::Timer1Timer() {
    auto exchange = page_.Session().Guard().TryBegin();
    if (!exchange)
        return;  // the connect of this page (or another exchange) still waits: no second one
    const TPageLifetime::Run run(page_.Lifetime());
    const Connecting connecting(*this, run);
    const unsigned disconnects = disconnects_;
    ++FRetryCount;
    if (FRetryCount == page_.FSite.nor) {
        page_.AddInfoLine(kHalted, 2);
        page_.Timer1->stop();
        return;
    }
    page_.AddInfoLine("Connecting " + page_.IdFTP1.Host, 0);
    const bool connected = Attempt();
    if (run.Stopped() || disconnects != disconnects_)
        return;
    if (!connected) {
        page_.AddInfoLine("Error occured,wait " + std::to_string(DelaySeconds(page_.FSite.rd)) +
                              " second for retry. " + "(" + std::to_string(FRetryCount) + ")",
                          2);
        return;
    }
    page_.Host().SetPageImage(page_, 1);
    FinishLogin(run, disconnects);
}

void TPageConnector::Abort() {
    const TPageLifetime::Run run(page_.Lifetime());
    page_.IdFTP1.Abort();
    // Abort may cut into a waiting exchange; the reconnect below then closes the connection
    // under it (or replaces it), and the listing is left to no one.
    auto exchange = page_.Session().Guard().TryBegin();
    bool reconnected = false;
    try {
        page_.IdFTP1.Connect(true, page_.FSite.timeout);
        reconnected = true;
    } catch (const std::exception&) {
        // An open connection is refused and closed ("Already connected."): the page ends
        // disconnected through the component's events.
    }
    if (run.Stopped())
        return;
    if (reconnected)
        page_.Host().SetPageImage(page_, 1);
    if (!exchange || !page_.Session().Connected())
        return;
    try {
        page_.ChangeDirAndList(page_.FCurrentDir);
    } catch (const std::exception& error) {
        page_.AddInfoLine(ErrorText(error), 2);
    }
    if (run.Stopped())
        return;
    // Logged in again after the server had closed the connection: the page is usable again.
    if (page_.Session().Connected())
        ShowConnected();
}

void TPageConnector::ToggleClick() {
    if (Tfb::ImageOf(*page_.ToolButton17) != 3) {
        Tfb::SetImage(*page_.ToolButton17, 3);
        page_.ConnectSite(false);
        return;
    }
    HandleDisconnected();
    Tfb::SetImage(*page_.ToolButton17, 15);
    page_.ToolButton3->setEnabled(false);
}

void TPageConnector::HandleDisconnected() {
    ++disconnects_;
    page_.AddInfoLine("Disconnected from server.", 2);
    page_.EnableControls(false);
    page_.Host().SetUploadEnabled(false);
    page_.Host().SetPageImage(page_, 0);
    Tfb::SetImage(*page_.ToolButton17, 15);
    page_.ClearRemoteLists();
    page_.ToolButton4->setEnabled(false);
    page_.ToolButton5->setEnabled(false);
    page_.ToolButton9->setEnabled(false);
    page_.Download1->setVisible(false);
    page_.Delete1->setVisible(false);
    page_.Rename1->setVisible(false);
    page_.Addtask1->setVisible(false);
    page_.Exportselectfolder1->setVisible(false);
    page_.FBusy = false;
    page_.Timer1->stop();
    page_.Session().Disconnect();
}
