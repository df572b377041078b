#pragma once
// For tests and benchmarks only: a private folder under /tmp that is removed with everything in
// it when the object goes. Header-only, so that the benchmarks, which build without the test
// libraries, can use it too.
#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>

namespace os::testing {

class TempFolder {
  public:
    // Creates /tmp/zantrope-<tag>-XXXXXX. Throws std::runtime_error on failure.
    explicit TempFolder(const std::string& tag) {
        std::string pattern = "/tmp/zantrope-" + tag + "-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot create a folder like /tmp/zantrope-" + tag +
                                     "-XXXXXX");
        path_ = pattern;
    }
    // Removes the folder tree; never throws.
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder's path, without a trailing "/".
    const std::string& path() const { return path_; }
    // path() + "/" + name.
    std::string File(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

}  // namespace os::testing
