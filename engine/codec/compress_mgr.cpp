#include "engine/codec/compress_mgr.h"

#include "engine/codec/algo_registry.h"
#include "engine/db_error.h"

namespace vesk {

int TCompressMgr::CheckAlgoName(const std::string& Name) const {
    const int index = FindCompressClass(Name);
    if (index < 0)
        throw EDatabaseError(FormatMessage("Compression algorithm module '%s' not found", Name));
    return index;
}

void TCompressMgr::SetAlgoName(const std::string& Name) {
    const TCompressAlgoClass* algoClass = CompressClassAt(CheckAlgoName(Name));
    if (Holds(algoClass))
        return;
    std::unique_ptr<TCompressAlgo> algo = algoClass->Create(Owner());
    if (TDataProcessOwner* owner = Owner()) {
        algo->OnEncodeProgress = [owner](TDataProcessOwner* sender, int percent) {
            owner->DoCompressProgress(sender, percent);
        };
        algo->OnDecodeProgress = [owner](TDataProcessOwner* sender, int percent) {
            owner->DoUncompressProgress(sender, percent);
        };
    }
    Install(std::move(algo), algoClass);
}

TCompressAlgo* TCompressMgr::CompressAlgo() const {
    return static_cast<TCompressAlgo*>(Algo());
}

}  // namespace vesk
