#include "engine/codec/encrypt_mgr.h"

#include "engine/codec/algo_registry.h"
#include "engine/db_error.h"

namespace vesk {

int TEncryptMgr::CheckAlgoName(const std::string& Name) const {
    const int index = FindEncryptClass(Name);
    if (index < 0)
        throw EDatabaseError(FormatMessage("Encryption algorithm module '%s' not found", Name));
    return index;
}

void TEncryptMgr::SetAlgoName(const std::string& Name) {
    const TEncryptAlgoClass* algoClass = EncryptClassAt(CheckAlgoName(Name));
    if (Holds(algoClass))
        return;
    std::unique_ptr<TEncryptAlgo> algo = algoClass->Create(Owner());
    if (TDataProcessOwner* owner = Owner()) {
        algo->OnEncodeProgress = [owner](TDataProcessOwner* sender, int percent) {
            owner->DoEncryptProgress(sender, percent);
        };
        algo->OnDecodeProgress = [owner](TDataProcessOwner* sender, int percent) {
            owner->DoDecryptProgress(sender, percent);
        };
    }
    Install(std::move(algo), algoClass);
}

TEncryptAlgo* TEncryptMgr::EncryptAlgo() const {
    return static_cast<TEncryptAlgo*>(Algo());
}

TEncryptAlgo& TEncryptMgr::RequireCipher() const {
    return static_cast<TEncryptAlgo&>(RequireAlgo());
}

// A failed operation leaves the chain wherever it stopped; restarting it anyway keeps the
// next value from being enciphered as the continuation of a broken one.
template <class Operation>
void TEncryptMgr::AsOneChain(Operation&& operation) {
    TEncryptAlgo& cipher = RequireCipher();
    try {
        operation(cipher);
    } catch (...) {
        cipher.Done();
        throw;
    }
    cipher.Done();
}

void TEncryptMgr::EncodeStream(TStream* Source, TStream* Dest, std::int64_t DataSize) {
    AsOneChain([&](TEncryptAlgo& cipher) { cipher.EncodeStream(Source, Dest, DataSize); });
}

void TEncryptMgr::DecodeStream(TStream* Source, TStream* Dest, std::int64_t DataSize) {
    AsOneChain([&](TEncryptAlgo& cipher) { cipher.DecodeStream(Source, Dest, DataSize); });
}

void TEncryptMgr::EncodeBuffer(const void* Source, void* Dest, std::int64_t DataSize) {
    AsOneChain([&](TEncryptAlgo& cipher) { cipher.EncodeBuffer(Source, Dest, DataSize); });
}

void TEncryptMgr::DecodeBuffer(const void* Source, void* Dest, std::int64_t DataSize) {
    AsOneChain([&](TEncryptAlgo& cipher) { cipher.DecodeBuffer(Source, Dest, DataSize); });
}

void TEncryptMgr::SetMode(std::uint8_t Value) {
    RequireCipher().SetMode(Value);
}

void TEncryptMgr::InitKey(const std::string& Password) {
    RequireCipher().InitKey(Password);
}

void TEncryptMgr::Done() {
    RequireCipher().Done();
}

}  // namespace vesk
