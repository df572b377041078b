#pragma once
// The remote folder bookmarks of one site as rows of the `bookmark` table ("FTPBookmark.dat":
// `ftpid` the site's id, `path` the folder), for the bookmark manager. Each call is one use of
// the table (opened and closed inside); table errors pass on.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/dataset/vesk_table.h"

namespace dialogs {

// The paths of the rows of `siteId`, in table order.
std::vector<std::string> ReadSiteBookmarks(vesk::TVeskTable& bookmark, std::int32_t siteId);

// Deletes every row of `siteId` and appends one row per path, in order; other sites' rows stay.
void ReplaceSiteBookmarks(vesk::TVeskTable& bookmark, std::int32_t siteId,
                          const std::vector<std::string>& paths);

}  // namespace dialogs
