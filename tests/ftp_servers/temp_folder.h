#pragma once
// A private folder under /tmp that is removed with everything in it when the object goes.
#include <string>

namespace ftptest {

class TempFolder {
  public:
    // Creates /tmp/zantrope-<tag>-XXXXXX. Throws std::runtime_error on failure.
    explicit TempFolder(const std::string& tag);
    // Removes the folder tree; never throws.
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder's path, without a trailing "/".
    const std::string& path() const { return path_; }
    // path() + "/" + name.
    std::string File(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

}  // namespace ftptest
