#include "tests/pages/transfer_page_rig.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>

#include "tests/ftp_servers/file_bytes.h"

namespace pagetest {

std::string Fingerprint(const std::string& bytes) {
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (const unsigned char byte : bytes)
        hash = (hash ^ byte) * 1099511628211ull;
    return std::to_string(bytes.size()) + " bytes, " + std::to_string(hash);
}

void MakeSampleTree(const std::string& root) {
    for (const char* folder :
         {"/empty folder", "/level 1", "/level 1/level 2", "/level 1/level 2/empty 3"})
        ::mkdir((root + folder).c_str(), 0755);
    ftptest::WriteFileBytes(root + "/a file.txt", ftptest::RandomBytes(5000, 1));
    ftptest::WriteFileBytes(root + "/zero.bin", "");
    ftptest::WriteFileBytes(root + "/level 1/b.bin", ftptest::RandomBytes(70001, 2));
    ftptest::WriteFileBytes(root + "/level 1/level 2/c d.txt", ftptest::RandomBytes(123, 3));
}

std::map<std::string, std::string> TreeOf(const std::string& root) {
    namespace fs = std::filesystem;
    std::map<std::string, std::string> tree;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
         ++it) {
        const std::string relative = fs::relative(it->path(), root).string();
        if (it->is_symlink())
            tree[relative] = "<link>";
        else if (it->is_directory())
            tree[relative] = "<folder>";
        else
            tree[relative] = Fingerprint(ftptest::ReadFileBytes(it->path().string()));
    }
    return tree;
}

std::vector<std::string> NamesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string ListingReply(const std::string& lines) {
    return R"(["150 Here it comes", {"data_send": ")" + lines + R"("}, "226 Done"])";
}

}  // namespace pagetest
