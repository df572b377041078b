#include "connection/site_settings.h"

#include <cstdio>
#include <optional>
#include <utility>

#include "connection/quick_connect_target.h"
#include "platform/ftp/id_ftp.h"
#include "platform/ftp/id_socks_info.h"
#include "platform/os/clock.h"
#include "shared/open_table.h"
#include "shared/tdm.h"

namespace {

std::string Text(vesk::TVeskTable& table, const char* field) {
    return table.FieldByName(field).AsString();
}

std::int32_t Number(vesk::TVeskTable& table, const char* field) {
    return table.FieldByName(field).AsInteger();
}

bool Flag(vesk::TVeskTable& table, const char* field) {
    return table.FieldByName(field).AsBoolean();
}

// Seconds as stored, in milliseconds; a value too large for the field saturates instead of
// wrapping to a negative time.
std::int32_t Milliseconds(std::int32_t seconds) {
    const std::int64_t ms = static_cast<std::int64_t>(seconds) * 1000;
    if (ms > INT32_MAX)
        return INT32_MAX;
    if (ms < INT32_MIN)
        return INT32_MIN;
    return static_cast<std::int32_t>(ms);
}

std::string StampNow() {
    const os::LocalDateTime now = os::Now();
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", now.year, now.month, now.day,
                  now.hour, now.minute, now.second);
    return text;
}

std::optional<ftp::TIdFtpProxyType> ProxyTypeOf(const std::string& name) {
    using enum ftp::TIdFtpProxyType;
    static const std::pair<const char*, ftp::TIdFtpProxyType> kTypes[] = {
        {"None", fpcmNone},
        {"UserSite", fpcmUserSite},
        {"Site", fpcmSite},
        {"Open", fpcmOpen},
        {"UserPass", fpcmUserPass},
        {"Transparent", fpcmTransparent},
        {"HttpProxyWithFtp", fpcmHttpProxyWithFtp}};
    for (const auto& [text, type] : kTypes) {
        if (name == text)
            return type;
    }
    return std::nullopt;
}

std::optional<ftp::TSocksVersion> SocksVersionOf(const std::string& name) {
    using enum ftp::TSocksVersion;
    static const std::pair<const char*, ftp::TSocksVersion> kVersions[] = {
        {"NoSocks", svNoSocks}, {"Socks4", svSocks4}, {"Socks4A", svSocks4A}, {"Socks5", svSocks5}};
    for (const auto& [text, version] : kVersions) {
        if (name == text)
            return version;
    }
    return std::nullopt;
}

}  // namespace

TSiteSettings::TSiteSettings(ftp::TIdFTP& ftp, ftp::TIdSocksInfo& socks)
    : ftp_(ftp), socks_(socks) {}

bool TSiteSettings::LoadStoredSite(Tdm& data, const std::string& siteName) {
    {
        OpenTable table(*data.Tftpsite);
        if (!table->Locate("name", siteName))
            return false;
        // The latest access is stamped before the connect, so a failed connect has it too.
        table->Edit();
        table->FieldByName("zdate").SetAsString(StampNow());
        table->Post();
        ftp_.Host = Text(*table, "address");
        ftp_.Port = Number(*table, "port");
        ftp_.Username = Text(*table, "username");
        ftp_.Password = Text(*table, "password");
        ftp_.Passive = Flag(*table, "pasv");
        FSite.proxy = Text(*table, "proxy");
        FSite.socks = Text(*table, "socks");
        FSite.defaultpath = Text(*table, "defaultpath");
        FSite.autorefresh = Flag(*table, "autorefresh");
        FSite.cnc = Flag(*table, "cnc");
        FSite.maxc = Number(*table, "maxc");
        FSite.timeout = Milliseconds(Number(*table, "timeout"));
        ftp_.ReadTimeout = FSite.timeout;
        FSite.nor = Number(*table, "nor");
        FSite.rd = Milliseconds(Number(*table, "rd"));
        FSiteId = Number(*table, "id");
    }
    LoadOptions(data);
    if (FSite.proxy != "None")
        LoadProxy(data);
    if (FSite.socks != "None")
        LoadSocks(data);
    return true;
}

bool TSiteSettings::LoadQuickSite(Tdm& data, const TQuickConnectTarget* target) {
    if (target == nullptr)
        return false;
    ftp_.Host = target->host;
    ftp_.Port = target->port;
    ftp_.Username = target->user;
    ftp_.Password = target->password;
    ftp_.Passive = target->passive;
    FSite.autorefresh = false;
    FSite.timeout = 30000;
    ftp_.ReadTimeout = 30000;
    FSite.nor = 20;
    FSite.rd = 10000;
    LoadOptions(data);
    return true;
}

void TSiteSettings::LoadOptions(Tdm& data) {
    OpenTable table(*data.Toption);
    // The options dialog's "Enabled anti-idle" switch: off, no command is enabled, so what
    // the dialog shows is what the page sends.
    std::vector<std::string> commands;
    if (Flag(*table, "eanti")) {
        OpenTable idle(*data.Tantiidle);
        for (idle->First(); !idle->Eof(); idle->Next()) {
            if (Flag(*idle, "tf"))
                commands.push_back(Text(*idle, "command"));
        }
    }
    FIdleCommands = std::move(commands);
    FSite.interval = Number(*table, "interval");
    FSite.transfermode = Text(*table, "transfermode");
    FSite.transferc = Text(*table, "transferc");
    FSite.appe = Flag(*table, "appe");
    ftp_.RecvBufferSize = Number(*table, "recvb");
    ftp_.SendBufferSize = Number(*table, "sendb");
}

void TSiteSettings::LoadProxy(Tdm& data) {
    OpenTable table(*data.Tproxy);
    if (!table->Locate("name", FSite.proxy))
        return;
    ftp::TIdFtpProxySettings& proxy = ftp_.ProxySettings;
    proxy.Host = Text(*table, "server");
    proxy.Port = Number(*table, "port");
    if (const auto type = ProxyTypeOf(Text(*table, "typename")))
        proxy.ProxyType = *type;
    if (Flag(*table, "login")) {
        proxy.UserName = Text(*table, "username");
        proxy.Password = Text(*table, "password");
    }
}

void TSiteSettings::LoadSocks(Tdm& data) {
    OpenTable table(*data.Tsocks);
    if (!table->Locate("name", FSite.socks))
        return;
    socks_.Host = Text(*table, "host");
    socks_.Port = Number(*table, "port");
    if (const auto version = SocksVersionOf(Text(*table, "svname")))
        socks_.Version = *version;
    if (Flag(*table, "login")) {
        socks_.Authentication = ftp::TSocksAuthentication::saUsernamePassword;
        socks_.Username = Text(*table, "user");
        socks_.Password = Text(*table, "pass");
    } else {
        socks_.Authentication = ftp::TSocksAuthentication::saNoAuthentication;
    }
}
