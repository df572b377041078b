// The login sequences of every FTP proxy type, as our scripted server (playing the proxy)
// records them on the wire.
#include <gtest/gtest.h>

#include "platform/ftp/id_exceptions.h"
#include "tests/ftp_client/client_rig.h"
#include "tests/ftp_servers/server_fixture.h"

namespace ftptest {
namespace {

// A proxy that takes every login step: 331 for each USER, 230 for each PASS.
const char* const kProxyScript = R"({
  "greeting": "220 proxy ready",
  "rules": [
    {"expect": "USER .*", "reply": "331 Password required"},
    {"expect": "PASS .*", "reply": "230 Logged in"},
    {"expect": "(SITE|OPEN) .*", "reply": "220 Connected to the site"},
    {"expect": "SYST", "reply": "215 UNIX Type: L8"}
  ]
})";

struct ProxyCase {
    const char* name;
    ftp::TIdFtpProxyType type;
    const char* proxy_user;
    const char* proxy_password;
    std::vector<std::string> commands;
};

TEST(ProxyLoginTest, EachProxyTypeSendsItsSequence) {
    const ProxyCase cases[] = {
        {"UserSite",
         ftp::TIdFtpProxyType::fpcmUserSite,
         "puser",
         "ppass",
         {"USER puser", "PASS ppass", "USER alice@127.0.0.9", "PASS secret", "SYST"}},
        {"UserSite without proxy user",
         ftp::TIdFtpProxyType::fpcmUserSite,
         "",
         "ppass",
         {"USER alice@127.0.0.9", "PASS secret", "SYST"}},
        {"Site",
         ftp::TIdFtpProxyType::fpcmSite,
         "puser",
         "ppass",
         {"USER puser", "PASS ppass", "SITE 127.0.0.9", "USER alice", "PASS secret", "SYST"}},
        {"Site without proxy user",
         ftp::TIdFtpProxyType::fpcmSite,
         "",
         "",
         {"SITE 127.0.0.9", "USER alice", "PASS secret", "SYST"}},
        {"Open",
         ftp::TIdFtpProxyType::fpcmOpen,
         "puser",
         "ppass",
         {"USER puser", "PASS ppass", "OPEN 127.0.0.9", "USER alice", "PASS secret", "SYST"}},
        {"UserPass",
         ftp::TIdFtpProxyType::fpcmUserPass,
         "puser",
         "ppass",
         {"USER alice@puser@127.0.0.9", "PASS secret@ppass", "SYST"}},
        {"UserPass without proxy password",
         ftp::TIdFtpProxyType::fpcmUserPass,
         "puser",
         "",
         {"USER alice@puser@127.0.0.9", "PASS secret", "SYST"}},
        {"Transparent",
         ftp::TIdFtpProxyType::fpcmTransparent,
         "puser",
         "ppass",
         {"USER puser", "PASS ppass", "USER alice", "PASS secret", "SYST"}},
    };
    for (const ProxyCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedServer proxy(ScriptedServer::Mode::kFtp, kProxyScript);
        // The site's own address is never dialled: only the proxy is.
        FtpAccount site{"127.0.0.9", 2121, "alice", "secret", "/", ""};
        ClientRig rig(site);
        rig.ftp.ProxySettings = {c.type, "127.0.0.1", proxy.port(), c.proxy_user, c.proxy_password};
        rig.Login();
        EXPECT_TRUE(rig.ftp.Connected());
        EXPECT_EQ(proxy.Recorded(), c.commands);
    }
}

TEST(ProxyLoginTest, HttpProxyWithFtpIsRefusedBeforeAnythingIsSent) {
    ScriptedServer proxy(ScriptedServer::Mode::kFtp, kProxyScript);
    ClientRig rig(FtpAccount{"127.0.0.9", 2121, "alice", "secret", "/", ""});
    rig.ftp.ProxySettings = {ftp::TIdFtpProxyType::fpcmHttpProxyWithFtp, "127.0.0.1", proxy.port(),
                             "puser", "ppass"};
    EXPECT_THROW(rig.Login(), ftp::EIdUnsupportedSetting);
    EXPECT_FALSE(rig.ftp.Connected());
    EXPECT_TRUE(rig.sent.empty());
    EXPECT_TRUE(rig.events.empty());
}

TEST(ProxyLoginTest, ARefusedSiteLoginFailsAndCloses) {
    ScriptedServer proxy(ScriptedServer::Mode::kFtp, R"({
      "rules": [
        {"expect": "USER puser", "reply": "331 Password required"},
        {"expect": "PASS ppass", "reply": "230 Proxy login ok"},
        {"expect": "SITE .*", "reply": "530 Cannot reach that site"}
      ]})");
    ClientRig rig(FtpAccount{"127.0.0.9", 2121, "alice", "secret", "/", ""});
    rig.ftp.ProxySettings = {ftp::TIdFtpProxyType::fpcmSite, "127.0.0.1", proxy.port(), "puser",
                             "ppass"};
    EXPECT_THROW(rig.Login(), ftp::EIdProtocolReplyError);
    EXPECT_FALSE(rig.ftp.Connected());
    EXPECT_EQ(proxy.Recorded(),
              (std::vector<std::string>{"USER puser", "PASS ppass", "SITE 127.0.0.9"}));
}

}  // namespace
}  // namespace ftptest
