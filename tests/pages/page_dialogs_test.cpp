// The dialogs as a user works them, each inside its real modal loop, with the main window and
// real servers on loopback: quick connect connects a page, a site made through the site,
// options, proxy and SOCKS dialogs connects through every kind of proxy, and the options
// dialog's OK gives an open page its new anti-idle commands.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QToolButton>

#include <algorithm>
#include <cstddef>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "dialogs/options_dialog.h"
#include "dialogs/proxy_dialog.h"
#include "dialogs/quick_connect_dialog.h"
#include "dialogs/site_dialog.h"
#include "dialogs/socks_dialog.h"
#include "mainwindow/banner_bar.h"
#include "platform/ftp/id_socks_info.h"
#include "platform/ui/integer_edit.h"
#include "platform/ui/list_view.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/spin_edit.h"
#include "platform/ui/testing/gtest_failure.h"
#include "platform/ui/testing/modal_driver.h"
#include "platform/ui/testing/scripted_ui.h"
#include "tests/ftp_servers/server_fixture.h"
#include "tests/pages/page_rig.h"

namespace pagetest {
namespace {

using ui::ClickButton;

const char* const kAliceLoggedIn = "USER 'alice' logged in.";

std::vector<std::string> Names(const Tfb& frame) {
    std::vector<std::string> names;
    for (const rdatalist& entry : frame.FDisplayList)
        names.push_back(entry.name);
    return names;
}

int Occurrences(const std::string& text, const std::string& part) {
    int count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

bool SentStartingWith(Tfb& frame, const std::string& prefix) {
    for (const LogRow& row : PageRig::LogOf(frame)) {
        if (row.icon == 0 && row.text.rfind(prefix, 0) == 0)
            return true;
    }
    return false;
}

void Select(QComboBox& list, const std::string& text) {
    const int index = list.findText(QString::fromStdString(text));
    if (index < 0)
        throw std::runtime_error("no entry \"" + text + "\" in " + list.objectName().toStdString());
    list.setCurrentIndex(index);
}

// A proxy (TForm5) or SOCKS entry (TForm7) as it is typed.
struct TypedEntry {
    bool socks = false;
    std::string name;
    std::string type;  // "Proxy Type" or "Socks Version"
    int port = 0;
    std::string user;
    std::string password;
};

class PageDialogs : public PageRig {
  protected:
    // The page of a site or quick connection that is open under that caption.
    Tfb& PageOf(const std::string& caption) {
        TTabSheet* sheet = form_->FindSitePage(caption);
        if (sheet == nullptr)
            throw std::runtime_error("no page for " + caption);
        return *form_->FindFrame(sheet->Tag());
    }

    // Double-clicks the site list's item with that caption.
    void DoubleClickSite(const std::string& caption) {
        for (int row = 0; row < form_->SiteCount(); ++row) {
            if (form_->SiteCaption(row) == caption) {
                form_->ListView1->Select(row);
                form_->ListView1DblClick();
                return;
            }
        }
        ADD_FAILURE() << "no site item " << caption;
    }

    // "NewFTPSite" makes a site with the login of alice; its advanced page's "Option..." opens
    // the options dialog, where "Add..." makes the entry; the site then uses that entry.
    void MakeSiteThroughTheDialogs(const std::string& name, const std::string& address, int port,
                                   const TypedEntry& entry) {
        driver_.Next([&](QDialog& dialog) {
            auto& site = static_cast<TForm4&>(dialog);
            ASSERT_TRUE(site.AddMode());
            site.Edit5->setText(QString::fromStdString(name));
            site.Edit1->setText(QString::fromStdString(address));
            site.Edit2->SetValue(port);
            site.Edit3->setText("alice");
            site.Edit4->setText("secret");
            site.PageControl1->setCurrentWidget(site.TabSheet2);
            driver_.Next([&](QDialog& options) { AddEntry(static_cast<TForm2&>(options), entry); });
            ClickButton(site, entry.socks ? "Button4" : "Button3");
            QComboBox& list = entry.socks ? *site.ComboBox2 : *site.ComboBox1;
            Select(list, entry.name);  // listed at once
            ClickButton(site, "Button1");
        });
        form_->ListView1->Select(0);  // "NewFTPSite"
        form_->ListView1DblClick();
    }

    void AddEntry(TForm2& options, const TypedEntry& entry) {
        EXPECT_EQ(options.PageControl1->currentIndex(), entry.socks ? 3 : 2);
        driver_.Next([&](QDialog& dialog) {
            if (entry.socks) {
                auto& socks = static_cast<TForm7&>(dialog);
                socks.Edit4->setText(QString::fromStdString(entry.name));
                socks.Edit1->setText("127.0.0.1");
                socks.Edit5->SetValue(entry.port);
                Select(*socks.ComboBox2, entry.type);
            } else {
                auto& proxy = static_cast<TForm5&>(dialog);
                proxy.Edit1->setText(QString::fromStdString(entry.name));
                proxy.Edit6->setText("127.0.0.1");
                proxy.Edit4->SetValue(entry.port);
                Select(*proxy.ComboBox1, entry.type);
            }
            auto& typed = static_cast<TEntryDialog&>(dialog);
            typed.CheckBox1->setChecked(!entry.user.empty());
            typed.Edit2->setText(QString::fromStdString(entry.user));
            typed.Edit3->setText(QString::fromStdString(entry.password));
            ClickButton(dialog, "Button1");
        });
        ClickButton(options, entry.socks ? "Button6" : "Button1");
        ClickButton(options, "Button3");
    }

    ui::ModalDriver driver_{ui::GtestFailure()};
    ui::ScriptedUi boxes_{ui::GtestFailure()};  // no message or input box unless scripted
};

// Each Connect opens (or brings forward) the page captioned with the typed server while the
// dialog is up; the page logs in with the dialog's values; `quickftp` keeps one row per exact
// server text with the values of its latest connection.
TEST_F(PageDialogs, QuickConnectConnectsAPageAndRemembersEachServerTextOnce) {
    ftptest::PyftpdlibServer server("alice", "secret");
    std::ofstream(server.account().local_folder + "q.txt") << "x";
    const int port = server.account().port;
    TForm1& form = ShowForm();
    struct Step {
        const char* server;
        bool typed;  // typed in full; otherwise picked from the remembered servers
        bool passive;
        std::vector<std::string> listed;  // the remembered servers the dialog offers
        std::vector<std::string> stored;  // `quickftp` afterwards
    };
    const Step steps[] = {
        {"127.0.0.1", true, true, {}, {"127.0.0.1"}},
        {"localhost", true, true, {"127.0.0.1"}, {"127.0.0.1", "localhost"}},
        // The page of the first server is closed; picked again, it connects in active mode.
        {"127.0.0.1", false, false, {"127.0.0.1", "localhost"}, {"127.0.0.1", "localhost"}},
    };
    int logins = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(std::string(step.server) + (step.passive ? " passive" : " active"));
        if (TTabSheet* open = form.FindSitePage(step.server)) {
            form.PageControl1->setCurrentWidget(open);
            form.CloseActivePage();
        }
        driver_.Next([&](QDialog& dialog) {
            auto& quick = static_cast<TForm15&>(dialog);
            std::vector<std::string> listed;
            for (int index = 0; index < quick.ComboBox1->count(); ++index)
                listed.push_back(quick.ComboBox1->itemText(index).toStdString());
            EXPECT_EQ(listed, step.listed);
            if (step.typed) {
                quick.ComboBox1->setEditText(step.server);
                quick.Edit2->SetValue(port);
                quick.Edit1->setText("alice");
                quick.Edit3->setText("secret");
            } else {
                Select(*quick.ComboBox1, step.server);
                EXPECT_EQ(quick.Edit2->Value(), port);  // filled from the remembered server
                EXPECT_EQ(quick.Edit3->text(), "secret");
            }
            quick.CheckBox1->setChecked(step.passive);
            ClickButton(quick, "Button3");
        });
        form.ToolButton37->click();
        ASSERT_EQ(driver_.Pending(), 0u);
        EXPECT_EQ(Form15, nullptr);

        Tfb& frame = PageOf(step.server);
        EXPECT_EQ(form.ActiveFrame(), &frame);
        EXPECT_EQ(TabImage(frame), 1);
        EXPECT_EQ(Names(frame), std::vector<std::string>{"q.txt"});
        EXPECT_TRUE(SentStartingWith(frame, step.passive ? "PASV" : "PORT "));
        EXPECT_EQ(Occurrences(mainwindow::testing::ReadBytes(server.LogPath()), kAliceLoggedIn),
                  ++logins);
        EXPECT_EQ(Column(*dm->Tquick, "ftp"), step.stored);
    }
    EXPECT_EQ(Column(*dm->Tquick, "pasv"), (std::vector<std::string>{"False", "True"}));
}

// A site made through the dialogs, with an FTP proxy of each type through the scripted proxy:
// the proxy's login sequence carries the site's login; the site's own address is never
// dialled.
TEST_F(PageDialogs, ASiteMadeThroughTheDialogsLogsInThroughEachProxyType) {
    ShowForm();
    for (const ProxyLoginCase& c : kProxyLoginCases) {
        SCOPED_TRACE(c.typeName);
        ftptest::ScriptedServer proxy(ftptest::ScriptedServer::Mode::kFtp, ProxyScript());
        const std::string name = std::string("via ") + c.typeName;
        MakeSiteThroughTheDialogs(name, "127.0.0.9", 2121,
                                  {false, name, c.typeName, proxy.port(), "puser", "ppass"});
        ASSERT_EQ(SiteColumn(name, "proxy"), name);

        DoubleClickSite(name);

        Tfb& frame = PageOf(name);
        EXPECT_EQ(TabImage(frame), 1);
        ExpectProxyLoginAndList(proxy.Recorded(), c.login);
        EXPECT_EQ(Names(frame), std::vector<std::string>{"a.txt"});
        form_->CloseActivePage();
    }
}

// A site made through the dialogs with a SOCKS entry: SOCKS 4 and 4A through the scripted
// SOCKS server, SOCKS 5 through microsocks that wants a user and password; the control and the
// data connections go through it to pyftpdlib.
TEST_F(PageDialogs, ASiteMadeThroughTheDialogsLogsInThroughEachSocksVersion) {
    ftptest::PyftpdlibServer server("alice", "secret");
    std::ofstream(server.account().local_folder + "via-socks.txt") << "x";
    ftptest::ScriptedServer socks4(ftptest::ScriptedServer::Mode::kSocks4, "{}");
    ftptest::MicrosocksServer socks5("sockuser", "sockpass");
    struct Case {
        const char* version;
        const char* address;
        int socksPort;
        const char* user;
        const char* password;
    };
    const Case cases[] = {
        {"Socks4", "127.0.0.1", socks4.port(), "sockuser", ""},
        {"Socks4A", "localhost", socks4.port(), "", ""},
        {"Socks5", "127.0.0.1", socks5.port(), "sockuser", "sockpass"},
    };
    ShowForm();
    int logins = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        const std::size_t requests = socks4.Recorded().size();
        const std::string name = std::string("via ") + c.version;
        MakeSiteThroughTheDialogs(name, c.address, server.account().port,
                                  {true, name, c.version, c.socksPort, c.user, c.password});
        ASSERT_EQ(SiteColumn(name, "socks"), name);

        DoubleClickSite(name);

        Tfb& frame = PageOf(name);
        EXPECT_EQ(TabImage(frame), 1);
        EXPECT_EQ(Names(frame), std::vector<std::string>{"via-socks.txt"});
        EXPECT_EQ(Occurrences(mainwindow::testing::ReadBytes(server.LogPath()), kAliceLoggedIn),
                  ++logins);
        const std::vector<std::string> recorded = socks4.Recorded();
        if (std::string(c.version) == "Socks5") {
            EXPECT_EQ(recorded.size(), requests);
            EXPECT_EQ(frame.IdSocksInfo1.Authentication,
                      ftp::TSocksAuthentication::saUsernamePassword);
        } else {
            // The control and the data connection, each a SOCKS 4 CONNECT request.
            ASSERT_EQ(recorded.size(), requests + 2);
            for (std::size_t at = requests; at < recorded.size(); ++at)
                EXPECT_EQ(recorded[at].substr(0, 4), "0401") << recorded[at];
            const std::string localhost = "6c6f63616c686f7374";  // "localhost" in 4A
            EXPECT_EQ(recorded[requests].find(localhost) != std::string::npos,
                      std::string(c.version) == "Socks4A")
                << recorded[requests];
            const std::string sockuser = "736f636b75736572";  // the user id "sockuser"
            EXPECT_EQ(recorded[requests].find(sockuser) != std::string::npos, *c.user != '\0')
                << recorded[requests];
        }
        form_->CloseActivePage();
    }
}

// OK in the options dialog reloads the commands of the open page: once the dialog has closed,
// the anti-idle commands the server receives are the new one only.
TEST_F(PageDialogs, TheOptionsDialogsOkGivesAnOpenPageItsNewAntiIdleCommand) {
    ftptest::ScriptedServer server(
        ftptest::ScriptedServer::Mode::kFtp,
        std::string(R"({"rules": [{"expect": "STAT", "reply": "211 Status"},)") + kServeRootRules +
            "]}");
    SetOptions(1, {{"NOOP", true}});
    AddServerSite({.name = "idle", .port = server.port(), .user = "u", .password = "p"});
    Tfb& frame = OpenSite("idle");
    ASSERT_EQ(TabImage(frame), 1);
    ASSERT_TRUE(WaitUntil([&] {
        const std::vector<std::string> recorded = server.Recorded();
        return std::count(recorded.begin(), recorded.end(), "NOOP") >= 1;
    }));

    driver_.Next([&](QDialog& dialog) {
        auto& options = static_cast<TForm2&>(dialog);
        ASSERT_EQ(options.CheckListBox1->count(), 1);
        options.CheckListBox1->setCurrentRow(0);
        ClickButton(options, "Button10");  // NOOP goes
        boxes_.AnswerInput("stat");
        ClickButton(options, "Button9");
        options.SpinEdit1->SetValue(2);
        ClickButton(options, "Button3");
    });
    form_->ZezovozPanel1->SpeedButton1->click();
    ASSERT_EQ(driver_.Pending(), 0u);
    EXPECT_EQ(frame.FIdleCommands, std::vector<std::string>{"STAT"});
    EXPECT_EQ(frame.FSite.interval, 2);

    const std::size_t before = server.Recorded().size();
    std::vector<std::string> after;
    ASSERT_TRUE(WaitUntil([&] {
        const std::vector<std::string> recorded = server.Recorded();
        after.assign(recorded.begin() + static_cast<std::ptrdiff_t>(before), recorded.end());
        return std::count(after.begin(), after.end(), "STAT") >= 2;
    }));
    EXPECT_EQ(after, (std::vector<std::string>{"STAT", "STAT"}));
    EXPECT_TRUE(HasRow(frame, {"211 Status", 1}));
}

}  // namespace
}  // namespace pagetest
