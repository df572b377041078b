#pragma once
// List files: short texts kept in the program's folder ("bookmark.dat" for local bookmarks,
// "Downloads.dat", "Filter.dat" and "Find.dat" for the input histories of three dialogs).
//
// Layout, little-endian, no header or trailer: a signed 32-bit count, then `count` records of
// 51 bytes, each a length byte (0 to 50) followed by the text's bytes and padding up to 50.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace shared {

inline constexpr std::size_t kListTextLimit = 50;
inline constexpr std::size_t kListRecordSize = 1 + kListTextLimit;

inline constexpr const char* kLocalBookmarksFile = "bookmark.dat";
inline constexpr const char* kDownloadHistoryFile = "Downloads.dat";
inline constexpr const char* kFilterHistoryFile = "Filter.dat";
inline constexpr const char* kFindHistoryFile = "Find.dat";

// The program's folder followed by `fileName`.
std::string ListFilePath(const std::string& fileName);

// The text as a record stores it: its first 50 bytes, cut back to the start of a UTF-8
// character so that no character is split.
std::string CutListText(std::string_view text);

// The texts of the list file at `path` in file order; a missing or unreadable file, or one
// that is no regular file (a pipe, a folder), gives an empty list. A damaged file (shorter than its
// count promises, a negative count, a length byte above 50) gives the texts of its records up to
// the first unsound one; nothing past the file's end is read. Throws nothing but std::bad_alloc.
std::vector<std::string> ReadListFile(const std::string& path);

// Replaces the file at `path` with `texts`, each cut by CutListText; unused record bytes are
// zero. The old file is replaced only once the new one is complete, except in a folder that
// takes no new file, where a writable file is rewritten in place (os::WriteFileContents).
// Returns false when the file cannot be written. Throws nothing but std::bad_alloc.
bool WriteListFile(const std::string& path, const std::vector<std::string>& texts);

}  // namespace shared
