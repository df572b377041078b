#pragma once
// One connection page logged in to a test server without a database: the component gets the
// account's server directly, and the page lists its first folder with ChangeDirAndList as its
// connect does. Records every command line the page sends.
#include <memory>
#include <string>
#include <vector>

#include "connection/page_host.h"
#include "connection/testing/quiet_page_host.h"
#include "connection/tfb.h"
#include "tests/ftp_servers/ftp_account.h"

namespace pagetest {

class ListingPage {
  public:
    // Passive mode, 10 s time-outs, the site's auto-refresh setting as given.
    ListingPage(const ftptest::FtpAccount& account, bool autorefresh);
    ~ListingPage();
    ListingPage(const ListingPage&) = delete;
    ListingPage& operator=(const ListingPage&) = delete;

    Tfb& page() { return *page_; }

    // Logs in and lists `folder` (the login folder when empty) under one exchange, then
    // switches the browsing controls on, as a connect does. Throws what the server's replies
    // make the component throw.
    void Connect(const std::string& folder = "");
    // The display list's row of `name`; -1 for none.
    int RowOf(const std::string& name) const;
    // Selects the row of `name` and double-clicks the list (through its attached handler).
    void DoubleClick(const std::string& name);

    // The command lines sent since the last ClearSent, without CR LF.
    std::vector<std::string> Sent() const;
    // How many of them begin with `prefix`.
    int SentWithPrefix(const std::string& prefix) const;
    void ClearSent() { sent_.clear(); }

    // The names of the display list in row order.
    std::vector<std::string> Names() const;
    // Whether the log has a row with icon 2.
    bool LoggedError() const;

  private:
    connection_testing::QuietPageHost host_{{}, {}, "/"};
    std::unique_ptr<Tfb> page_;
    std::string sent_;
};

}  // namespace pagetest
