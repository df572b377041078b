#pragma once
// The 64-bit Blowfish block cipher (16 rounds). Keys of 1 to 56 bytes, repeated cyclically in
// the schedule; an empty key is refused. The block halves are big-endian words.
// User holds the four S-boxes (4 x 256 words) and then the P-array (18 words).
#include "engine/codec/encrypt.h"

namespace vesk {

class TEnc_Blowfish : public TEncrypt {
  public:
    TEnc_Blowfish() : TEncrypt(8, 56, 4168) {}
    const char* ClassName() const override { return "TEnc_Blowfish"; }
    void Encode(std::uint8_t* Block) override;
    void Decode(std::uint8_t* Block) override;

  protected:
    // Throws EEncryptException (kInvalidKey) for an empty key.
    void SetupKey(const std::uint8_t* Key, int Size) override;

  private:
    void EncodeHalves(std::uint32_t& left, std::uint32_t& right) const;
    std::uint32_t F(std::uint32_t x) const;
};

}  // namespace vesk
