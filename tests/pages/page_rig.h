#pragma once
// The rig of the page tests: the main window with fresh database files (MainFormTest), site,
// proxy, SOCKS, anti-idle and option rows pointing at the test servers, and what a test reads
// off a page: its log rows, its tab image, a wait that pumps messages until something has
// happened (bounded, so a fault fails the test instead of hanging it; never a timing that is
// asserted).
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "mainwindow/main_form_test_support.h"

namespace pagetest {

struct ServerSite {
    std::string name = "";
    std::string address = "127.0.0.1";
    int port = 21;
    std::string user = "";
    std::string password = "";
    std::string defaultpath = "";
    int timeout = 10;  // seconds
    int nor = 3;
    int rd = 1;  // seconds
    bool pasv = true;
    std::string proxy = "None";
    std::string socks = "None";
};

struct LogRow {
    std::string text;
    int icon;
    bool operator==(const LogRow&) const = default;
};
void PrintTo(const LogRow& row, std::ostream* out);

class PageRig : public mainwindow::testing::MainFormTest {
  protected:
    void TearDown() override;

    std::int32_t AddServerSite(const ServerSite& site);
    // The options row (with its anti-idle switch) and the anti-idle rows (command, in use).
    void SetOptions(int interval, const std::vector<std::pair<std::string, bool>>& commands,
                    bool antiIdle = true);
    void AddProxy(const std::string& name, const std::string& typeName, int port,
                  const std::string& user, const std::string& password);
    void AddSocks(const std::string& name, const std::string& svName, int port,
                  const std::string& user, const std::string& password);
    std::string SiteColumn(const std::string& site, const char* field);

    // For the runs of the real program: stores the site "local pyftpdlib" at `port` (alice,
    // secret) and the options (30 s, no anti-idle command), hands the files to the program and
    // copies it into the test's folder. Returns the copy's path.
    std::string ProgramWithSite(int port);

    // Shows the window (first time) and opens the site's page through TForm1.OpenSitePage.
    Tfb& OpenSite(const std::string& name);

  public:
    static int TabImage(Tfb& frame);
    static std::vector<LogRow> LogOf(Tfb& frame);
    static bool HasRow(Tfb& frame, const LogRow& row);
    static int CountRows(Tfb& frame, const std::string& text);
    // Pumps messages until `done` holds; false when it still does not after `seconds`.
    static bool WaitUntil(const std::function<bool()>& done, int seconds = 20);
};

// The script rules of a server that serves one empty folder "/" after a plain login.
extern const std::string kServeRootRules;

// What the scripted proxy receives before the listing when a site of alice/secret at
// 127.0.0.9 logs in through a proxy of `typeName` whose own login is puser/ppass.
struct ProxyLoginCase {
    const char* typeName;
    std::vector<std::string> login;
};
extern const std::vector<ProxyLoginCase> kProxyLoginCases;
// The script of a proxy that accepts SITE and OPEN and then serves as kServeRootRules does.
std::string ProxyScript();
// Expects the commands the proxy recorded to begin with `login` and end with the listing.
void ExpectProxyLoginAndList(const std::vector<std::string>& recorded,
                             const std::vector<std::string>& login);

}  // namespace pagetest
