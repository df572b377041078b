#pragma once
// Private-profile (INI) routines for the window-layout file: section names in square brackets,
// then "key=value" lines. Section and key names compare with ASCII case folded; values are
// text. The file is opened for each call and never held open.
//
// Values that would not survive a plain "key=value" line (leading or trailing blanks, line
// breaks, a leading double quote) are written in double quotes with backslash escapes, so that
// every value written reads back exactly.
#include <stdexcept>
#include <string>

namespace os {

// Raised when a profile file cannot be written. what() is "Unable to write to <path>".
class ProfileWriteError : public std::runtime_error {
  public:
    explicit ProfileWriteError(const std::string& path);
};

// The value of `key` in `section` of the file at `path`, or `defaultValue` when the file, the
// section or the key is missing or the file cannot be read. Blanks around the value are not
// part of it. Never throws.
std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue, const std::string& path);

// The value read as a 32-bit integer (optional sign and decimal digits, blanks around allowed),
// or `defaultValue` when it is missing or not such a number. Never throws.
int GetPrivateProfileInt(const std::string& section, const std::string& key, int defaultValue,
                         const std::string& path);

// Sets `key` in `section` to `value`, creating the file, the section or the key as needed and
// keeping every other line of the file. The new file replaces the old one only once it is
// written completely. Throws ProfileWriteError when the file cannot be read back or written
// (the old file is then left as it was), std::invalid_argument for a section or key name that
// cannot be stored (empty, blanks at its ends, a line break, "]" in a section, "=" in a key).
void WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& path);

}  // namespace os
