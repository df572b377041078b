#pragma once
// Bounds-checked reading of a database image held in memory: every read first asks whether
// the bytes are inside the image, so values read from a damaged file are never followed
// past its end.
#include <cstdint>
#include <span>
#include <string_view>

#include "engine/file_format.h"

namespace vesktool {

class ImageView {
  public:
    explicit ImageView(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::int64_t Size() const { return static_cast<std::int64_t>(bytes_.size()); }
    // True when [at, at + count) lies inside the image (count 0 included).
    bool Has(std::int64_t at, std::int64_t count) const {
        return at >= 0 && count >= 0 && at <= Size() && count <= Size() - at;
    }
    // The caller has checked Has(at, n) for the bytes it reads.
    const std::uint8_t* At(std::int64_t at) const { return bytes_.data() + at; }
    std::int32_t I32(std::int64_t at) const { return vesk::format::GetI32(At(at)); }

  private:
    std::span<const std::uint8_t> bytes_;
};

}  // namespace vesktool
