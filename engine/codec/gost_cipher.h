#pragma once
// The 64-bit block cipher of the 28147-89 standard in its basic (simple substitution) form,
// with the S-box set of the 34.11-94 test parameters. Keys up to 32 bytes; a shorter key is
// the same key padded with zero bytes. Block bytes are read as little-endian words.
#include "engine/codec/encrypt.h"

namespace vesk {

class TEnc_Gost : public TEncrypt {
  public:
    TEnc_Gost() : TEncrypt(8, 32, 32) {}
    const char* ClassName() const override { return "TEnc_Gost"; }
    void Encode(std::uint8_t* Block) override;
    void Decode(std::uint8_t* Block) override;

  protected:
    void SetupKey(const std::uint8_t* Key, int Size) override;
};

}  // namespace vesk
