// The codec glue of TVeskDBFileIO: the one place stored values pass through compression and
// encryption. Every pass holds the codec lock: the managers keep cipher state.
#include <cstring>

#include "engine/db_file_io.h"
#include "engine/password_digest.h"

namespace vesk {

namespace {

// Empties dest unless it is the source itself (an in-place pass).
void ClearDest(TStream& source, TStream& dest) {
    if (&dest == &source)
        return;
    dest.SetSize(0);
    dest.SetPosition(0);
}

void CopyBytes(const std::uint8_t* source, std::uint8_t* dest, std::int32_t size) {
    if (size > 0 && dest != source)
        std::memmove(dest, source, static_cast<size_t>(size));
}

}  // namespace

bool TVeskDBFileIO::CheckPassword(const std::string& password) {
    if (!EncryptionOn())
        return true;
    const std::string digest = PasswordDigestText(password);
    const std::string_view stored = format::GetText(options_.data() + format::kOptPasswordDigest,
                                                    format::kOptPasswordDigestSize);
    if (digest != stored)
        return false;
    std::lock_guard<std::mutex> guard(codecLock_);
    encryptMgr_->InitKey(password);
    return true;
}

void TVeskDBFileIO::DecodeStream(TStream& source, TStream& dest, bool decrypt, bool decompress) {
    std::lock_guard<std::mutex> guard(codecLock_);
    source.SetPosition(0);
    ClearDest(source, dest);
    if (decrypt) {
        // The whole source as one message; the manager restarts the chain afterwards.
        encryptMgr_->DecodeStream(&source, &dest == &source ? nullptr : &dest, -1);
    } else if (&dest != &source) {
        dest.CopyFrom(source, 0);
    }
    if (decompress)
        compressMgr_->DecodeStream(&dest, &dest, dest.Size());
    dest.SetPosition(0);
}

void TVeskDBFileIO::EncodeStream(TStream& source, TStream& dest, bool encrypt, bool compress) {
    std::lock_guard<std::mutex> guard(codecLock_);
    source.SetPosition(0);
    ClearDest(source, dest);
    // Compression always comes first: enciphered bytes do not compress.
    if (compress)
        compressMgr_->EncodeStream(&source, &dest, source.Size());
    else if (&dest != &source)
        dest.CopyFrom(source, 0);
    if (encrypt) {
        dest.SetPosition(0);
        encryptMgr_->EncodeStream(&dest, nullptr, -1);
    }
    dest.SetPosition(0);
}

void TVeskDBFileIO::EncodeBuffer(const std::uint8_t* source, std::uint8_t* dest, std::int32_t size,
                                 bool encrypt) {
    std::lock_guard<std::mutex> guard(codecLock_);
    if (encrypt && size > 0)
        encryptMgr_->EncodeBuffer(source, dest, size);
    else
        CopyBytes(source, dest, size);
}

void TVeskDBFileIO::DecodeBuffer(const std::uint8_t* source, std::uint8_t* dest, std::int32_t size,
                                 bool decrypt) {
    std::lock_guard<std::mutex> guard(codecLock_);
    if (decrypt && size > 0)
        encryptMgr_->DecodeBuffer(source, dest, size);
    else
        CopyBytes(source, dest, size);
}

}  // namespace vesk
