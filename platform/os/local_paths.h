#pragma once
// What the program asks of a local path again and again: is it a folder, is it a regular file
// and how long, and its last part and folder part. Paths use "/"; symbolic links are followed.
#include <cstdint>
#include <string>

namespace os {

// True when `path` names an existing folder (an empty path names none). Never throws.
bool IsFolder(const std::string& path);
// The size of the regular file at `path`; -1 when there is none (missing, a folder, a device).
// Never throws.
std::int64_t RegularFileSize(const std::string& path);
inline bool IsRegularFile(const std::string& path) {
    return RegularFileSize(path) >= 0;
}

// The part after the last "/" ("/a/b.txt" -> "b.txt"); the whole text when it holds no "/".
std::string FileNamePart(const std::string& path);
// The part up to and including the last "/" ("/a/b.txt" -> "/a/"); "" when it holds no "/".
std::string FolderPart(const std::string& path);

}  // namespace os
