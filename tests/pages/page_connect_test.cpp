// A stored site's page connecting through the main window against real servers on loopback:
// the log, the tab image and the toggle, the start folder, retries, Abort, the toggle, a server
// that drops the connection, proxies and SOCKS.
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QStandardItemModel>
#include <QTimer>
#include <QToolButton>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "connection/page_session.h"
#include "connection/quick_connect_target.h"
#include "platform/ftp/id_exceptions.h"
#include "platform/os/clock.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/owner_data_model.h"
#include "platform/ui/testing/gtest_failure.h"
#include "platform/ui/testing/scripted_ui.h"
#include "tests/ftp_servers/loopback.h"
#include "tests/ftp_servers/server_fixture.h"
#include "tests/pages/page_rig.h"

namespace pagetest {
namespace {

using PageConnect = PageRig;

const char* const kHalted = "Encountered maximum error.This part job is halted.";

std::vector<std::string> Names(const Tfb& frame) {
    std::vector<std::string> names;
    for (const rdatalist& entry : frame.FDisplayList)
        names.push_back(entry.name);
    return names;
}

// The rows the page writes itself about connecting: the connecting lines and the error lines.
std::vector<LogRow> ConnectRows(Tfb& frame) {
    std::vector<LogRow> rows;
    for (const LogRow& row : PageRig::LogOf(frame)) {
        if (row.icon == 2 || row.text.rfind("Connecting ", 0) == 0)
            rows.push_back(row);
    }
    return rows;
}

bool ReceivedStartingWith(Tfb& frame, const std::string& prefix) {
    for (const LogRow& row : PageRig::LogOf(frame)) {
        if (row.icon == 1 && row.text.rfind(prefix, 0) == 0)
            return true;
    }
    return false;
}

// The browsing controls of a connected page are on, those of a disconnected one off.
void ExpectBrowsing(Tfb& frame, bool on) {
    for (QToolButton* button : {frame.ToolButton1, frame.ToolButton2, frame.ToolButton6,
                                frame.ToolButton7, frame.ToolButton11, frame.ToolButton18})
        EXPECT_EQ(button->isEnabled(), on) << button->objectName().toStdString();
}

// Fixes the clock for the zdate stamp and gives the real one back.
class FixedClock {
  public:
    explicit FixedClock(const os::LocalDateTime& now) { os::SetFixedNow(now); }
    ~FixedClock() { os::SetFixedNow(std::nullopt); }
};

TEST_F(PageConnect, AStoredSiteConnectsLogsInAndListsItsFolderThroughTheMainWindow) {
    ftptest::PyftpdlibServer server("alice", "secret");
    std::ofstream(server.account().local_folder + "hello.txt") << "hello";
    std::filesystem::create_directory(server.account().local_folder + "pub");
    AddServerSite(
        {.name = "local", .port = server.account().port, .user = "alice", .password = "secret"});

    Tfb& frame = OpenSite("local");

    EXPECT_EQ(TabImage(frame), 1);
    EXPECT_EQ(Tfb::ImageOf(*frame.ToolButton17), 3);
    EXPECT_TRUE(frame.ToolButton3->isEnabled());
    EXPECT_TRUE(form_->ToolButton35->isEnabled());
    ExpectBrowsing(frame, true);
    EXPECT_TRUE(frame.Timer2->isActive());
    EXPECT_FALSE(frame.Timer1->isActive());
    const std::vector<LogRow> log = LogOf(frame);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), (LogRow{"Connecting 127.0.0.1", 0}));
    EXPECT_TRUE(ReceivedStartingWith(frame, "220"));
    EXPECT_TRUE(HasRow(frame, {"USER alice", 0}));
    EXPECT_TRUE(HasRow(frame, {"PASS secret", 0}));
    EXPECT_TRUE(ReceivedStartingWith(frame, "230"));
    EXPECT_TRUE(HasRow(frame, {"LIST", 0}));
    for (const LogRow& row : log)
        EXPECT_NE(row.icon, 2) << row.text;
    EXPECT_EQ(frame.FCurrentDir, "/");
    EXPECT_EQ(frame.FStartDir, "/");
    // Folders first: the list is sorted by type.
    EXPECT_EQ(Names(frame), (std::vector<std::string>{"pub", "hello.txt"}));
    EXPECT_EQ(frame.RemoteItems->RowCount(), 2);
    EXPECT_EQ(frame.RemoteItems->Item(1).subItems.at(0), "1KB");
}

