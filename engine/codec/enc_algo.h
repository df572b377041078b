#pragma once
// The cipher adapters the encryption registry holds: each runs one cipher object of the
// block-cipher framework behind the encryption algorithm interface. The engine sets the mode,
// then the key (from the password, without an initialisation vector).
#include <memory>

#include "engine/codec/data_process_algo.h"
#include "engine/codec/encrypt.h"

namespace vesk {

class TEncAlgo_Base : public TEncryptAlgo {
  public:
    // Takes ownership of the cipher (not null).
    TEncAlgo_Base(TDataProcessOwner* Owner, std::unique_ptr<TEncrypt> Cipher);

    // Throws EDatabaseError for a mode above 4 (the mode is then unchanged).
    void SetMode(std::uint8_t Value) override { cipher_->SetMode(Value); }
    std::uint8_t GetMode() const override { return cipher_->Mode(); }
    void InitKey(const std::string& Key) override { cipher_->InitKey(Key, nullptr); }
    void Done() override { cipher_->Done(); }
    void EncodeBuffer(const void* Source, void* Dest, std::int64_t DataSize) override {
        cipher_->EncodeBuffer(Source, Dest, DataSize);
    }
    void DecodeBuffer(const void* Source, void* Dest, std::int64_t DataSize) override {
        cipher_->DecodeBuffer(Source, Dest, DataSize);
    }

    TEncrypt& Cipher() const { return *cipher_; }

  private:
    std::unique_ptr<TEncrypt> cipher_;
};

class TEncAlgo_Blowfish : public TEncAlgo_Base {
  public:
    explicit TEncAlgo_Blowfish(TDataProcessOwner* Owner);
    static const TEncryptAlgoClass& Class();
};

class TEncAlgo_Twofish : public TEncAlgo_Base {
  public:
    explicit TEncAlgo_Twofish(TDataProcessOwner* Owner);
    static const TEncryptAlgoClass& Class();
};

class TEncAlgo_Gost : public TEncAlgo_Base {
  public:
    explicit TEncAlgo_Gost(TDataProcessOwner* Owner);
    static const TEncryptAlgoClass& Class();
};

}  // namespace vesk
