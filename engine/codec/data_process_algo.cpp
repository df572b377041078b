#include "engine/codec/data_process_algo.h"

#include <algorithm>
#include <vector>

namespace vesk {

int TDataProcessAlgo::ProgressPercent(std::int64_t Current, std::int64_t Total) {
    if (Total <= 0)
        return 0;
    const std::int64_t scaled = Current * 100;
    std::int64_t percent = scaled / Total;
    const std::int64_t twiceRest = (scaled % Total) * 2;
    if (twiceRest > Total || (twiceRest == Total && percent % 2 != 0))
        ++percent;
    return static_cast<int>(percent);
}

void TDataProcessAlgo::DoProgress(Direction direction, std::int64_t Current, std::int64_t Total) {
    const TOnProgressEvent& event =
        direction == Direction::Encode ? OnEncodeProgress : OnDecodeProgress;
    if (event)
        event(owner_, ProgressPercent(Current, Total));
}

void TEncryptAlgo::EncodeStream(TStream* Source, TStream* Dest, std::int64_t DataSize) {
    ProcessStream(Source, Dest, DataSize, true);
}

void TEncryptAlgo::DecodeStream(TStream* Source, TStream* Dest, std::int64_t DataSize) {
    ProcessStream(Source, Dest, DataSize, false);
}

void TEncryptAlgo::ProcessStream(TStream* Source, TStream* Dest, std::int64_t DataSize,
                                 bool Encipher) {
    if (Source == nullptr)
        return;
    if (Dest == nullptr)
        Dest = Source;
    const Direction direction = Encipher ? Direction::Encode : Direction::Decode;
    if (DataSize < 0) {
        DataSize = Source->Size();
        Source->SetPosition(0);
    }
    // 4096 is a multiple of every block size, so the chain runs on across pieces exactly as
    // over one buffer. Read and write positions are kept apart so Source may be Dest.
    constexpr std::int64_t kPiece = 4096;
    struct ClosingProgress {
        TEncryptAlgo* self;
        Direction direction;
        ~ClosingProgress() { self->DoProgress(direction, 0, 0); }
    } closing{this, direction};

    DoProgress(direction, 0, DataSize);
    std::vector<std::uint8_t> piece(kPiece);
    std::int64_t readAt = Source->Position();
    std::int64_t writeAt = Dest->Position();
    std::int64_t remaining = DataSize;
    while (remaining > 0) {
        Source->SetPosition(readAt);
        const std::int64_t got = Source->Read(piece.data(), std::min(remaining, kPiece));
        readAt = Source->Position();
        if (got <= 0)
            break;
        if (Encipher)
            EncodeBuffer(piece.data(), piece.data(), got);
        else
            DecodeBuffer(piece.data(), piece.data(), got);
        Dest->SetPosition(writeAt);
        Dest->WriteBuffer(piece.data(), got);
        writeAt = Dest->Position();
        remaining -= got;
        DoProgress(direction, DataSize - remaining, DataSize);
    }
    std::fill(piece.begin(), piece.end(), 0);
}

}  // namespace vesk