TEST_F(PageConnect, ASiteBehindMicrosocksWithUserAndPasswordConnects) {
    ftptest::PyftpdlibServer server("alice", "secret");
    std::ofstream(server.account().local_folder + "via-socks.txt") << "x";
    ftptest::MicrosocksServer socks("sockuser", "sockpass");
    AddSocks("proxy5", "Socks5", socks.port(), "sockuser", "sockpass");
    AddServerSite({.name = "socks",
                   .port = server.account().port,
                   .user = "alice",
                   .password = "secret",
                   .socks = "proxy5"});

    Tfb& frame = OpenSite("socks");

    EXPECT_EQ(TabImage(frame), 1);
    EXPECT_EQ(frame.IdSocksInfo1.Version, ftp::TSocksVersion::svSocks5);
    EXPECT_EQ(frame.IdSocksInfo1.Authentication, ftp::TSocksAuthentication::saUsernamePassword);
    EXPECT_EQ(Names(frame), std::vector<std::string>{"via-socks.txt"});
}

TEST_F(PageConnect, EachProxyTypeLogsInThroughTheScriptedProxyAndLists) {
    for (const ProxyLoginCase& c : kProxyLoginCases) {
        SCOPED_TRACE(c.typeName);
        ftptest::ScriptedServer proxy(ftptest::ScriptedServer::Mode::kFtp, ProxyScript());
        const std::string name = std::string("behind ") + c.typeName;
        AddProxy(name, c.typeName, proxy.port(), "puser", "ppass");
        // The site's own address is never dialled: only the proxy is.
        AddServerSite({.name = name,
                       .address = "127.0.0.9",
                       .port = 2121,
                       .user = "alice",
                       .password = "secret",
                       .proxy = name});

        Tfb& frame = OpenSite(name);

        EXPECT_EQ(TabImage(frame), 1);
        ExpectProxyLoginAndList(proxy.Recorded(), c.login);
        EXPECT_EQ(Names(frame), std::vector<std::string>{"a.txt"});
        form_->CloseActivePage();
    }
}

// nor counts every attempt, the first included: with 3 and a delay of 1 s the first error line
// has no count, the retries count (1) and (2), and the third tick halts; with 1 the first tick
// halts. The latest access is stamped although no connect succeeds.
TEST_F(PageConnect, FailedConnectsRetryWithTheirCountsAndHaltAfterTheAttempts) {
    ftptest::PyftpdlibServer server("alice", "secret");
    const LogRow connecting{"Connecting 127.0.0.1", 0};
    const LogRow first{"Error occured,wait 1 second for retry", 2};
    const std::vector<LogRow> threeAttempts = {
        connecting,  first,
        connecting,  {"Error occured,wait 1 second for retry. (1)", 2},
        connecting,  {"Error occured,wait 1 second for retry. (2)", 2},
        {kHalted, 2}};
    struct Case {
        const char* name;
        int port;
        const char* password;
        int nor;
        std::vector<LogRow> rows;
    };
    const Case cases[] = {
        {"nothing listens", ftptest::FreeLoopbackPort(), "secret", 3, threeAttempts},
        {"wrong password", server.account().port, "wrong", 3, threeAttempts},
        {"one attempt",
         ftptest::FreeLoopbackPort(),
         "secret",
         1,
         {connecting, first, {kHalted, 2}}}};
    const FixedClock clock({2026, 12, 10, 10, 11, 12, 0});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AddServerSite({.name = c.name,
                       .port = c.port,
                       .user = "alice",
                       .password = c.password,
                       .nor = c.nor,
                       .rd = 1});
        Tfb& frame = OpenSite(c.name);
        EXPECT_EQ(SiteColumn(c.name, "zdate"), "2026-12-10 10:11:12");
        EXPECT_TRUE(frame.Timer1->isActive());
        ASSERT_TRUE(WaitUntil([&] { return HasRow(frame, {kHalted, 2}); }, 60));
        EXPECT_FALSE(frame.Timer1->isActive());
        EXPECT_EQ(ConnectRows(frame), c.rows);
        EXPECT_EQ(TabImage(frame), 0);
        ExpectBrowsing(frame, false);
    }
}

