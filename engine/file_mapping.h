#pragma once
// A read-only view of the first bytes of an open file, for scans that touch a few bytes of
// many records: the page cache is read in place instead of being copied block by block.
//
// The file must not be cut while the view exists (reading a page past the file's end would
// fault): the owner holds the database file's lock, which every writer takes, for the view's
// whole life. A view that cannot be made is empty (Data() nullptr) and the caller reads the
// file as before. Never throws.
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
