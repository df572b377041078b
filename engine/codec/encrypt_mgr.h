#pragma once
// The encryption manager of one open database: chooses the cipher by name from the encryption
// registry and runs every operation as one fresh chain: after each stream or buffer operation,
// also a failed one, the cipher's chain is restarted (Done).
#include "engine/codec/data_process_mgr.h"

namespace vesk {

class TEncryptMgr : public TDataProcessMgr {
  public:
    using TDataProcessMgr::TDataProcessMgr;

    // Throws EDatabaseError "Encryption algorithm module '<Name>' not found".
    int CheckAlgoName(const std::string& Name) const override;
    // With an Owner, the new object's encode and decode progress go to the Owner's
    // DoEncryptProgress and DoDecryptProgress. The same class again keeps mode and key.
    void SetAlgoName(const std::string& Name) override;

    // EDatabaseError "General error" without a cipher; cipher errors pass unchanged.
    void EncodeStream(TStream* Source, TStream* Dest, std::int64_t DataSize) override;
    void DecodeStream(TStream* Source, TStream* Dest, std::int64_t DataSize) override;
    virtual void EncodeBuffer(const void* Source, void* Dest, std::int64_t DataSize);
    virtual void DecodeBuffer(const void* Source, void* Dest, std::int64_t DataSize);

    // "General error" without a cipher. SetMode throws EDatabaseError for a mode outside 0..4.
    void SetMode(std::uint8_t Value);
    void InitKey(const std::string& Password);
    void Done();

    // The current object as a cipher algorithm, or null.
    TEncryptAlgo* EncryptAlgo() const;

  private:
    TEncryptAlgo& RequireCipher() const;
    // Runs one operation on the cipher and restarts its chain afterwards, also on failure.
    template <class Operation>
    void AsOneChain(Operation&& operation);
};

}  // namespace vesk
