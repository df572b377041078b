#pragma once
// A local file descriptor that closes itself, and the text of a failed local file call.
#include <string>

namespace ftp {

class LocalFile {
  public:
    explicit LocalFile(int fd) : fd_(fd) {}  // takes ownership; -1 for none
    ~LocalFile();
    LocalFile(const LocalFile&) = delete;
    LocalFile& operator=(const LocalFile&) = delete;
    int Fd() const { return fd_; }

  private:
    int fd_;
};

// what + " \"" + path + "\": " + the text of errno.
std::string LocalErrorText(const char* what, const std::string& path);

}  // namespace ftp
