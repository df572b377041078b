#pragma once
// SHA-0: the Secure Hash Algorithm as first published, without the rotation in the message
// expansion that SHA-1 added. The engine's password digests and cipher keys depend on exactly
// this form, so it must never become SHA-1.
#include "engine/codec/ripemd160_hash.h"

namespace vesk {

class THash_SHA : public THash_RipeMD160 {
  public:
    static std::unique_ptr<THash> New() { return std::make_unique<THash_SHA>(); }
    void Done() override;

  protected:
    void Transform(const std::uint8_t* Block) override;
};

}  // namespace vesk
