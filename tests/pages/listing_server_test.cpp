// A page's remote listing, folder cache and navigation against real servers: pyftpdlib for
// real folders, the scripted server for exact listings and failing replies.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "connection/page_session.h"
#include "platform/ui/list_view.h"
#include "platform/ui/message_pump.h"
#include "platform/ui/owner_data_model.h"
#include "platform/ui/shell_type_name.h"
#include "platform/ui/testing/qt_test_environment.h"
#include "tests/ftp_servers/scripted_login.h"
#include "tests/ftp_servers/server_fixture.h"
#include "tests/pages/listing_page_rig.h"

namespace pagetest {
namespace {

using ftptest::FtpAccount;
using ftptest::PyftpdlibServer;
using ftptest::ScriptedServer;

void WriteBytes(const std::string& path, std::size_t count) {
    std::ofstream(path, std::ios::binary) << std::string(count, 'x');
}

// pyftpdlib over a folder with two folders, files of 0, 1536 and 2560 bytes, a sparse file of
// 3 GB and a link to a folder.
class PyftpdlibListing : public ::testing::Test {
  protected:
    PyftpdlibListing() : server_("alice", "secret") {
        const std::string root = server_.account().local_folder;
        ::mkdir((root + "sub1").c_str(), 0755);
        ::mkdir((root + "sub2").c_str(), 0755);
        WriteBytes(root + "sub1/inner.txt", 10);
        WriteBytes(root + "empty.txt", 0);
        WriteBytes(root + "a1536.bin", 1536);
        WriteBytes(root + "a2560.bin", 2560);
        { std::ofstream(root + "big.iso"); }
        EXPECT_EQ(::truncate((root + "big.iso").c_str(), 3LL << 30), 0);
        EXPECT_EQ(::symlink((root + "sub2").c_str(), (root + "tosub2").c_str()), 0);
    }

    const FtpAccount& account() const { return server_.account(); }

