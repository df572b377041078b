#pragma once
// The engine's 128-bit block cipher built from the parts of Twofish (not Twofish itself: its
// odd subkeys and its 15 cycles differ, see twofish_core.h). Keys up to 32 bytes. Data stored
// by the engine can be read back only with exactly this computation.
#include "engine/codec/encrypt.h"

namespace vesk {

class TEnc_Twofish : public TEncrypt {
  public:
    TEnc_Twofish() : TEncrypt(16, 32, 4256) {}
    const char* ClassName() const override { return "TEnc_Twofish"; }
    void Encode(std::uint8_t* Block) override;
    void Decode(std::uint8_t* Block) override;

  protected:
    void SetupKey(const std::uint8_t* Key, int Size) override;
};

}  // namespace vesk
