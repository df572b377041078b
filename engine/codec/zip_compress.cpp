#include "engine/codec/zip_compress.h"

#include <zlib.h>

#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <vector>

#include "engine/codec/byte_order.h"

namespace vesk {
namespace {

const char* const kCannotCompress = "Cannot Compress.";
const char* const kCannotUncompress = "Cannot Uncompress.";

std::unique_ptr<TCompressAlgo> CreateZip(TDataProcessOwner* owner) {
    return std::make_unique<TCompAlgo_Zip>(owner);
}

void WriteLength(TStream& out, std::int32_t length) {
    std::uint8_t bytes[4];
    codec::StoreLE32(bytes, static_cast<std::uint32_t>(length));
    out.WriteBuffer(bytes, 4);
}

std::int32_t ReadLength(TStream& in) {
    std::uint8_t bytes[4];
    in.ReadBuffer(bytes, 4);
    return static_cast<std::int32_t>(codec::LoadLE32(bytes));
}

// Where the output goes: Dest itself, or a temporary stream when Dest is also the Source, so
// that a failure leaves the shared stream as it was.
class Output {
  public:
    Output(TStream* source, TStream* dest) : dest_(dest) {
        if (source == dest) {
            temporary_ = std::make_unique<TMemoryStream>();
        } else {
            dest_->SetSize(0);
            dest_->SetPosition(0);
        }
    }
    TStream& Stream() { return temporary_ ? *temporary_ : *dest_; }
    void Finish() {
        if (!temporary_)
            return;
        dest_->SetSize(0);
        dest_->SetPosition(0);
        dest_->CopyFrom(*temporary_, 0);
    }

  private:
    TStream* dest_;
    std::unique_ptr<TMemoryStream> temporary_;
};

}  // namespace

const TCompressAlgoClass& TCompAlgo_Zip::Class() {
    static const TCompressAlgoClass algoClass{"TCompAlgo_Zip", &CreateZip};
    return algoClass;
}

int TCompAlgo_Zip::GetZipLevel(std::uint8_t Level) {
    switch (Level) {
        case 0:
            return 9;
        case 2:
            return 5;
        case 3:
            return 1;
        default:
            return Z_DEFAULT_COMPRESSION;
    }
}

void TCompAlgo_Zip::EncodeStream(TStream* Source, TStream* Dest, std::int64_t DataSize) {
    struct ClosingProgress {
        TCompAlgo_Zip* self;
        ~ClosingProgress() { self->DoProgress(Direction::Encode, 0, 0); }
    } closing{this};
    if (Source == nullptr || Dest == nullptr)
        throw std::runtime_error(kCannotCompress);
    Source->SetPosition(0);
    Dest->SetPosition(0);
    Output output(Source, Dest);
    std::vector<Bytef> input(ChunkSize);
    std::vector<Bytef> packed(ChunkSize);
    std::int64_t pos = 0;
    while (pos < DataSize) {
        DoProgress(Direction::Encode, pos, DataSize);
        const auto n = static_cast<std::int32_t>(std::min<std::int64_t>(ChunkSize, DataSize - pos));
        Source->ReadBuffer(input.data(), n);
        uLongf packedSize = ChunkSize;
        const int rc = compress2(packed.data(), &packedSize, input.data(), static_cast<uLong>(n),
                                 GetZipLevel(level_));
        if (rc != Z_OK && rc != Z_BUF_ERROR)
            throw std::runtime_error(kCannotCompress);
        if (rc == Z_OK && packedSize < static_cast<uLongf>(n)) {
            WriteLength(output.Stream(), static_cast<std::int32_t>(packedSize));
            output.Stream().WriteBuffer(packed.data(), static_cast<std::int64_t>(packedSize));
        } else {
            WriteLength(output.Stream(), -n);
            output.Stream().WriteBuffer(input.data(), n);
        }
        pos += n;
    }
    output.Finish();
    DoProgress(Direction::Encode, pos, DataSize);
}

void TCompAlgo_Zip::DecodeStream(TStream* Source, TStream* Dest, std::int64_t DataSize) {
    struct ClosingProgress {
        TCompAlgo_Zip* self;
        ~ClosingProgress() { self->DoProgress(Direction::Decode, 0, 0); }
    } closing{this};
    if (Source == nullptr || Dest == nullptr)
        throw std::runtime_error(kCannotUncompress);
    Source->SetPosition(0);
    Dest->SetPosition(0);
    Output output(Source, Dest);
    std::vector<Bytef> input(ChunkSize);
    std::vector<Bytef> plain(ChunkSize);
    std::int64_t pos = 0;
    while (pos < DataSize) {
        DoProgress(Direction::Decode, pos, DataSize);
        const std::int64_t length = ReadLength(*Source);
        const std::int64_t size = std::llabs(length);
        // Only a damaged file holds such a chunk: refuse it rather than read past the piece
        // buffer or past the stored bytes.
        if (length == 0 || size > ChunkSize || pos + 4 + size > DataSize)
            throw std::runtime_error(kCannotUncompress);
        if (Source->Read(input.data(), size) != size)
            throw std::runtime_error(kCannotUncompress);
        if (length > 0) {
            uLongf plainSize = ChunkSize;
            if (uncompress(plain.data(), &plainSize, input.data(), static_cast<uLong>(size)) !=
                Z_OK)
                throw std::runtime_error(kCannotUncompress);
            output.Stream().WriteBuffer(plain.data(), static_cast<std::int64_t>(plainSize));
        } else {
            output.Stream().WriteBuffer(input.data(), size);
        }
        pos += size + 4;
    }
    output.Finish();
    DoProgress(Direction::Decode, pos, DataSize);
}

}  // namespace vesk
