#pragma once
// "The program's folder": where the running executable lies, with a trailing "/".
#include <string>

namespace os {

// The folder of /proc/self/exe, ending in "/". Falls back to the current directory when the
// link cannot be read. Never throws.
std::string ProgramFolder();

}  // namespace os
