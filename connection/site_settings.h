#pragma once
// The session settings of a page and what they set on its FTP component: the site's row (or
// the quick-connect target), the options row, the enabled anti-idle commands, and the site's
// proxy and SOCKS rows. Table code only, usable without widgets; every table is opened and
// closed within one call. Errors of the tables (EDatabaseError) pass through; the tables are
// closed then, and the settings may be partly loaded.
#include <cstdint>
#include <string>
#include <vector>

#include "connection/rftpsite.h"

class Tdm;
struct TQuickConnectTarget;

namespace ftp {
class TIdFTP;
class TIdSocksInfo;
}  // namespace ftp

class TSiteSettings {
  public:
    // `ftp` and `socks` must outlive the object.
    TSiteSettings(ftp::TIdFTP& ftp, ftp::TIdSocksInfo& socks);

    rftpsite FSite;
    // The commands of the enabled anti-idle rows, in table order; none while the options'
    // anti-idle switch (`eanti`) is off.
    std::vector<std::string> FIdleCommands;
    // ftpsite.id of the stored site last loaded (0 until one is).
    std::int32_t FSiteId = 0;

    // A stored site: the row named `siteName` (exact), stamped with the current time in
    // `zdate`, then the options, the proxy and the SOCKS rows. False when there is no such row
    // (nothing loaded then).
    bool LoadStoredSite(Tdm& data, const std::string& siteName);
    // A quick connection to `target` (nullptr: no target, false and nothing loaded): its
    // server, a 30 s time-out, 20 attempts 10 s apart, then the options. The default folder,
    // the proxy and SOCKS names and settings and FSiteId stay as they are.
    bool LoadQuickSite(Tdm& data, const TQuickConnectTarget* target);
    // The options row (anti-idle switch, interval, transfer mode, the stored-only options,
    // the component's buffer sizes) and the anti-idle commands.
    void LoadOptions(Tdm& data);

  private:
    void LoadProxy(Tdm& data);
    void LoadSocks(Tdm& data);

    ftp::TIdFTP& ftp_;
    ftp::TIdSocksInfo& socks_;
};
