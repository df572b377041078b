#include "engine/codec/twofish_cipher.h"

#include "engine/codec/twofish_core.h"

namespace vesk {

static_assert(twofish::kScheduleWords * 4 == 4256);

void TEnc_Twofish::SetupKey(const std::uint8_t* Key, int Size) {
    twofish::SetupKey(Key, Size, twofish::Variant::Engine, UserWords());
}

void TEnc_Twofish::Encode(std::uint8_t* Block) {
    twofish::Encrypt(UserWords(), twofish::Variant::Engine, Block);
}

void TEnc_Twofish::Decode(std::uint8_t* Block) {
    twofish::Decrypt(UserWords(), twofish::Variant::Engine, Block);
}

}  // namespace vesk
