#pragma once
// MD4, and the root of the message-digest chain THash_MD4 -> THash_RipeMD160 -> THash_SHA:
// one block buffering and state layout, each class with its own compression function.
#include <cstdint>

#include "engine/codec/hash.h"

namespace vesk {

class THash_MD4 : public THash {
  public:
    static std::unique_ptr<THash> New() { return std::make_unique<THash_MD4>(); }
    ~THash_MD4() override;

    void Init() override;
    void Calc(const void* Data, std::int64_t Size) override;
    void Done() override;
    std::uint8_t* DigestKey() override { return digest_; }
    int DigestKeySize() const override { return 16; }

  protected:
    // The compression function over one 64-byte block.
    virtual void Transform(const std::uint8_t* Block);
    // Pads the last block and writes the bit length (little- or big-endian).
    void Finish(bool bigEndianLength);

    std::uint64_t count_ = 0;  // message bytes so far
    std::uint8_t buffer_[64] = {};
    std::uint32_t state_[10] = {};
    std::uint8_t digest_[20] = {};
};

}  // namespace vesk
