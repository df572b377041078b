#include "engine/file_mapping.h"

#include <sys/mman.h>

namespace vesk {

TReadOnlyFileMapping::TReadOnlyFileMapping(int fd, std::int64_t size) {
    if (fd < 0 || size <= 0)
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
