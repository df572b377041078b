#pragma once
// One entry of a parsed directory listing (TIdFTP::DirectoryListing).
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "platform/os/clock.h"

namespace ftp {

enum class TIdDirItemType { ditDirectory, ditFile, ditSymbolicLink };

struct TIdFTPListItem {
    // The name exactly as the server's bytes give it (a link: the part before " -> "). It may
    // hold any byte; use IsSafeLocalName before turning it into a local path.
    std::string FileName;
    TIdDirItemType ItemType = TIdDirItemType::ditFile;
    std::int64_t Size = 0;
    os::LocalDateTime ModifiedDate;  // seconds and milliseconds are 0
    std::string OwnerName;           // empty in a DOS listing
    std::string GroupName;           // empty in a DOS listing
    // Three characters each in a Unix listing (such as "rwx" or "r-x"); empty in a DOS listing.
    std::string OwnerPermissions;
    std::string GroupPermissions;
    std::string OtherPermissions;
    std::string Text;  // the whole listing line the item came from
};

// A deque: a listing grows one item at a time while its bytes arrive, and a vector of 100,000
// items would now and then move all of them to a larger block in one stretch without a pump
// (tens of milliseconds in fresh memory); a deque never moves the items it holds.
using TIdFTPListItems = std::deque<TIdFTPListItem>;

// True when a listed name may be used as one component of a local path: not empty, not "." or
// "..", and free of "/" and NUL. Never throws.
bool IsSafeLocalName(const std::string& name);

}  // namespace ftp
