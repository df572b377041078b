#pragma once
// The site dialog's reads and writes of table `ftpsite`: one row per stored FTP site, found by
// its name exactly (letter case counts). Each call is one user action: it opens the table and
// closes it again, also when it throws; a write that fails leaves no row half-posted (closing
// discards an unposted row). Errors are the engine's (EDatabaseError), e.g. a text too long
// for its column; only the multi-line comment is cut to its column (the dialog's single-line
// edits take no more than their columns hold).
#include <optional>
#include <string>
#include <vector>

#include "platform/os/clock.h"

namespace vesk {
class TVeskTable;
}

namespace dialogs {

// The columns of one site as the site dialog shows them; the defaults are a new site's.
struct SiteSettings {
    std::string name;
    std::string address;
    int port = 21;
    std::string username = "anonymous";
    std::string password = "anonymous@zantrope.local";  // 24 characters, e-mail shaped
    bool vp = true;
    std::string comment = "\n";  // one empty line
    std::string defaultpath;
    std::string proxy = "None";
    std::string socks = "None";
    bool pasv = true;
    bool autorefresh = false;
    int timeout = 30;
    int nor = 20;
    int rd = 10;
    bool cnc = false;
    int maxc = 1;

    bool operator==(const SiteSettings&) const = default;
};

enum class SiteWrite {
    kWritten,     // the row was added or changed
    kNameTaken,   // another row carries the name; nothing written
    kNoSuchSite,  // edit: no row carries the old name; nothing written
};

// "yyyy-mm-dd hh:mm:ss", the form of the site dates.
std::string FormatSiteStamp(const os::LocalDateTime& moment);

class SiteTable {
  public:
    // `ftpsite` is the data module's component of table `ftpsite`; it must outlive the object.
    explicit SiteTable(vesk::TVeskTable& ftpsite) : table_(ftpsite) {}

    // The row named `name`, or nullopt.
    std::optional<SiteSettings> Read(const std::string& name);
    // Appends a site unless one with its exact name exists; both dates become `stamp`.
    SiteWrite Add(const SiteSettings& site, const std::string& stamp);
    // Changes the row named `oldName` in place (its id stays) unless the name changed and
    // another row carries the new one; both dates become `stamp`.
    SiteWrite Update(const std::string& oldName, const SiteSettings& site,
                     const std::string& stamp);

  private:
    vesk::TVeskTable& table_;
};

// The `name` column of a table in the order the table yields its rows (the proxy and SOCKS
// lists of the site dialog).
std::vector<std::string> ReadNames(vesk::TVeskTable& table);

}  // namespace dialogs
