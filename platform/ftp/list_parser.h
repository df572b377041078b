#pragma once
// The directory-listing parser of TIdFTP::List: Unix-style and DOS-style listings.
//
// Unix: a line starts with a ten-character mode string (an ACL marker "+", "@" or "." may follow
// it); lines starting with "TOTAL" in any case are skipped. Type from the first mode character:
// d directory, l or L link, anything else file; permissions from characters 2-4, 5-7 and 8-10;
// then link count, owner, group, size, month, day, and a year or a time of day. A time of day
// means the current year, or the year before when the listed month lies after the current one.
// A character or block device ("c" or "b") has size 0; its "major, minor" or "major,minor"
// stands where the size would be. A date that does not exist (a day past its month's end, in
// either format) makes the line not fit.
// The name is everything after the single blank that follows the year or time (inner and
// leading blanks kept); a link's name is the part before " -> ".
// DOS: "MM-DD-YY" or "MM-DD-YYYY", a time "HH:MM" with an optional AM/PM, "<DIR>" or a size,
// then the name. Two-digit years take the century that puts them nearest to the current year.
#include <optional>
#include <string>
#include <vector>

#include "platform/ftp/id_list_item.h"
#include "platform/os/clock.h"

namespace ftp {

enum class ListingFormat { Unknown, Unix, Dos };

// The format a listing's first line announces.
ListingFormat DetectListingFormat(const std::string& firstLine);

// One line by one format's rules; nothing when the line does not fit them (or is a "TOTAL" line).
std::optional<TIdFTPListItem> ParseUnixLine(const std::string& line, const os::LocalDateTime& now);
std::optional<TIdFTPListItem> ParseDosLine(const std::string& line, const os::LocalDateTime& now);
// The same into `item`, which must be a default item: true when the line fits; `item` then
// holds the line's fields but Text (left to the caller), otherwise some of them may be set.
bool ParseUnixLineInto(const std::string& line, const os::LocalDateTime& now, TIdFTPListItem& item);
bool ParseDosLineInto(const std::string& line, const os::LocalDateTime& now, TIdFTPListItem& item);

// The items of a whole listing, in listing order. Empty lines are ignored; the first other line
// fixes the format and throws EIdUnknownListFormat when it fits neither; later lines that do not
// fit the format are skipped. "." and ".." come through as items.
TIdFTPListItems ParseListing(const std::vector<std::string>& lines, const os::LocalDateTime& now);

// ParseListing a line at a time, so a listing can be parsed while it arrives. Add never throws
// for a line that fits no format: Items throws EIdUnknownListFormat afterwards when the first
// line fitted neither format (the caller decides when to report it).
class ListingParser {
  public:
    explicit ListingParser(const os::LocalDateTime& now) : now_(now) {}

    // The next line of the listing (copied into the item's Text, or moved there).
    void Add(const std::string& line);
    void Add(std::string&& line);
    // Moves the items out (the parser is empty afterwards). Throws EIdUnknownListFormat as
    // above.
    TIdFTPListItems Items();

  private:
    // The line's item appended to the items, without its Text; nullptr when the line makes none.
    TIdFTPListItem* Parse(const std::string& line);

    os::LocalDateTime now_;
    ListingFormat format_ = ListingFormat::Unknown;
    bool unknown_ = false;  // the first line fitted neither format: every line is passed over
    TIdFTPListItems items_;
};

}  // namespace ftp
