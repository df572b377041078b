#include "connection/site_settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "connection/quick_connect_target.h"
#include "engine/codec/algo_registry.h"
#include "engine/codec/standard_algorithms.h"
#include "engine/session_list.h"
#include "platform/ftp/id_ftp.h"
#include "platform/ftp/id_socks_info.h"
#include "platform/os/clock.h"
#include "platform/os/testing/temp_folder.h"
#include "shared/open_table.h"
#include "shared/tdm.h"
#include "shared/testing/database_files.h"

namespace {

class SiteSettings : public ::testing::Test {
  protected:
    void SetUp() override {
        shared::testing::MakeDatabaseFile(folder_ + "all.dat", "all.schema");
        vesk::RegisterStandardAlgorithms();
        vesk::VeskDB_Initialization();
        data_ = std::make_unique<Tdm>();
        data_->VeskDatabase1->SetFileName(folder_ + "all.dat");
        data_->VeskDatabase1->SetConnected(true);
        os::SetFixedNow(os::LocalDateTime{2026, 12, 10, 9, 8, 7, 0});
    }
    void TearDown() override {
        os::SetFixedNow(std::nullopt);
        data_.reset();
        vesk::VeskDB_Finalization();
        vesk::UnregisterAllAlgorithms();
    }

    void AddSite(const std::string& name, const std::string& proxy = "None",
                 const std::string& socks = "None") {
        OpenTable table(*data_->Tftpsite);
        table->Append();
        table->FieldByName("name").SetAsString(name);
        table->FieldByName("address").SetAsString("ftp." + name + ".test");
        table->FieldByName("port").SetAsInteger(2121);
        table->FieldByName("username").SetAsString("alice");
        table->FieldByName("password").SetAsString("secret");
        table->FieldByName("pasv").SetAsBoolean(true);
        table->FieldByName("defaultpath").SetAsString("/pub/");
        table->FieldByName("autorefresh").SetAsBoolean(true);
        table->FieldByName("cnc").SetAsBoolean(true);
        table->FieldByName("maxc").SetAsInteger(4);
        table->FieldByName("timeout").SetAsInteger(25);
        table->FieldByName("nor").SetAsInteger(3);
        table->FieldByName("rd").SetAsInteger(7);
        table->FieldByName("proxy").SetAsString(proxy);
        table->FieldByName("socks").SetAsString(socks);
        table->FieldByName("zdate").SetAsString("2020-01-01 00:00:00");
        table->Post();
    }
    void SetOptions(bool antiIdle = true) {
        {
            OpenTable table(*data_->Toption);
            table->Edit();
            table->FieldByName("eanti").SetAsBoolean(antiIdle);
            table->FieldByName("interval").SetAsInteger(60);
            table->FieldByName("transfermode").SetAsString("binary");
            table->FieldByName("transferc").SetAsString("quit");
            table->FieldByName("recvb").SetAsInteger(8192);
            table->FieldByName("sendb").SetAsInteger(4096);
            table->FieldByName("appe").SetAsBoolean(true);
            table->Post();
        }
        OpenTable table(*data_->Tantiidle);
        for (const auto& [command, inUse] : std::vector<std::pair<std::string, bool>>{
                 {"NOOP", true}, {"STAT", false}, {"PWD", true}}) {
            table->Append();
            table->FieldByName("command").SetAsString(command);
            table->FieldByName("tf").SetAsBoolean(inUse);
            table->Post();
        }
    }
    void AddProxy(const std::string& name, const std::string& typeName, bool login) {
        OpenTable table(*data_->Tproxy);
        table->Append();
        table->FieldByName("name").SetAsString(name);
        table->FieldByName("type").SetAsInteger(1);  // never read
        table->FieldByName("typename").SetAsString(typeName);
        table->FieldByName("server").SetAsString("proxy.test");
        table->FieldByName("port").SetAsInteger(8021);
        table->FieldByName("login").SetAsBoolean(login);
        table->FieldByName("username").SetAsString("puser");
        table->FieldByName("password").SetAsString("ppass");
        table->Post();
    }
    void AddSocks(const std::string& name, const std::string& svName, bool login) {
        OpenTable table(*data_->Tsocks);
        table->Append();
        table->FieldByName("name").SetAsString(name);
        table->FieldByName("sv").SetAsInteger(3);  // never read
        table->FieldByName("svname").SetAsString(svName);
        table->FieldByName("host").SetAsString("socks.test");
        table->FieldByName("port").SetAsInteger(1085);
        table->FieldByName("login").SetAsBoolean(login);
        table->FieldByName("user").SetAsString("suser");
        table->FieldByName("pass").SetAsString("spass");
        table->Post();
    }
    std::string ZDate(const std::string& name) {
        OpenTable table(*data_->Tftpsite);
        return table->Locate("name", name) ? table->FieldByName("zdate").AsString() : "";
    }

