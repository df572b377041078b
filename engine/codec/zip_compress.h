#pragma once
// "ZIP" compression: the stored form is a run of chunks, one per 65,536-byte input piece, each
// a signed little-endian 32-bit length L followed by abs(L) bytes: L > 0 a zlib stream of the
// piece, L < 0 the piece stored as it is. An empty input has no chunk; L = 0 is never written.
//
// Failures: "Cannot Compress." / "Cannot Uncompress." as std::runtime_error (not database
// errors), "Stream read error" (EStreamError) for a length word cut short. A damaged chunk
// (L over 65,536 in magnitude, data shorter than abs(L) or reaching past DataSize, bad zlib
// data) is refused with "Cannot Uncompress.". Dest keeps what was written before an error;
// when Source is Dest its content is unchanged.
#include <cstdint>

#include "engine/codec/data_process_algo.h"

namespace vesk {

class TCompAlgo_Zip : public TCompressAlgo {
  public:
    static constexpr std::int32_t ChunkSize = 65536;

    explicit TCompAlgo_Zip(TDataProcessOwner* Owner) : TCompressAlgo(Owner) {}
    static const TCompressAlgoClass& Class();

    // The first DataSize bytes of Source (read from its start; Source must hold them) into
    // Dest, whose previous content is discarded. Source may be Dest.
    void EncodeStream(TStream* Source, TStream* Dest, std::int64_t DataSize) override;
    // DataSize stored bytes from Source's start, decoded into Dest (emptied first).
    void DecodeStream(TStream* Source, TStream* Dest, std::int64_t DataSize) override;

    void SetLevel(std::uint8_t Value) override { level_ = Value; }
    std::uint8_t GetLevel() const override { return level_; }

    // The zlib compression level for a level code.
    static int GetZipLevel(std::uint8_t Level);

  private:
    std::uint8_t level_ = 1;
};

}  // namespace vesk
