#pragma once
// For `vesk check`: decodes stored blob values the way the engine reads them (decipher as one
// message, then decompress), to find values that a read would refuse as damaged. Compressed
// values of a file without encryption are decoded always; those of an enciphered file only
// with its password.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "engine/codec/compress_mgr.h"
#include "engine/codec/encrypt_mgr.h"

namespace vesktool {

class ValueDecoder {
  public:
    // options: the file's options block (472 bytes). A codec whose name is not registered, or
    // a cipher without the password, leaves the values it would decode unchecked. Throws
    // std::runtime_error("Access denied") when a password is given that does not match the
    // file's digest.
    ValueDecoder(const std::uint8_t* options, const std::optional<std::string>& password);

    // Whether a blob value of a field that takes part in the file's codecs can be decoded.
    bool CanDecode() const { return compressed_ && decompressor_ && (!enciphered_ || cipher_); }
    // An empty text when the stored bytes decode, else the codec's error text. Never throws
    // but std::bad_alloc.
    std::string Problem(std::span<const std::uint8_t> stored);

  private:
    bool compressed_ = false;
    bool enciphered_ = false;
    std::optional<vesk::TCompressMgr> decompressor_;
    std::optional<vesk::TEncryptMgr> cipher_;
};

}  // namespace vesktool