    os::testing::TempFolder temp_{"settings"};
    std::string folder_ = temp_.path() + "/";
    std::unique_ptr<Tdm> data_;
    ftp::TIdFTP ftp_;
    ftp::TIdSocksInfo socks_;
    TSiteSettings settings_{ftp_, socks_};
};

TEST_F(SiteSettings, AStoredSiteLoadsItsRowTheOptionsAndTheEnabledCommandsAndIsStamped) {
    AddSite("other");
    AddSite("main");
    SetOptions();
    ASSERT_TRUE(settings_.LoadStoredSite(*data_, "main"));

    EXPECT_EQ(ftp_.Host, "ftp.main.test");
    EXPECT_EQ(ftp_.Port, 2121);
    EXPECT_EQ(ftp_.Username, "alice");
    EXPECT_EQ(ftp_.Password, "secret");
    EXPECT_TRUE(ftp_.Passive);
    EXPECT_EQ(ftp_.ReadTimeout, 25000);
    EXPECT_EQ(ftp_.RecvBufferSize, 8192);
    EXPECT_EQ(ftp_.SendBufferSize, 4096);
    const rftpsite& site = settings_.FSite;
    EXPECT_EQ(site.defaultpath, "/pub/");
    EXPECT_TRUE(site.autorefresh);
    EXPECT_EQ(site.timeout, 25000);
    EXPECT_EQ(site.nor, 3);
    EXPECT_EQ(site.rd, 7000);
    EXPECT_TRUE(site.cnc);
    EXPECT_EQ(site.maxc, 4);
    EXPECT_EQ(site.proxy, "None");
    EXPECT_EQ(site.socks, "None");
    EXPECT_EQ(site.interval, 60);
    EXPECT_EQ(site.transfermode, "binary");
    EXPECT_EQ(site.transferc, "quit");
    EXPECT_TRUE(site.appe);
    EXPECT_EQ(settings_.FSiteId, 2);
    EXPECT_EQ(settings_.FIdleCommands, (std::vector<std::string>{"NOOP", "PWD"}));
    EXPECT_EQ(ZDate("main"), "2026-12-10 09:08:07");
    EXPECT_EQ(ZDate("other"), "2020-01-01 00:00:00");
    EXPECT_EQ(ftp_.ProxySettings.ProxyType, ftp::TIdFtpProxyType::fpcmNone);
    EXPECT_EQ(socks_.Version, ftp::TSocksVersion::svNoSocks);
}

TEST_F(SiteSettings, ASiteThatIsNotStoredExactlyLoadsNothing) {
    AddSite("main");
    ftp_.Host = "unchanged";
    EXPECT_FALSE(settings_.LoadStoredSite(*data_, "Main"));
    EXPECT_FALSE(settings_.LoadStoredSite(*data_, "mai"));
    EXPECT_EQ(ftp_.Host, "unchanged");
    EXPECT_EQ(settings_.FSiteId, 0);
    EXPECT_EQ(ZDate("main"), "2020-01-01 00:00:00");
}

TEST_F(SiteSettings, TheProxyTypeComesFromItsTypeNameAndItsLoginOnlyWhenAsked) {
    struct Case {
        const char* typeName;
        ftp::TIdFtpProxyType type;
        bool login;
    };
    using enum ftp::TIdFtpProxyType;
    const Case cases[] = {{"None", fpcmNone, true},
                          {"UserSite", fpcmUserSite, true},
                          {"Site", fpcmSite, false},
                          {"Open", fpcmOpen, true},
                          {"UserPass", fpcmUserPass, true},
                          {"Transparent", fpcmTransparent, true},
                          {"HttpProxyWithFtp", fpcmHttpProxyWithFtp, true},
                          {"usersite", fpcmOpen, true},  // not in the table: the type stays
                          {"", fpcmOpen, true}};
    int number = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typeName);
        const std::string name = "p" + std::to_string(++number);
        AddProxy(name, c.typeName, c.login);
        AddSite(name, name);
        ftp_.ProxySettings = {ftp::TIdFtpProxyType::fpcmOpen, "", 0, "old", "oldpass"};
        ASSERT_TRUE(settings_.LoadStoredSite(*data_, name));
        EXPECT_EQ(ftp_.ProxySettings.ProxyType, c.type);
        EXPECT_EQ(ftp_.ProxySettings.Host, "proxy.test");
        EXPECT_EQ(ftp_.ProxySettings.Port, 8021);
        EXPECT_EQ(ftp_.ProxySettings.UserName, c.login ? "puser" : "old");
        EXPECT_EQ(ftp_.ProxySettings.Password, c.login ? "ppass" : "oldpass");
    }
    // A proxy name without a row leaves the settings as they were.
    AddSite("lost", "gone");
    ftp_.ProxySettings = {ftp::TIdFtpProxyType::fpcmOpen, "", 0, "old", "oldpass"};
    ASSERT_TRUE(settings_.LoadStoredSite(*data_, "lost"));
    EXPECT_EQ(ftp_.ProxySettings.ProxyType, ftp::TIdFtpProxyType::fpcmOpen);
    EXPECT_EQ(ftp_.ProxySettings.UserName, "old");
}

