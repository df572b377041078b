#pragma once
// The engine's digest family. An object computes one message at a time:
// Init, any number of Calc, Done, then DigestKey / DigestToString (valid until the next Init).
// Destroying an object zeroes its digest. Nothing here throws apart from allocation.
#include <cstdint>
#include <memory>
#include <string>

namespace vesk {

class THash;
// A hash class: makes a new object of the class.
using THashClass = std::unique_ptr<THash> (*)();

class THash {
  public:
    // The default digest text format (format 0 means this).
    static constexpr int kDefaultDigestFormat = 64;

    THash() = default;
    virtual ~THash() = default;
    THash(const THash&) = delete;
    THash& operator=(const THash&) = delete;

    virtual void Init() {}
    // Adds Size bytes at Data; Size 0 or less, or a null Data, adds nothing.
    virtual void Calc(const void* /*Data*/, std::int64_t /*Size*/) {}
    virtual void Done() {}
    // DigestKeySize bytes; null for the empty digest of the base class.
    virtual std::uint8_t* DigestKey() { return nullptr; }
    virtual int DigestKeySize() const { return 0; }

    // 0 and 64: BufferToBase64; 16: BufferToHex; any other code: the raw digest bytes.
    std::string DigestToString(int Format);

    // A fresh object of HashClass over Data (or Size bytes at Buffer); the format-64 text of
    // the digest, whose bytes are also copied to Digest when it is not null.
    static std::string CalcString(THashClass HashClass, void* Digest, const std::string& Data);
    static std::string CalcBuffer(THashClass HashClass, void* Digest, const void* Buffer,
                                  std::int64_t Size);
};

// HashClass's CalcString of Data (the password digest text compared with the database file's).
std::string CalcHashString(THashClass HashClass, const std::string& Data, void* Digest);

}  // namespace vesk
