#pragma once
// The initial P-array and S-boxes of the Blowfish key schedule (constants).
#include <cstdint>

namespace vesk::blowfish {

extern const std::uint32_t kInitialP[18];
extern const std::uint32_t kInitialS[4][256];

}  // namespace vesk::blowfish
