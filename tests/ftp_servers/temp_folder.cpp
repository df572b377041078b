#include "tests/ftp_servers/temp_folder.h"

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <vector>

namespace ftptest {

TempFolder::TempFolder(const std::string& tag) {
    std::string pattern = "/tmp/zantrope-" + tag + "-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) {
        throw std::runtime_error("cannot create a folder like " + pattern);
    }
    path_ = buffer.data();
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace ftptest
