#include "engine/db_error.h"

namespace vesk {

std::string FormatMessage(const std::string& pattern, const std::string& argument) {
    const size_t at = pattern.find("%s");
    if (at == std::string::npos)
        return pattern;
    return pattern.substr(0, at) + argument + pattern.substr(at + 2);
}

}  // namespace vesk
