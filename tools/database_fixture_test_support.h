#pragma once
// For the tests of the database tool: a scratch folder, the independent fixture generator
// (tests/fixtures/make_database_fixture.py), which lays out database files from the format
// alone, and a runner of the tool's commands.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "tools/vesk_commands.h"

namespace vesktool::testing {

class ScratchFolder {
  public:
    ScratchFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "vesk_test_XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

// Runs the generator into folder (with one fault of the named kind when damage is not empty);
// returns the path of the database file it wrote.
inline std::string MakeFixture(const ScratchFolder& folder, const std::string& damage = {}) {
    const std::string command = std::string("/usr/bin/python3 ") + ZANTROPE_SOURCE_DIR +
                                "/tests/fixtures/make_database_fixture.py '" + (folder / "") + "'" +
                                (damage.empty() ? "" : " --damage " + damage);
    if (std::system(command.c_str()) != 0)
        throw std::runtime_error("generator failed: " + command);
    return folder / "fixture.dat";
}

inline std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// One run of the tool's commands in this process, with what it printed.
struct ToolRun {
    int code;
    std::string out, err;
};

inline ToolRun Vesk(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = RunVesk(args, out, err);
    return {code, out.str(), err.str()};
}

}  // namespace vesktool::testing
