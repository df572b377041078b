#include "engine/codec/data_process_mgr.h"

#include "engine/db_error.h"

namespace vesk {

int TDataProcessMgr::CheckAlgoName(const std::string& /*Name*/) const {
    return -1;
}

void TDataProcessMgr::EncodeStream(TStream* Source, TStream* Dest, std::int64_t DataSize) {
    RequireAlgo().EncodeStream(Source, Dest, DataSize);
}

void TDataProcessMgr::DecodeStream(TStream* Source, TStream* Dest, std::int64_t DataSize) {
    RequireAlgo().DecodeStream(Source, Dest, DataSize);
}

TDataProcessAlgo& TDataProcessMgr::RequireAlgo() const {
    if (!algo_)
        throw EDatabaseError("General error");
    return *algo_;
}

void TDataProcessMgr::Install(std::unique_ptr<TDataProcessAlgo> algo, const void* algoClass) {
    algo_.reset();
    algoClass_ = nullptr;
    algo_ = std::move(algo);
    algoClass_ = algoClass;
}

}  // namespace vesk