TEST_F(SiteSettings, TheSocksVersionComesFromItsNameAndTheLoginChoosesTheAuthentication) {
    struct Case {
        const char* svName;
        ftp::TSocksVersion version;
        bool login;
    };
    using enum ftp::TSocksVersion;
    const Case cases[] = {{"NoSocks", svNoSocks, false},
                          {"Socks4", svSocks4, true},
                          {"Socks4A", svSocks4A, false},
                          {"Socks5", svSocks5, true},
                          {"socks5", svSocks4A, true}};  // not in the table: the version stays
    int number = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.svName);
        const std::string name = "s" + std::to_string(++number);
        AddSocks(name, c.svName, c.login);
        AddSite(name, "None", name);
        socks_ = {};
        socks_.Version = svSocks4A;
        ASSERT_TRUE(settings_.LoadStoredSite(*data_, name));
        EXPECT_EQ(socks_.Version, c.version);
        EXPECT_EQ(socks_.Host, "socks.test");
        EXPECT_EQ(socks_.Port, 1085);
        EXPECT_EQ(socks_.Authentication, c.login ? ftp::TSocksAuthentication::saUsernamePassword
                                                 : ftp::TSocksAuthentication::saNoAuthentication);
        EXPECT_EQ(socks_.Username, c.login ? "suser" : "");
    }
}

// The options dialog's anti-idle switch decides whether any command is enabled; a reload
// after the switch changed takes the new state.
TEST_F(SiteSettings, TheAntiIdleSwitchOffEnablesNoCommand) {
    SetOptions(false);
    settings_.LoadOptions(*data_);
    EXPECT_TRUE(settings_.FIdleCommands.empty());
    EXPECT_EQ(settings_.FSite.interval, 60);
    {
        OpenTable table(*data_->Toption);
        table->Edit();
        table->FieldByName("eanti").SetAsBoolean(true);
        table->Post();
    }
    settings_.LoadOptions(*data_);
    EXPECT_EQ(settings_.FIdleCommands, (std::vector<std::string>{"NOOP", "PWD"}));
}

TEST_F(SiteSettings, AQuickConnectionTakesTheTargetAndFixedLimitsAndKeepsTheRest) {
    SetOptions();
    settings_.FSite.defaultpath = "/kept";
    settings_.FSite.proxy = "kept proxy";
    settings_.FSiteId = 9;
    EXPECT_FALSE(settings_.LoadQuickSite(*data_, nullptr));

    TQuickConnectTarget target;
    target.host = "quick.test";
    target.port = 990;
    target.user = "bob";
    target.password = "pw";
    target.passive = true;
    ASSERT_TRUE(settings_.LoadQuickSite(*data_, &target));
    EXPECT_EQ(ftp_.Host, "quick.test");
    EXPECT_EQ(ftp_.Port, 990);
    EXPECT_EQ(ftp_.Username, "bob");
    EXPECT_EQ(ftp_.Password, "pw");
    EXPECT_TRUE(ftp_.Passive);
    EXPECT_EQ(ftp_.ReadTimeout, 30000);
    EXPECT_EQ(settings_.FSite.timeout, 30000);
    EXPECT_EQ(settings_.FSite.nor, 20);
    EXPECT_EQ(settings_.FSite.rd, 10000);
    EXPECT_FALSE(settings_.FSite.autorefresh);
    EXPECT_EQ(settings_.FSite.interval, 60);
    EXPECT_EQ(settings_.FSite.defaultpath, "/kept");
    EXPECT_EQ(settings_.FSite.proxy, "kept proxy");
    EXPECT_EQ(settings_.FSiteId, 9);
}

TEST(QuickConnectTarget, TheDialogsTargetIsInEffectWhileItIsOpen) {
    EXPECT_EQ(CurrentQuickConnectTarget(), nullptr);
    TQuickConnectTarget outer;
    {
        const TScopedQuickConnectTarget open(outer);
        EXPECT_EQ(CurrentQuickConnectTarget(), &outer);
        TQuickConnectTarget inner;
        {
            const TScopedQuickConnectTarget nested(inner);
            EXPECT_EQ(CurrentQuickConnectTarget(), &inner);
        }
        EXPECT_EQ(CurrentQuickConnectTarget(), &outer);
    }
    EXPECT_EQ(CurrentQuickConnectTarget(), nullptr);
}

}  // namespace
