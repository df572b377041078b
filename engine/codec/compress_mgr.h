#pragma once
// The compression manager of one open database: chooses the compression algorithm by name
// from the compression registry.
#include "engine/codec/data_process_mgr.h"

namespace vesk {

class TCompressMgr : public TDataProcessMgr {
  public:
    using TDataProcessMgr::TDataProcessMgr;

    // Throws EDatabaseError "Compression algorithm module '<Name>' not found".
    int CheckAlgoName(const std::string& Name) const override;
    // With an Owner, the new object's encode and decode progress go to the Owner's
    // DoCompressProgress and DoUncompressProgress.
    void SetAlgoName(const std::string& Name) override;

    // The current object as a compression algorithm, or null.
    TCompressAlgo* CompressAlgo() const;
};

}  // namespace vesk
