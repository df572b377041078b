#include "engine/file_mapping.h"

#include <sys/mman.h>
#include <sys/stat.h>

namespace vesk {

TReadOnlyFileMapping::TReadOnlyFileMapping(int fd, std::int64_t size) {
    struct stat info {};
    // Never past the file's real end, whatever size the caller believes.
    if (fd < 0 || size <= 0 || ::fstat(fd, &info) != 0 || info.st_size < size)
        return;
    void* at = ::mmap(nullptr, static_cast<size_t>(size), PROT_READ, MAP_SHARED, fd, 0);
    if (at == MAP_FAILED)
        return;
    data_ = static_cast<const std::uint8_t*>(at);
    size_ = size;
}

TReadOnlyFileMapping::~TReadOnlyFileMapping() {
    if (data_ != nullptr)
        ::munmap(const_cast<std::uint8_t*>(data_), static_cast<size_t>(size_));
}

}  // namespace vesk
