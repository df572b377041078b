#pragma once
// The two checksum classes of the digest family (4-byte digests, little-endian).
//
// THash_XOR32: a rotate-and-xor of 16-bit little-endian words; each Calc pairs its own bytes
// (an odd Size first folds bytes 0 and 1 in without rotation, then pairs from byte 1; a lone
// byte pairs with zero). THash_CRC32: the standard CRC-32 (reflected polynomial EDB88320).
#include <cstdint>

#include "engine/codec/hash.h"

namespace vesk {

class THash_XOR32 : public THash {
  public:
    static std::unique_ptr<THash> New() { return std::make_unique<THash_XOR32>(); }
    ~THash_XOR32() override;

    void Init() override;
    void Calc(const void* Data, std::int64_t Size) override;
    std::uint8_t* DigestKey() override;
    int DigestKeySize() const override { return 4; }

  protected:
    std::uint32_t value_ = 0;

  private:
    std::uint8_t digest_[4] = {};
};

class THash_CRC32 : public THash_XOR32 {
  public:
    static std::unique_ptr<THash> New() { return std::make_unique<THash_CRC32>(); }

    void Init() override;
    void Calc(const void* Data, std::int64_t Size) override;
    void Done() override;
};

// The CRC-32 of Size bytes at Buffer (0 for none).
std::uint32_t CalcCRC32(const void* Buffer, std::int64_t Size);

}  // namespace vesk
