#pragma once
// A read-only view of an open file from its first byte, for reads that touch a few bytes of
// many records or whole records many times: the page cache is read in place instead of being
// copied by a system call each time. The view may be longer than the file (room to grow).
//
// Only bytes inside the file may be read, and the file must not be cut below them while they
// are read (reading a page past the file's end faults): the owner reads only while it holds the
// database file's lock, which every writer takes, and only inside the size learnt under it. A
// view that cannot be made is empty (Data() nullptr) and the caller reads the file as before.
// Never throws.
#include <cstdint>

namespace vesk {

class TReadOnlyFileMapping {
  public:
    TReadOnlyFileMapping(int fd, std::int64_t size);
    ~TReadOnlyFileMapping();
    TReadOnlyFileMapping(const TReadOnlyFileMapping&) = delete;
    TReadOnlyFileMapping& operator=(const TReadOnlyFileMapping&) = delete;

    const std::uint8_t* Data() const { return data_; }
    std::int64_t Size() const { return data_ ? size_ : 0; }

  private:
    const std::uint8_t* data_ = nullptr;
    std::int64_t size_ = 0;
};

}  // namespace vesk
