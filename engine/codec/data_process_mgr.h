#pragma once
// The root of the per-database algorithm managers. A manager picks its algorithm class by name
// from a registry, owns the one algorithm object it made and runs it.
#include <cstdint>
#include <memory>
#include <string>

#include "engine/codec/data_process_algo.h"

namespace vesk {

class TDataProcessMgr {
  public:
    // Owner (the file access object) may be null; it is not owned.
    explicit TDataProcessMgr(TDataProcessOwner* Owner) : owner_(Owner) {}
    virtual ~TDataProcessMgr() = default;
    TDataProcessMgr(const TDataProcessMgr&) = delete;
    TDataProcessMgr& operator=(const TDataProcessMgr&) = delete;

    // The registry index of Name; -1 here. Descendants throw EDatabaseError when it is absent.
    virtual int CheckAlgoName(const std::string& Name) const;
    // Chooses the algorithm by name; throws EDatabaseError for a name that is not registered.
    // Choosing the class already in use keeps the existing object with its settings.
    virtual void SetAlgoName(const std::string& Name) = 0;

    // The algorithm object's EncodeStream / DecodeStream; EDatabaseError "General error" when
    // no algorithm was chosen. Whatever the algorithm throws passes unchanged.
    virtual void EncodeStream(TStream* Source, TStream* Dest, std::int64_t DataSize);
    virtual void DecodeStream(TStream* Source, TStream* Dest, std::int64_t DataSize);

    TDataProcessOwner* Owner() const { return owner_; }
    // The current algorithm object, or null. Owned by the manager.
    TDataProcessAlgo* Algo() const { return algo_.get(); }

  protected:
    // The current object; throws EDatabaseError "General error" when there is none.
    TDataProcessAlgo& RequireAlgo() const;
    // True when the current object was made from algoClass.
    bool Holds(const void* algoClass) const { return algo_ && algoClass_ == algoClass; }
    // Replaces the current object (the old one is freed first).
    void Install(std::unique_ptr<TDataProcessAlgo> algo, const void* algoClass);

  private:
    TDataProcessOwner* owner_;
    std::unique_ptr<TDataProcessAlgo> algo_;
    const void* algoClass_ = nullptr;
};

}  // namespace vesk
