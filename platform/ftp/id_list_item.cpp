#include "platform/ftp/id_list_item.h"

namespace ftp {

bool IsSafeLocalName(const std::string& name) {
    if (name.empty() || name == "." || name == "..")
        return false;
    // "/" would leave the target folder; NUL would cut the path short in every system call.
    return name.find('/') == std::string::npos && name.find('\0') == std::string::npos;
}

}  // namespace ftp
