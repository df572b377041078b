#pragma once
// File facts the program asks the operating system about.
#include <string>

namespace os {

// True when the file exists and has no write bit at all (the read-only attribute of the
// program's world). False when it is missing or writable by someone. Never throws.
bool IsReadOnlyFile(const std::string& path);

// True when a file (not a folder) of that name exists. Never throws.
bool FileExists(const std::string& path);

}  // namespace os
