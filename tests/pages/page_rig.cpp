#include "tests/pages/page_rig.h"

#include <QElapsedTimer>
#include <QThread>

#include <ostream>

#include "connection/protocol_log.h"
#include "platform/ui/message_pump.h"
#include "tests/ftp_servers/scripted_login.h"
#include "tests/pages/site_on_screen.h"

namespace pagetest {

const std::string kServeRootRules =
    std::string(ftptest::kLoginRules) + "," + ftptest::kRootFolderRules + R"(,
    {"expect": "LIST", "reply": ["150 Listing", {"data_send": "-rw-r--r-- 1 u g 5 Jan 02 2026 a.txt\r\n"}, "226 Done"]},
    {"expect": "NOOP", "reply": "200 NOOP ok"})";

const std::vector<ProxyLoginCase> kProxyLoginCases = {
    {"UserSite", {"USER puser", "PASS ppass", "USER alice@127.0.0.9", "PASS secret", "SYST"}},
    {"Site", {"USER puser", "PASS ppass", "SITE 127.0.0.9", "USER alice", "PASS secret", "SYST"}},
    {"Open", {"USER puser", "PASS ppass", "OPEN 127.0.0.9", "USER alice", "PASS secret", "SYST"}},
    {"UserPass", {"USER alice@puser@127.0.0.9", "PASS secret@ppass", "SYST"}},
    {"Transparent", {"USER puser", "PASS ppass", "USER alice", "PASS secret", "SYST"}},
};

void ExpectProxyLoginAndList(const std::vector<std::string>& recorded,
                             const std::vector<std::string>& login) {
    ASSERT_GE(recorded.size(), login.size());
    EXPECT_EQ(std::vector<std::string>(recorded.begin(), recorded.begin() + login.size()), login);
    EXPECT_EQ(recorded.back(), "LIST");
}

std::string ProxyScript() {
    return std::string(R"({"rules": [{"expect": "(SITE|OPEN) .*", "reply": "220 Connected"},)") +
           kServeRootRules + "]}";
}

void PrintTo(const LogRow& row, std::ostream* out) {
    *out << "{\"" << row.text << "\", " << row.icon << "}";
}

void PageRig::TearDown() {
    // The pages go before the servers the test's locals hold: closing the window shuts them
    // down (no QUIT), and the frames are freed here.
    if (form_) {
        form_->close();
        mainwindow::testing::FlushDeferredDeletes();
    }
    MainFormTest::TearDown();
}

std::string PageRig::ProgramWithSite(int port) {
    AddServerSite({.name = "local pyftpdlib", .port = port, .user = "alice", .password = "secret"});
    SetOptions(30, {});
    dm->VeskDatabase1->SetConnected(false);  // the program uses the files now
    return CopyProgramInto(folder_, ZANTROPE_APP_DIR);
}

std::int32_t PageRig::AddServerSite(const ServerSite& site) {
    OpenTable table(*dm->Tftpsite);
    table->Append();
    table->FieldByName("name").SetAsString(site.name);
    table->FieldByName("address").SetAsString(site.address);
    table->FieldByName("port").SetAsInteger(site.port);
    table->FieldByName("username").SetAsString(site.user);
    table->FieldByName("password").SetAsString(site.password);
    table->FieldByName("defaultpath").SetAsString(site.defaultpath);
    table->FieldByName("timeout").SetAsInteger(site.timeout);
    table->FieldByName("nor").SetAsInteger(site.nor);
    table->FieldByName("rd").SetAsInteger(site.rd);
    table->FieldByName("pasv").SetAsBoolean(site.pasv);
    table->FieldByName("proxy").SetAsString(site.proxy);
    table->FieldByName("socks").SetAsString(site.socks);
    table->FieldByName("cdate").SetAsString("2026-01-02 03:04:05");
    table->FieldByName("zdate").SetAsString("2026-01-02 03:04:05");
    table->Post();
    return table->FieldByName("id").AsInteger();
}

void PageRig::SetOptions(int interval, const std::vector<std::pair<std::string, bool>>& commands,
                         bool antiIdle) {
    {
        OpenTable table(*dm->Toption);
        table->Edit();  // on the empty table: the one row is inserted
        table->FieldByName("eanti").SetAsBoolean(antiIdle);
        table->FieldByName("interval").SetAsInteger(interval);
        table->FieldByName("transfermode").SetAsString("auto");
        table->Post();
    }
    OpenTable table(*dm->Tantiidle);
    for (const auto& [command, inUse] : commands) {
        table->Append();
        table->FieldByName("command").SetAsString(command);
        table->FieldByName("tf").SetAsBoolean(inUse);
        table->Post();
    }
}

void PageRig::AddProxy(const std::string& name, const std::string& typeName, int port,
                       const std::string& user, const std::string& password) {
    OpenTable table(*dm->Tproxy);
    table->Append();
    table->FieldByName("name").SetAsString(name);
    table->FieldByName("typename").SetAsString(typeName);
    table->FieldByName("server").SetAsString("127.0.0.1");
    table->FieldByName("port").SetAsInteger(port);
    table->FieldByName("login").SetAsBoolean(!user.empty());
    table->FieldByName("username").SetAsString(user);
    table->FieldByName("password").SetAsString(password);
    table->Post();
}

void PageRig::AddSocks(const std::string& name, const std::string& svName, int port,
                       const std::string& user, const std::string& password) {
    OpenTable table(*dm->Tsocks);
    table->Append();
    table->FieldByName("name").SetAsString(name);
    table->FieldByName("svname").SetAsString(svName);
    table->FieldByName("host").SetAsString("127.0.0.1");
    table->FieldByName("port").SetAsInteger(port);
    table->FieldByName("login").SetAsBoolean(!user.empty());
    table->FieldByName("user").SetAsString(user);
    table->FieldByName("pass").SetAsString(password);
    table->Post();
}

std::string PageRig::SiteColumn(const std::string& site, const char* field) {
    OpenTable table(*dm->Tftpsite);
    if (!table->Locate("name", site))
        return "<no site>";
    return table->FieldByName(field).AsString();
}

Tfb& PageRig::OpenSite(const std::string& name) {
    TForm1& form = form_ ? *form_ : ShowForm();
    form.OpenSitePage(name, false);
    TTabSheet* sheet = form.FindSitePage(name);
    if (sheet == nullptr)
        throw std::runtime_error("no page for " + name);
    return *form.FindFrame(sheet->Tag());
}

int PageRig::TabImage(Tfb& frame) {
    auto* sheet = qobject_cast<TTabSheet*>(frame.parentWidget());
    return sheet == nullptr ? -2 : sheet->ImageIndex();
}

std::vector<LogRow> PageRig::LogOf(Tfb& frame) {
    std::vector<LogRow> rows;
    const TProtocolLog& log = frame.Log();
    for (int row = 0; row < log.RowCount(); ++row)
        rows.push_back({log.Caption(row), log.Icon(row)});
    return rows;
}

bool PageRig::HasRow(Tfb& frame, const LogRow& row) {
    for (const LogRow& logged : LogOf(frame)) {
        if (logged == row)
            return true;
    }
    return false;
}

int PageRig::CountRows(Tfb& frame, const std::string& text) {
    int count = 0;
    for (const LogRow& logged : LogOf(frame))
        count += logged.text == text ? 1 : 0;
    return count;
}

bool PageRig::WaitUntil(const std::function<bool()>& done, int seconds) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > seconds * 1000LL)
            return false;
        ui::ProcessMessages();
        QThread::msleep(10);
    }
    return true;
}

}  // namespace pagetest