// A delay of 0 gives no retry ticks, as a timer without interval never fires.
TEST_F(PageConnect, WithoutARetryDelayAFailedConnectIsNotRetried) {
    AddServerSite({.name = "no delay", .port = ftptest::FreeLoopbackPort(), .rd = 0});
    Tfb& frame = OpenSite("no delay");
    EXPECT_EQ(ConnectRows(frame),
              (std::vector<LogRow>{{"Connecting 127.0.0.1", 0},
                                   {"Error occured,wait 0 second for retry", 2}}));
    EXPECT_FALSE(frame.Timer1->isActive());
}

TEST_F(PageConnect, WithoutALimitOfAttemptsThePageRetriesUntilItIsStopped) {
    AddServerSite({.name = "endless", .port = ftptest::FreeLoopbackPort(), .nor = 0, .rd = 1});
    Tfb& frame = OpenSite("endless");
    ASSERT_TRUE(WaitUntil(
        [&] {
            return HasRow(frame, {"Error occured,wait 1 second for retry. (3)", 2});
        },
        60));
    EXPECT_FALSE(HasRow(frame, {kHalted, 2}));
    EXPECT_TRUE(frame.Timer1->isActive());
    form_->CloseActivePage();
    EXPECT_FALSE(frame.Timer1->isActive());
}

TEST_F(PageConnect, TheDefaultFolderIsEnteredOrReportedMissingAndTheLoginFolderListed) {
    ftptest::PyftpdlibServer server("alice", "secret");
    std::filesystem::create_directory(server.account().local_folder + "sub");
    std::ofstream(server.account().local_folder + "sub/inner.txt") << "x";
    std::ofstream(server.account().local_folder + "top.txt") << "x";
    struct Case {
        const char* defaultPath;
        bool missing;
        const char* folder;
        std::vector<std::string> names;
    };
    const Case cases[] = {{"/missing", true, "/", {"sub", "top.txt"}},
                          {"/", false, "/", {"sub", "top.txt"}},
                          {"", false, "/", {"sub", "top.txt"}},
                          {"/sub", false, "/sub", {"inner.txt"}}};
    int number = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.defaultPath);
        const std::string name = "site" + std::to_string(++number);
        AddServerSite({.name = name,
                       .port = server.account().port,
                       .user = "alice",
                       .password = "secret",
                       .defaultpath = c.defaultPath});
        ui::ScriptedUi boxes(ui::GtestFailure());  // no box unless one is scripted
        if (c.missing)
            boxes.AnswerMessage(ui::mrOk);
        Tfb& frame = OpenSite(name);
        if (c.missing) {
            ASSERT_EQ(boxes.Calls().size(), 1u);
            EXPECT_EQ(boxes.Calls()[0].kind, ui::MessageKind::kError);
            EXPECT_EQ(boxes.Calls()[0].text,
                      "The default folder was not existed, the program will change to root "
                      "automactically.");
        }
        EXPECT_EQ(frame.FCurrentDir, c.folder);
        EXPECT_EQ(frame.FStartDir, c.folder);
        EXPECT_EQ(Names(frame), c.names);
        EXPECT_EQ(TabImage(frame), 1);
        ExpectBrowsing(frame, true);
    }
}

TEST_F(PageConnect, TheToggleDisconnectsAndConnectsAgain) {
    ftptest::PyftpdlibServer server("alice", "secret");
    std::ofstream(server.account().local_folder + "a.txt") << "x";
    AddServerSite(
        {.name = "local", .port = server.account().port, .user = "alice", .password = "secret"});
    Tfb& frame = OpenSite("local");
    ASSERT_EQ(TabImage(frame), 1);

    frame.ToolButton17->click();
    EXPECT_EQ(LogOf(frame).back(), (LogRow{"Disconnected from server.", 2}));
    EXPECT_EQ(TabImage(frame), 0);
    EXPECT_EQ(Tfb::ImageOf(*frame.ToolButton17), 15);
    EXPECT_FALSE(frame.ToolButton3->isEnabled());
    EXPECT_FALSE(form_->ToolButton35->isEnabled());
    EXPECT_FALSE(frame.Connected());
    EXPECT_TRUE(frame.FDisplayList.empty());
    EXPECT_TRUE(frame.FDirCache.empty());
    EXPECT_EQ(frame.RemoteItems->RowCount(), 0);
    ExpectBrowsing(frame, false);

    frame.ToolButton17->click();
    EXPECT_EQ(TabImage(frame), 1);
    EXPECT_EQ(Tfb::ImageOf(*frame.ToolButton17), 3);
    EXPECT_TRUE(frame.ToolButton3->isEnabled());
    EXPECT_TRUE(form_->ToolButton35->isEnabled());
    EXPECT_EQ(Names(frame), std::vector<std::string>{"a.txt"});
    EXPECT_EQ(CountRows(frame, "Connecting 127.0.0.1"), 2);
    ExpectBrowsing(frame, true);
}

