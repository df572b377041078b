#include "engine/codec/enc_algo.h"

#include "engine/codec/blowfish_cipher.h"
#include "engine/codec/gost_cipher.h"
#include "engine/codec/twofish_cipher.h"

namespace vesk {
namespace {

template <class Adapter>
std::unique_ptr<TEncryptAlgo> Create(TDataProcessOwner* owner) {
    return std::make_unique<Adapter>(owner);
}

}  // namespace

TEncAlgo_Base::TEncAlgo_Base(TDataProcessOwner* Owner, std::unique_ptr<TEncrypt> Cipher)
    : TEncryptAlgo(Owner), cipher_(std::move(Cipher)) {}

TEncAlgo_Blowfish::TEncAlgo_Blowfish(TDataProcessOwner* Owner)
    : TEncAlgo_Base(Owner, std::make_unique<TEnc_Blowfish>()) {}

const TEncryptAlgoClass& TEncAlgo_Blowfish::Class() {
    static const TEncryptAlgoClass algoClass{"TEncAlgo_Blowfish", &Create<TEncAlgo_Blowfish>};
    return algoClass;
}

TEncAlgo_Twofish::TEncAlgo_Twofish(TDataProcessOwner* Owner)
    : TEncAlgo_Base(Owner, std::make_unique<TEnc_Twofish>()) {}

const TEncryptAlgoClass& TEncAlgo_Twofish::Class() {
    static const TEncryptAlgoClass algoClass{"TEncAlgo_Twofish", &Create<TEncAlgo_Twofish>};
    return algoClass;
}

TEncAlgo_Gost::TEncAlgo_Gost(TDataProcessOwner* Owner)
    : TEncAlgo_Base(Owner, std::make_unique<TEnc_Gost>()) {}

const TEncryptAlgoClass& TEncAlgo_Gost::Class() {
    static const TEncryptAlgoClass algoClass{"TEncAlgo_Gost", &Create<TEncAlgo_Gost>};
    return algoClass;
}

}  // namespace vesk
