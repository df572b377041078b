// The codec glue of TVeskDBFileIO: the one place stored values pass through compression and
// encryption.
#include "engine/db_error.h"
#include "engine/db_file_io.h"

#include <cstring>

namespace vesk {

namespace {

// Empties dest unless it is the source itself (an in-place pass).
void ClearDest(TStream& source, TStream& dest) {
    if (&dest == &source)
        return;
    dest.SetSize(0);
    dest.SetPosition(0);
}

[[noreturn]] void NoCodec() {
    throw EDatabaseError("The codecs of this database are not available");
}

}  // namespace

void TVeskDBFileIO::DecodeStream(TStream& source, TStream& dest, bool decrypt, bool decompress) {
    std::lock_guard<std::mutex> guard(codecLock_);
    source.SetPosition(0);
    if (decrypt || decompress)
        NoCodec();
    if (&dest != &source) {
        ClearDest(source, dest);
        dest.CopyFrom(source, 0);
    }
}

void TVeskDBFileIO::EncodeStream(TStream& source, TStream& dest, bool encrypt, bool compress) {
    std::lock_guard<std::mutex> guard(codecLock_);
    source.SetPosition(0);
    if (encrypt || compress)
        NoCodec();
    if (&dest != &source) {
        ClearDest(source, dest);
        dest.CopyFrom(source, 0);
    }
}

void TVeskDBFileIO::EncodeBuffer(const std::uint8_t* source, std::uint8_t* dest, std::int32_t size,
                                 bool encrypt) {
    std::lock_guard<std::mutex> guard(codecLock_);
    if (encrypt)
        NoCodec();
    if (size > 0 && dest != source)
        std::memmove(dest, source, static_cast<size_t>(size));
}

void TVeskDBFileIO::DecodeBuffer(const std::uint8_t* source, std::uint8_t* dest, std::int32_t size,
                                 bool decrypt) {
    std::lock_guard<std::mutex> guard(codecLock_);
    if (decrypt)
        NoCodec();
    if (size > 0 && dest != source)
        std::memmove(dest, source, static_cast<size_t>(size));
}

}  // namespace vesk
