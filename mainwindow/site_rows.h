#pragma once
// The site list's reads and writes of the stored sites (table `ftpsite`) and of a site's
// history (`hmaster` heads and their `hdital` details). Each call is one user action: it opens
// the tables it uses and closes them again, also when it throws. Sites are found by their name
// exactly, letter case included. Errors are the engine's (EDatabaseError).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vesk {
class TVeskTable;
}
class Tdm;

namespace mainwindow {

struct SiteRow {
    std::string name;
    std::string address;
    std::string cdate;
    std::string zdate;
};

// Every site in the order the table yields its rows.
std::vector<SiteRow> ReadSiteRows(vesk::TVeskTable& ftpsite);

// The description memo's text of the named site (lines separated by "\n"), or nullopt when
// no row has that name.
std::optional<std::string> SiteDescription(vesk::TVeskTable& ftpsite, const std::string& name);

enum class RenameOutcome {
    kRenamed,     // the row of oldName now carries newName
    kNameTaken,   // a row named newName exists; nothing changed
    kNoSuchSite,  // no row carries oldName; nothing changed
};
RenameOutcome RenameSiteRow(vesk::TVeskTable& ftpsite, const std::string& oldName,
                            const std::string& newName);

// Deletes the history heads of the site with that id and the details under them.
void DeleteHistoryOfSite(Tdm& data, std::int32_t siteId);

// Deletes the named site's history, then its row; nothing when no row has that name. The
// site's bookmarks and tasks stay.
void DeleteSiteWithHistory(Tdm& data, const std::string& name);

}  // namespace mainwindow
