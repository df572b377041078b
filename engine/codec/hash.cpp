#include "engine/codec/hash.h"

#include <cstring>

#include "engine/codec/digest_text.h"

namespace vesk {

std::string THash::DigestToString(int Format) {
    if (Format == 0)
        Format = kDefaultDigestFormat;
    const std::uint8_t* digest = DigestKey();
    const int size = digest ? DigestKeySize() : 0;
    if (Format == 16)
        return BufferToHex(digest, size);
    if (Format == 64)
        return BufferToBase64(digest, size);
    return std::string(reinterpret_cast<const char*>(digest), static_cast<size_t>(size));
}

std::string THash::CalcBuffer(THashClass HashClass, void* Digest, const void* Buffer,
                              std::int64_t Size) {
    const std::unique_ptr<THash> hash = HashClass();
    hash->Init();
    hash->Calc(Buffer, Size);
    hash->Done();
    if (Digest != nullptr && hash->DigestKey() != nullptr)
        std::memcpy(Digest, hash->DigestKey(), static_cast<size_t>(hash->DigestKeySize()));
    return hash->DigestToString(0);
}

std::string THash::CalcString(THashClass HashClass, void* Digest, const std::string& Data) {
    return CalcBuffer(HashClass, Digest, Data.data(), static_cast<std::int64_t>(Data.size()));
}

std::string CalcHashString(THashClass HashClass, const std::string& Data, void* Digest) {
    return THash::CalcString(HashClass, Digest, Data);
}

}  // namespace vesk