    PyftpdlibServer server_;
};

TEST_F(PyftpdlibListing, TheLoginFolderBecomesDisplayAndCacheEntries) {
    ListingPage rig(account(), false);
    rig.Connect();
    Tfb& page = rig.page();
    EXPECT_EQ(page.FCurrentDir, "/");
    ASSERT_EQ(page.FDisplayList.size(), 7u);
    ASSERT_EQ(page.FDirCache.size(), 7u);
    EXPECT_EQ(page.RemoteItems->RowCount(), 7);
    // Sorted by type: the two folders first.
    EXPECT_EQ(page.FDisplayList[0].typetext, "Folder");
    EXPECT_EQ(page.FDisplayList[1].typetext, "Folder");
    struct Case {
        const char* name;
        const char* sizetext;
        std::int64_t size;
        int isfile;
        char kind;  // first character of attr
    };
    const Case cases[] = {
        {"sub1", "", 0, 0, 'd'},
        {"sub2", "", 0, 0, 'd'},
        {"empty.txt", "1KB", 0, 1, '-'},
        {"a1536.bin", "2KB", 1536, 1, '-'},
        {"a2560.bin", "2KB", 2560, 1, '-'},
        {"big.iso", "3145728KB", 3LL << 30, 1, '-'},
        // A link to a folder is a file; it shows the link's own size.
        {"tosub2", nullptr, -1, 1, '-'},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int row = rig.RowOf(c.name);
        ASSERT_GE(row, 0);
        const rdatalist& entry = page.FDisplayList[static_cast<std::size_t>(row)];
        EXPECT_EQ(entry.isfile, c.isfile);
        if (c.sizetext != nullptr) {
            EXPECT_EQ(entry.sizetext, c.sizetext);
            EXPECT_EQ(entry.size, c.size);
        }
        EXPECT_EQ(entry.attr.substr(0, 1), std::string(1, c.kind));
        EXPECT_EQ(entry.shelltype.empty(), c.isfile == 0);
        EXPECT_EQ(entry.typetext, c.isfile == 0 ? "Folder" : ui::ShellTypeName(c.name));
        EXPECT_TRUE(entry.folder.empty());
        // The cache entry of the same name: keyed by the reported folder, size in bytes.
        bool cached = false;
        for (const rdatalist& entry2 : page.FDirCache) {
            if (entry2.name != c.name)
                continue;
            cached = true;
            EXPECT_EQ(entry2.folder, "/");
            EXPECT_EQ(entry2.typetext, c.isfile == 0 ? "Folder" : "");
            EXPECT_EQ(entry2.isfile, 0);
            EXPECT_EQ(entry2.size, 0);
            EXPECT_EQ(entry2.modified, entry.modified);
            if (c.size >= 0 && c.isfile == 1) {
                EXPECT_EQ(entry2.sizetext, std::to_string(c.size));
            }
        }
        EXPECT_TRUE(cached);
        // The row as the list shows it.
        const ui::OwnerDataItem item = page.RemoteItems->Item(row);
        EXPECT_EQ(item.caption, c.name);
        EXPECT_EQ(item.imageIndex, c.isfile);
        ASSERT_EQ(item.subItems.size(), 4u);
        EXPECT_EQ(item.subItems[0], entry.sizetext);
        EXPECT_EQ(item.subItems[3], entry.attr + entry.grpperm + entry.othperm);
    }
    // The link cannot be entered, nor can a file: nothing is sent.
    rig.ClearSent();
    rig.DoubleClick("tosub2");
    rig.DoubleClick("empty.txt");
    EXPECT_TRUE(rig.Sent().empty());
    EXPECT_EQ(page.FCurrentDir, "/");
}

// Auto-refresh off: entering a folder lists it once; Back and entering it again show the
// cache; Refresh always lists.
TEST_F(PyftpdlibListing, WithoutAutoRefreshAFolderIsListedOnlyOnce) {
    ListingPage rig(account(), false);
    rig.Connect();
    Tfb& page = rig.page();
    rig.ClearSent();

    rig.DoubleClick("sub1");
    EXPECT_EQ(page.FCurrentDir, "/sub1");
    EXPECT_EQ(rig.Names(), std::vector<std::string>{"inner.txt"});
    rig.page().ToolButton1->click();  // Back
    EXPECT_EQ(page.FCurrentDir, "/");
    EXPECT_EQ(rig.Names().size(), 7u);
    rig.DoubleClick("sub1");
    EXPECT_EQ(page.FCurrentDir, "/sub1");
    EXPECT_EQ(rig.Names(), std::vector<std::string>{"inner.txt"});
    EXPECT_EQ(rig.SentWithPrefix("LIST"), 1);
    EXPECT_EQ(rig.SentWithPrefix("CWD sub1"), 2);
    EXPECT_EQ(rig.SentWithPrefix("CWD .."), 1);
    EXPECT_GE(rig.SentWithPrefix("PWD"), 3);
    // The cache holds each folder once.
    EXPECT_EQ(page.FDirCache.size(), 8u);

    // Refresh lists every time, and replaces the folder's cache entries.
    rig.ClearSent();
    WriteBytes(account().local_folder + "sub1/new.txt", 5);
    page.ToolButton2->click();
    page.Refresh1->trigger();
    EXPECT_EQ(rig.SentWithPrefix("LIST"), 2);
    EXPECT_EQ(rig.Names().size(), 2u);
    EXPECT_EQ(page.FDirCache.size(), 9u);
    // The controls are on again and nothing is selected.
    EXPECT_TRUE(page.ToolButton1->isEnabled());
    EXPECT_TRUE(page.ListView2->SelectedRows().empty());
    EXPECT_FALSE(page.ToolButton5->isEnabled());
}

// Auto-refresh on: every navigation sends CWD, PWD and LIST; TYPE A only when the type changes.
TEST_F(PyftpdlibListing, WithAutoRefreshEveryNavigationLists) {
    ListingPage rig(account(), true);
    rig.Connect();
    Tfb& page = rig.page();
    rig.ClearSent();
    rig.DoubleClick("sub1");
    page.ToolButton1Click();
    rig.DoubleClick("sub1");
    const std::vector<std::string> expected = {"CWD sub1", "PWD", "PASV", "LIST",
                                               "CWD ..",   "PWD", "PASV", "LIST",
                                               "CWD sub1", "PWD", "PASV", "LIST"};
    EXPECT_EQ(rig.Sent(), expected);
    EXPECT_EQ(page.FCurrentDir, "/sub1");

    // After a binary transfer type the next listing sets ASCII again.
    {
        auto exchange = page.Session().Guard().TryBegin();
        page.IdFTP1.SetTransferType(ftp::TIdFTPTransferType::ftBinary);
    }
    rig.ClearSent();
    page.ToolButton2Click();
    EXPECT_EQ(rig.Sent(), (std::vector<std::string>{"CWD /sub1", "TYPE A", "PWD", "PASV", "LIST"}));
}

// A default folder given with a trailing slash is cached under the form PWD reports, so
// entering it again later finds the cache.
TEST_F(PyftpdlibListing, AFolderIsCachedUnderTheFormTheServerReports) {
    ListingPage rig(account(), false);
    rig.Connect("/sub1/");
    Tfb& page = rig.page();
    EXPECT_EQ(page.FCurrentDir, "/sub1");
    ASSERT_FALSE(page.FDirCache.empty());
    for (const rdatalist& entry : page.FDirCache)
        EXPECT_EQ(entry.folder, "/sub1");
    page.ToolButton1Click();
    rig.ClearSent();
    rig.DoubleClick("sub1");
    EXPECT_EQ(rig.SentWithPrefix("LIST"), 0);
    EXPECT_EQ(rig.Names(), std::vector<std::string>{"inner.txt"});
}

// A name goes to the server only while it is in the page's folder: after a run moved it
// without telling, the page changes back first.
TEST_F(PyftpdlibListing, ANameIsSentOnlyFromThePagesFolder) {
    ListingPage rig(account(), false);
    rig.Connect();
    Tfb& page = rig.page();
    {
        auto exchange = page.Session().Guard().TryBegin();
        page.Session().ChangeDir("/sub2");
    }
    rig.ClearSent();
    rig.DoubleClick("sub1");
    const std::vector<std::string> sent = rig.Sent();
    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ(sent[0], "CWD /");
    EXPECT_EQ(sent[1], "CWD sub1");
    EXPECT_EQ(page.FCurrentDir, "/sub1");
}

// A navigation asked for while an exchange of the page waits runs after it, from the event
// loop, never on top of it.
TEST_F(PyftpdlibListing, ANavigationDuringAnExchangeWaitsItsTurn) {
    ListingPage rig(account(), false);
    rig.Connect();
    Tfb& page = rig.page();
    rig.ClearSent();
    {
        auto exchange = page.Session().Guard().TryBegin();
        rig.DoubleClick("sub1");
        EXPECT_TRUE(rig.Sent().empty());
        EXPECT_EQ(page.Session().Guard().Deferred(), 1u);
    }
    EXPECT_TRUE(rig.Sent().empty());
    for (int turn = 0; turn < 100 && page.FCurrentDir != "/sub1"; ++turn)
        ui::ProcessMessages();
    EXPECT_EQ(page.FCurrentDir, "/sub1");
    EXPECT_EQ(rig.Names(), std::vector<std::string>{"inner.txt"});
}

// ---- the scripted server ----

std::string Script(const std::string& steps, const std::string& rules = "") {
    return std::string(R"({"builtin_data": true, "steps": [)") + steps + R"(], "rules": [)" +
           ftptest::kLoginRules + (rules.empty() ? "" : ", " + rules) + "]}";
}

FtpAccount At(const ScriptedServer& server) {
    return FtpAccount{"127.0.0.1", server.port(), "alice", "secret", "/", ""};
}

std::string Listing(const std::string& lines) {
    return R"(["150 Here it comes", {"data_send": ")" + lines + R"("}, "226 Done"])";
}

const char* const kRootListing = R"(drwxr-xr-x 2 ann staff 4096 Jan 02 2024 .\r\n)"
                                 R"(drwxr-xr-x 9 ann staff 4096 Jan 02 2024 ..\r\n)"
                                 R"(drwxr-x--- 2 ann staff 4096 Mar 04 2024 docs\r\n)"
                                 R"(drwxr-xr-x 2 bob users 4096 Mar 05 2024 pub\r\n)"
                                 R"(-rw-r--r-- 1 ann staff 0 Mar 06 2024 empty.txt\r\n)";

std::string RootSteps() {
    return std::string(R"({"expect": "CWD /", "reply": "250 Ok"},
                          {"expect": "TYPE A", "reply": "200 Type set"},
                          {"expect": "PWD", "reply": "257 \"/\" is current"},
                          {"expect": "PASV", "reply": [{"pasv": true}]},
                          {"expect": "LIST", "reply": )") +
           Listing(kRootListing) + "}";
}

TEST(ScriptedListing, DotAndDotDotNeverBecomeEntries) {
    ScriptedServer server(ScriptedServer::Mode::kFtp, Script(RootSteps()));
    ListingPage rig(At(server), false);
    rig.Connect("/");
    Tfb& page = rig.page();
    ASSERT_EQ(page.FDisplayList.size(), 3u);
    ASSERT_EQ(page.FDirCache.size(), 3u);
    EXPECT_EQ(rig.Names(), (std::vector<std::string>{"docs", "pub", "empty.txt"}));
    const rdatalist& docs = page.FDisplayList[0];
    EXPECT_EQ(docs.attr, "drwx");
    EXPECT_EQ(docs.grpperm, "r-x");
    EXPECT_EQ(docs.othperm, "---");
    EXPECT_EQ(docs.owner, "ann");
    EXPECT_EQ(docs.group, "staff");
    EXPECT_EQ(docs.modified, "2024-03-04 00:00:00");
    const rdatalist& file = page.FDisplayList[2];
    EXPECT_EQ(file.sizetext, "1KB");
    EXPECT_EQ(file.attr, "-rw-");
    for (const rdatalist& cached : page.FDirCache) {
        EXPECT_EQ(cached.folder, "/");
        EXPECT_EQ(cached.isfile, 0);
    }
    EXPECT_EQ(page.FDirCache[2].sizetext, "0");
    EXPECT_EQ(page.FDirCache[0].sizetext, "4096");
}

// A name that is not UTF-8 goes back to the server as the bytes it came as; only the widget
// shows it converted.
TEST(ScriptedListing, NamesTravelAsTheServersBytes) {
    const std::string listing =
        R"(["150 Here it comes", {"data_send": "drwxr-xr-x 2 ann staff 4096 Mar 04 2024 caf\u00e9\r\n"}, "226 Done"])";
    const std::string steps =
        R"({"expect": "CWD /", "reply": "250 Ok"},
           {"expect": "TYPE A", "reply": "200 Type set"},
           {"expect": "PWD", "reply": "257 \"/\""},
           {"expect": "PASV", "reply": [{"pasv": true}]},
           {"expect": "LIST", "reply": )" +
        listing + R"(},
           {"expect": "CWD caf\u00e9", "reply": "250 Ok"},
           {"expect": "PWD", "reply": "257 \"/caf\u00e9\""},
           {"expect": "CWD /caf\u00e9", "reply": "250 Ok"},
           {"expect": "PWD", "reply": "257 \"/caf\u00e9\""},
           {"expect": "PASV", "reply": [{"pasv": true}]},
           {"expect": "LIST", "reply": ["150 Here it comes", {"data_send": ""}, "226 Done"]})";
    ScriptedServer server(ScriptedServer::Mode::kFtp, Script(steps));
    ListingPage rig(At(server), false);
    rig.Connect("/");
    Tfb& page = rig.page();
    ASSERT_EQ(rig.Names(), std::vector<std::string>{"caf\xE9"});
    const QString shown = page.RemoteItems->data(page.RemoteItems->index(0, 0)).toString();
    EXPECT_EQ(shown, QStringLiteral("caf\uFFFD"));
    rig.DoubleClick("caf\xE9");
    EXPECT_FALSE(rig.LoggedError());
    EXPECT_EQ(page.FCurrentDir, "/caf\xE9");
    const std::vector<std::string> sent = rig.Sent();
    EXPECT_NE(std::find(sent.begin(), sent.end(), "CWD caf\xE9"), sent.end());
}

// Lists emptied while a listing waits (the page was disconnected or closed) get nothing of it.
TEST(ScriptedListing, ListsEmptiedDuringAListingStayEmpty) {
    const std::string refresh = std::string(R"({"expect": "CWD /", "reply": "250 Ok"},
           {"expect": "PWD", "reply": "257 \"/\""},
           {"expect": "PASV", "reply": [{"pasv": true}]},
           {"expect": "LIST", "reply": ["150 Here it comes", {"delay": 0.3},
                                       {"data_send": ")") +
                                kRootListing + R"("}, "226 Done"]})";
    ScriptedServer server(ScriptedServer::Mode::kFtp, Script(RootSteps() + ", " + refresh));
    ListingPage rig(At(server), false);
    rig.Connect("/");
    Tfb& page = rig.page();
    ASSERT_EQ(page.FDisplayList.size(), 3u);
    bool cleared = false;
    // Runs at the first pump of the refresh's waits.
    QTimer::singleShot(0, &page, [&] {
        page.ClearRemoteLists();
        cleared = true;
    });
    page.ToolButton2Click();
    EXPECT_TRUE(cleared);
    EXPECT_TRUE(page.FDisplayList.empty());
    EXPECT_TRUE(page.FDirCache.empty());
    EXPECT_EQ(page.RemoteItems->RowCount(), 0);
    EXPECT_EQ(server.Recorded().back(), "LIST");
}

// A failed LIST, CWD or PWD while entering a folder: the error is logged, the list shows
// the display list as it is, nothing is selected, the controls are on again, and the page's
// folder is the one the server is in.
TEST(ScriptedListing, AFailedNavigationLeavesThePageUsable) {
    struct Case {
        const char* name;
        std::string steps;  // after the root listing and the double click on "pub"
        const char* folder;
    };
    const Case cases[] = {
        {"LIST fails",
         R"({"expect": "CWD pub", "reply": "250 Ok"},
            {"expect": "PWD", "reply": "257 \"/pub\""},
            {"expect": "CWD /pub", "reply": "250 Ok"},
            {"expect": "PWD", "reply": "257 \"/pub\""},
            {"expect": "PASV", "reply": [{"pasv": true}]},
            {"expect": "LIST", "reply": "550 Permission denied"})",
         "/pub"},
        {"CWD fails",
         R"({"expect": "CWD pub", "reply": "550 No such folder"},
            {"expect": "PWD", "reply": "257 \"/\""})",
         "/"},
        {"PWD fails after the CWD went through",
         R"({"expect": "CWD pub", "reply": "250 Ok"},
            {"expect": "PWD", "reply": "550 Cannot tell"},
            {"expect": "PWD", "reply": "257 \"/pub\""})",
         "/pub"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedServer server(ScriptedServer::Mode::kFtp, Script(RootSteps() + ", " + c.steps));
        ListingPage rig(At(server), false);
        rig.Connect("/");
        Tfb& page = rig.page();
        page.RemoteItems->SetRowCount(3);
        rig.DoubleClick("pub");
        EXPECT_TRUE(rig.LoggedError());
        EXPECT_EQ(page.RemoteItems->RowCount(), static_cast<int>(page.FDisplayList.size()));
        EXPECT_TRUE(page.ListView2->SelectedRows().empty());
        EXPECT_FALSE(page.ToolButton5->isEnabled());
        EXPECT_TRUE(page.ToolButton1->isEnabled());
        EXPECT_TRUE(page.ToolButton2->isEnabled());
        EXPECT_TRUE(static_cast<bool>(page.ListView2->OnDblClick));
        EXPECT_EQ(page.FCurrentDir, c.folder);
        EXPECT_TRUE(page.Connected());
        const std::vector<std::string> recorded = server.Recorded();
        ASSERT_FALSE(recorded.empty());
        EXPECT_NE(recorded.back().find(c.name[0] == 'L' ? "LIST" : "PWD"), std::string::npos);
    }
}

}  // namespace
}  // namespace pagetest