// Abort on an idle page: its reconnect finds the connection still open, which the component
// refuses and closes, so the page ends disconnected with its old listing still shown.
TEST_F(PageConnect, AbortOnAnIdleConnectedPageLeavesItDisconnectedWithItsListing) {
    ftptest::PyftpdlibServer server("alice", "secret");
    std::ofstream(server.account().local_folder + "a.txt") << "x";
    AddServerSite(
        {.name = "local", .port = server.account().port, .user = "alice", .password = "secret"});
    Tfb& frame = OpenSite("local");
    ASSERT_EQ(TabImage(frame), 1);

    frame.ToolButton3->click();

    EXPECT_FALSE(frame.Connected());
    EXPECT_EQ(TabImage(frame), 0);
    ExpectBrowsing(frame, false);
    EXPECT_FALSE(frame.Timer2->isActive());
    EXPECT_EQ(Names(frame), std::vector<std::string>{"a.txt"});
    EXPECT_EQ(frame.RemoteItems->RowCount(), 1);
    EXPECT_EQ(Tfb::ImageOf(*frame.ToolButton17), 3);
    EXPECT_TRUE(HasRow(frame, {"ABOR", 0}));
}

TEST_F(PageConnect, AServerThatClosesTheConnectionLeavesThePageDisconnected) {
    ftptest::ScriptedServer server(ftptest::ScriptedServer::Mode::kFtp, std::string(R"({"rules": [
        {"expect": "LIST", "reply": ["150 Listing", {"data_send": "-rw-r--r-- 1 u g 5 Jan 02 2026 a.txt\r\n"}, {"data_close": true}, "226 Done", {"delay": 0.5}, "421 Idle time-out", {"close": true}]},)") +
                                                                            kServeRootRules + "]}");
    AddServerSite({.name = "idle", .port = server.port(), .user = "u", .password = "p"});
    Tfb& frame = OpenSite("idle");
    ASSERT_EQ(Names(frame), std::vector<std::string>{"a.txt"});
    EXPECT_TRUE(frame.Timer2->isActive());

    // The anti-idle tick asks the component, which finds the server gone.
    ASSERT_TRUE(WaitUntil([&] { return TabImage(frame) == 0; }));
    EXPECT_FALSE(frame.Connected());
    EXPECT_FALSE(frame.Timer2->isActive());
    ExpectBrowsing(frame, false);
    EXPECT_TRUE(ReceivedStartingWith(frame, "421"));
}

// Logged in, but the login folder cannot be listed: the page says why and stays usable.
TEST_F(PageConnect, AListingThatFailsAfterTheLoginLeavesThePageUsable) {
    ftptest::ScriptedServer server(
        ftptest::ScriptedServer::Mode::kFtp,
        std::string(R"({"rules": [{"expect": "LIST", "reply": "550 Listing refused"},)") +
            kServeRootRules + "]}");
    AddServerSite({.name = "refusing", .port = server.port(), .user = "u", .password = "p"});
    Tfb& frame = OpenSite("refusing");

    EXPECT_TRUE(HasRow(frame, {"Listing refused", 2}));
    EXPECT_TRUE(frame.Connected());
    EXPECT_EQ(TabImage(frame), 1);
    EXPECT_TRUE(frame.ToolButton3->isEnabled());
    EXPECT_TRUE(frame.Timer2->isActive());
    ExpectBrowsing(frame, true);
    EXPECT_TRUE(frame.FDisplayList.empty());
    EXPECT_EQ(form_->LastErrorText(), "");
}

