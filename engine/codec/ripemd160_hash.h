#pragma once
// RIPEMD-160 on the block buffering of THash_MD4.
#include "engine/codec/md4_hash.h"

namespace vesk {

class THash_RipeMD160 : public THash_MD4 {
  public:
    static std::unique_ptr<THash> New() { return std::make_unique<THash_RipeMD160>(); }
    void Done() override;
    int DigestKeySize() const override { return 20; }

  protected:
    void Transform(const std::uint8_t* Block) override;
};

}  // namespace vesk
