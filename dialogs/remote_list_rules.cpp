#include "dialogs/remote_list_rules.h"

#include "connection/rdatalist.h"
#include "platform/os/collation.h"

namespace dialogs {

std::string FileExtension(const std::string& name) {
    const std::string::size_type dot = name.find_last_of(".\\:");
    if (dot == std::string::npos || name[dot] != '.')
        return {};
    return name.substr(dot);
}

bool FilterRemoves(const rdatalist& entry, const std::string& pattern) {
    if (pattern == "*.*" || entry.isfile != 1)
        return false;
    return "*" + FileExtension(entry.name) != pattern;
}

bool FindMatches(const std::string& name, const std::string& text, bool caseSensitive,
                 bool wholeName) {
    if (text.empty())
        return false;
    if (caseSensitive)
        return wholeName ? name == text : name.find(text) != std::string::npos;
    const std::string folded = os::AsciiUpperText(name);
    const std::string wanted = os::AsciiUpperText(text);
    return wholeName ? folded == wanted : folded.find(wanted) != std::string::npos;
}

}  // namespace dialogs
