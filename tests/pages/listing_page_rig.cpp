#include "tests/pages/listing_page_rig.h"

#include "connection/page_session.h"
#include "connection/protocol_log.h"
#include "platform/ui/list_view.h"

namespace pagetest {

ListingPage::ListingPage(const ftptest::FtpAccount& account, bool autorefresh)
    : page_(std::make_unique<Tfb>(host_)) {
    Tfb& page = *page_;
    page.IdFTP1.Host = account.host;
    page.IdFTP1.Port = account.port;
    page.IdFTP1.Username = account.user;
    page.IdFTP1.Password = account.password;
    page.IdFTP1.Passive = true;
    page.IdFTP1.ReadTimeout = 10000;
    page.FSite.autorefresh = autorefresh;
    page.FSite.timeout = 10000;
    ftp::TIdLogEvent& log = page.Session().IdLogEvent1;
    log.OnSent = [this, shown = log.OnSent](const std::string& text) {
        sent_ += text;
        if (shown)
            shown(text);
    };
}

ListingPage::~ListingPage() = default;

void ListingPage::Connect(const std::string& folder) {
    Tfb& page = *page_;
    {
        auto exchange = page.Session().Guard().TryBegin();
        page.IdFTP1.Connect(true, 10000);
        const std::string start = folder.empty() ? page.IdFTP1.RetrieveCurrentDir() : folder;
        page.FCurrentDir = start;
        page.ChangeDirAndList(start);
    }
    page.EnableControls(true);
}

int ListingPage::RowOf(const std::string& name) const {
    const std::vector<rdatalist>& rows = page_->FDisplayList;
    for (std::size_t row = 0; row < rows.size(); ++row) {
        if (rows[row].name == name)
            return static_cast<int>(row);
    }
    return -1;
}

void ListingPage::DoubleClick(const std::string& name) {
    page_->ListView2->Select(RowOf(name));
    if (page_->ListView2->OnDblClick)
        page_->ListView2->OnDblClick();
}

std::vector<std::string> ListingPage::Sent() const {
    std::vector<std::string> lines;
    std::string::size_type start = 0;
    while (start < sent_.size()) {
        std::string::size_type end = sent_.find("\r\n", start);
        if (end == std::string::npos)
            end = sent_.size();
        lines.push_back(sent_.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

int ListingPage::SentWithPrefix(const std::string& prefix) const {
    int count = 0;
    for (const std::string& line : Sent())
        count += line.rfind(prefix, 0) == 0 ? 1 : 0;
    return count;
}

std::vector<std::string> ListingPage::Names() const {
    std::vector<std::string> names;
    for (const rdatalist& entry : page_->FDisplayList)
        names.push_back(entry.name);
    return names;
}

bool ListingPage::LoggedError() const {
    const TProtocolLog& log = page_->Log();
    for (int row = 0; row < log.RowCount(); ++row) {
        if (log.Icon(row) == 2)
            return true;
    }
    return false;
}

}  // namespace pagetest