// A retry tick waits for its connect while the timer keeps ticking and the user clicks the
// toggle: neither starts a second connect.
TEST_F(PageConnect, NoSecondConnectStartsWhileAConnectOfThePageWaits) {
    ftptest::ScriptedServer server(ftptest::ScriptedServer::Mode::kFtp,
                                   std::string(R"({"sessions": [
        {"greeting": [{"close": true}]},
        {"greeting": [{"delay": 3}, "220 Late but ready"], "rules": [)") +
                                       kServeRootRules + "]}]}");
    AddServerSite({.name = "slow", .port = server.port(), .user = "u", .password = "p", .rd = 1});
    Tfb& page = OpenSite("slow");  // the first connect fails: the retry timer takes over
    bool clicked = false;
    bool scheduled = false;
    // Inside the retry's wait (its connecting line has just been logged), as the user would.
    const QMetaObject::Connection watch =
        QObject::connect(page.InfoItems, &QAbstractItemModel::rowsInserted, [&] {
            if (scheduled || LogOf(page).back().text != "Connecting 127.0.0.1")
                return;
            scheduled = true;
            QTimer::singleShot(0, [&] {
                page.ToolButton17->click();
                clicked = true;
            });
        });
    ASSERT_TRUE(WaitUntil([&] { return TabImage(page) == 1; }, 30));
    QObject::disconnect(watch);

    EXPECT_TRUE(clicked);
    EXPECT_EQ(page.FRetryCount, 1);
    EXPECT_EQ(page.ConnectCount(), 2);  // the toggle's ConnectSite came and did nothing
    EXPECT_EQ(ConnectRows(page), (std::vector<LogRow>{{"Connecting 127.0.0.1", 0},
                                                      {"Error occured,wait 1 second for retry", 2},
                                                      {"Connecting 127.0.0.1", 0}}));
    EXPECT_FALSE(page.Timer1->isActive());
    EXPECT_EQ(Tfb::ImageOf(*page.ToolButton17), 3);
    EXPECT_EQ(Names(page), std::vector<std::string>{"a.txt"});
}

// The user disconnects while the page's connect waits for the server: the connect ends
// without an error line and without the retry timer.
TEST_F(PageConnect, ADisconnectDuringAPendingConnectEndsItWithoutRetry) {
    ftptest::ScriptedServer server(
        ftptest::ScriptedServer::Mode::kFtp, std::string(R"({"sessions": [
        {"rules": [)") + kServeRootRules + R"(]},
        {"greeting": [{"delay": 3}, "220 Late"], "rules": [)" +
                                                 kServeRootRules + "]}]}");
    AddServerSite({.name = "late", .port = server.port(), .user = "u", .password = "p"});
    Tfb& frame = OpenSite("late");
    ASSERT_EQ(TabImage(frame), 1);
    frame.ToolButton17->click();  // disconnect
    ASSERT_EQ(Tfb::ImageOf(*frame.ToolButton17), 15);

    bool scheduled = false;
    const QMetaObject::Connection watch =
        QObject::connect(frame.InfoItems, &QAbstractItemModel::rowsInserted, [&] {
            if (scheduled || LogOf(frame).back().text != "Connecting 127.0.0.1")
                return;
            scheduled = true;
            QTimer::singleShot(0, [&] { frame.ToolButton17->click(); });  // image 3 by now
        });
    frame.ToolButton17->click();  // connect; the second click comes inside its wait
    QObject::disconnect(watch);

    ASSERT_TRUE(scheduled);
    EXPECT_EQ(TabImage(frame), 0);
    EXPECT_EQ(Tfb::ImageOf(*frame.ToolButton17), 15);
    EXPECT_FALSE(frame.Timer1->isActive());
    EXPECT_FALSE(frame.Connected());
    ExpectBrowsing(frame, false);
    EXPECT_EQ(ConnectRows(frame), (std::vector<LogRow>{{"Connecting 127.0.0.1", 0},
                                                       {"Disconnected from server.", 2},
                                                       {"Connecting 127.0.0.1", 0},
                                                       {"Disconnected from server.", 2}}));
}

// A quick connection reads the quick-connect dialog's server; reconnected with its own toggle,
// the page looks its name up among the stored sites.
TEST_F(PageConnect, AQuickConnectionPageConnectsAndItsToggleLooksUpAStoredSite) {
    ftptest::PyftpdlibServer server("alice", "secret");
    std::ofstream(server.account().local_folder + "q.txt") << "x";
    TQuickConnectTarget target;
    target.host = "127.0.0.1";
    target.port = server.account().port;
    target.user = "alice";
    target.password = "secret";
    target.passive = true;
    TForm1& form = ShowForm();
    {
        const TScopedQuickConnectTarget dialogOpen(target);
        form.OpenSitePage("127.0.0.1", true);
    }
    Tfb& frame = *form.ActiveFrame();
    EXPECT_EQ(TabImage(frame), 1);
    EXPECT_EQ(frame.FSite.nor, 20);
    EXPECT_EQ(frame.FSite.rd, 10000);
    EXPECT_EQ(frame.FSite.timeout, 30000);
    EXPECT_EQ(Names(frame), std::vector<std::string>{"q.txt"});

    frame.ToolButton17->click();
    ui::ScriptedUi boxes(ui::GtestFailure());
    boxes.AnswerMessage(ui::mrOk);
    frame.ToolButton17->click();
    ASSERT_EQ(boxes.Calls().size(), 1u);
    EXPECT_EQ(boxes.Calls()[0].text, "Can not read the information of the FTP site.");
    EXPECT_EQ(TabImage(frame), 0);
    EXPECT_FALSE(frame.Timer1->isActive());
}

// The page is closed while its connect waits and opened again at once: the stopped connect
// returns quietly, and the page opened again connects once it has.
TEST_F(PageConnect, APageClosedAndOpenedAgainDuringItsConnectConnectsAfterIt) {
    ftptest::ScriptedServer server(
        ftptest::ScriptedServer::Mode::kFtp, std::string(R"({"sessions": [
        {"greeting": [{"delay": 3}, "220 Late"], "rules": [)") +
                                                 kServeRootRules + R"(]},
        {"rules": [)" + kServeRootRules + "]}]}");
    AddServerSite({.name = "reopened", .port = server.port(), .user = "u", .password = "p"});
    TForm1& form = ShowForm();
    bool reopened = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        // Inside the first connect's wait (its connecting line is logged), as the user would
        // close the page and double-click the site again.
        Tfb* waiting = form.ActiveFrame();
        if (reopened || waiting == nullptr || !HasRow(*waiting, {"Connecting 127.0.0.1", 0}))
            return;
        reopened = true;
        form.CloseActivePage();
        form.OpenSitePage("reopened", false);
    });
    poll.start(20);
    Tfb& frame = OpenSite("reopened");
    poll.stop();
    ASSERT_TRUE(reopened);
    EXPECT_EQ(CountRows(frame, "220 Late"), 0);  // the first connect returned quietly
    ASSERT_TRUE(WaitUntil([&] { return TabImage(frame) == 1; }, 30));
    EXPECT_FALSE(frame.Closed());
    EXPECT_EQ(Names(frame), std::vector<std::string>{"a.txt"});
    EXPECT_FALSE(frame.Timer1->isActive());
    for (const LogRow& row : LogOf(frame))
        EXPECT_NE(row.icon, 2) << row.text;
}

// Abort may cut into an exchange that waits for its reply: ABOR goes out, the reconnect finds
// the connection open and the component closes it, so the waiting call fails and the page
// ends disconnected.
TEST_F(PageConnect, AbortCutsIntoAListingThatWaitsForItsReply) {
    ftptest::ScriptedServer server(ftptest::ScriptedServer::Mode::kFtp, std::string(R"({
      "steps": [
        {"expect": "LIST", "reply": ["150 Listing", {"data_send": "-rw-r--r-- 1 u g 5 Jan 02 2026 a.txt\r\n"}, "226 Done"]},
        {"expect": "LIST", "reply": ["150 Listing", {"delay": 5}, "226 Done"]}
      ],
      "rules": [)") + kServeRootRules + "]}");
    AddServerSite({.name = "abort", .port = server.port(), .user = "u", .password = "p"});
    Tfb& frame = OpenSite("abort");
    ASSERT_EQ(TabImage(frame), 1);
    ASSERT_TRUE(frame.ToolButton3->isEnabled());

    bool scheduled = false;
    const QMetaObject::Connection watch =
        QObject::connect(frame.InfoItems, &QAbstractItemModel::rowsInserted, [&] {
            if (scheduled || LogOf(frame).back() != LogRow{"150 Listing", 1})
                return;
            scheduled = true;
            QTimer::singleShot(0, [&] { frame.ToolButton3->click(); });
        });
    {
        auto exchange = frame.Session().Guard().TryBegin();
        ASSERT_TRUE(exchange);
        EXPECT_THROW(frame.ChangeDirAndList("/"), ftp::EIdException);
    }
    QObject::disconnect(watch);

    ASSERT_TRUE(scheduled);
    EXPECT_TRUE(HasRow(frame, {"ABOR", 0}));
    EXPECT_FALSE(frame.Connected());
    EXPECT_EQ(TabImage(frame), 0);
    ExpectBrowsing(frame, false);
    EXPECT_FALSE(frame.Timer2->isActive());
}

}  // namespace
}  // namespace pagetest
