#include "tools/value_decoder.h"

#include <stdexcept>

#include "engine/file_format.h"
#include "engine/password_digest.h"
#include "engine/stream.h"

namespace vesktool {

using namespace vesk::format;

ValueDecoder::ValueDecoder(const std::uint8_t* options, const std::optional<std::string>& password)
    : compressed_(options[kOptCompressOn] != 0), enciphered_(options[kOptEncryptOn] != 0) {
    if (enciphered_ && password) {
        if (vesk::PasswordDigestText(*password) !=
            GetText(options + kOptPasswordDigest, kOptPasswordDigestSize))
            throw std::runtime_error("Access denied");
    }
    // Only enciphered-only values would need the cipher, and deciphering cannot fail: without
    // compression there is nothing to decode.
    if (!compressed_)
        return;
    try {
        decompressor_.emplace(nullptr);
        decompressor_->SetAlgoName(std::string(GetText(options + kOptCompressName, kOptNameSize)));
    } catch (const std::exception&) {
        decompressor_.reset();  // the check of the options block names the algorithm
    }
    if (!enciphered_ || !password)
        return;
    try {
        cipher_.emplace(nullptr);
        cipher_->SetAlgoName(std::string(GetText(options + kOptCipherName, kOptNameSize)));
        cipher_->SetMode(options[kOptCipherMode]);
        cipher_->InitKey(*password);
    } catch (const std::exception&) {
        cipher_.reset();
    }
}

std::string ValueDecoder::Problem(std::span<const std::uint8_t> stored) {
    if (!CanDecode())
        return {};
    try {
        vesk::TMemoryStream value;
        if (!stored.empty())
            value.Write(stored.data(), static_cast<std::int64_t>(stored.size()));
        value.SetPosition(0);
        if (enciphered_)
            cipher_->DecodeStream(&value, nullptr, -1);
        decompressor_->DecodeStream(&value, &value, value.Size());
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception& e) {
        return e.what();
    }
    return {};
}

}  // namespace vesktool
