#pragma once
// The algorithm base classes of the engine's pluggable compression and encryption.
//
// An algorithm object turns a stream (or, for ciphers, a buffer) into its encoded form and back.
// Objects are made through an algorithm class (TAlgoClass), which the registries map to names.
// Progress is reported as a percentage through two optional events; Sender is the Owner.
#include <cstdint>
#include <functional>
#include <memory>

#include "engine/codec/data_process_owner.h"
#include "engine/stream.h"

namespace vesk {

using TOnProgressEvent = std::function<void(TDataProcessOwner* Sender, int Percent)>;

class TDataProcessAlgo {
  public:
    // Owner may be null; it is not owned.
    explicit TDataProcessAlgo(TDataProcessOwner* Owner) : owner_(Owner) {}
    virtual ~TDataProcessAlgo() = default;
    TDataProcessAlgo(const TDataProcessAlgo&) = delete;
    TDataProcessAlgo& operator=(const TDataProcessAlgo&) = delete;

    // DataSize bytes of Source into Dest (the meaning of DataSize and positions is each
    // algorithm's own). Throws what the algorithm or the streams throw.
    virtual void EncodeStream(TStream* Source, TStream* Dest, std::int64_t DataSize) = 0;
    virtual void DecodeStream(TStream* Source, TStream* Dest, std::int64_t DataSize) = 0;

    TDataProcessOwner* Owner() const { return owner_; }

    TOnProgressEvent OnEncodeProgress;
    TOnProgressEvent OnDecodeProgress;

    // The integer nearest to Current / Total * 100, a half going to the even neighbour;
    // 0 when Total is 0 or less.
    static int ProgressPercent(std::int64_t Current, std::int64_t Total);

  protected:
    enum class Direction { Encode, Decode };
    // Fires OnEncodeProgress or OnDecodeProgress (when assigned) with ProgressPercent.
    void DoProgress(Direction direction, std::int64_t Current, std::int64_t Total);

  private:
    TDataProcessOwner* owner_;
};

class TCompressAlgo : public TDataProcessAlgo {
  public:
    using TDataProcessAlgo::TDataProcessAlgo;
    virtual void SetLevel(std::uint8_t /*Value*/) {}
    virtual std::uint8_t GetLevel() const { return 1; }
};

// A cipher algorithm. EncodeStream and DecodeStream run ProcessStream: DataSize < 0 means the
// whole Source from its start, otherwise DataSize bytes from Source's position; Dest null means
// in place. The buffer operations continue the cipher's chain until Done restarts it.
class TEncryptAlgo : public TDataProcessAlgo {
  public:
    using TDataProcessAlgo::TDataProcessAlgo;

    void EncodeStream(TStream* Source, TStream* Dest, std::int64_t DataSize) override;
    void DecodeStream(TStream* Source, TStream* Dest, std::int64_t DataSize) override;

    // Throws EDatabaseError for a mode the cipher does not have.
    virtual void SetMode(std::uint8_t /*Value*/) {}
    virtual std::uint8_t GetMode() const { return 0; }
    virtual void InitKey(const std::string& Key) = 0;
    virtual void Done() {}
    // Source and Dest may be the same buffer; otherwise they must not overlap.
    virtual void EncodeBuffer(const void* Source, void* Dest, std::int64_t DataSize) = 0;
    virtual void DecodeBuffer(const void* Source, void* Dest, std::int64_t DataSize) = 0;

  protected:
    void ProcessStream(TStream* Source, TStream* Dest, std::int64_t DataSize, bool Encipher);
};

// An algorithm class: what the registries hold. Its identity is its address.
template <class Algo>
struct TAlgoClass {
    const char* ClassName;
    std::unique_ptr<Algo> (*Create)(TDataProcessOwner* Owner);
};

using TCompressAlgoClass = TAlgoClass<TCompressAlgo>;
using TEncryptAlgoClass = TAlgoClass<TEncryptAlgo>;

}  // namespace vesk
