#include "engine/codec/encrypt.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <stdexcept>

#include "engine/codec/encrypt_exception.h"
#include "engine/codec/sha_hash.h"
#include "engine/db_error.h"

namespace vesk {
namespace {

constexpr int kMaxBlock = 32;

void XorInto(std::uint8_t* target, const std::uint8_t* with, int n) {
    for (int i = 0; i < n; ++i)
        target[i] ^= with[i];
}

}  // namespace

TEncrypt::TEncrypt(int BlockSize, int KeySize, int UserSize)
    : HashClass(&THash_SHA::New),
      blockSize_(BlockSize),
      keySize_(KeySize),
      userSize_(UserSize),
      buffer_(static_cast<size_t>(BlockSize)),
      vector_(static_cast<size_t>(BlockSize)),
      feedback_(static_cast<size_t>(BlockSize)),
      user_(static_cast<size_t>(UserSize / 4)) {
    if (BlockSize < 1 || BlockSize > kMaxBlock || KeySize < 0 || UserSize < 0 || UserSize % 4 != 0)
        throw std::invalid_argument("TEncrypt: unusable cipher context");
    Protect();
}

TEncrypt::~TEncrypt() {
    Protect();
}

std::span<const std::uint8_t> TEncrypt::User() const {
    return {reinterpret_cast<const std::uint8_t*>(user_.data()), user_.size() * 4};
}

void TEncrypt::SetMode(std::uint8_t Value) {
    if (Value > kHighestMode)
        throw EDatabaseError("Cipher mode " + std::to_string(Value) + " is not supported");
    mode_ = Value;
}

void TEncrypt::SetFlag(int Bit, bool Value) {
    const std::uint32_t mask = 1u << Bit;
    flags_ = Value ? flags_ | mask : flags_ & ~mask;
}

void TEncrypt::Protect() {
    SetFlag(kInitializedFlag, false);
    std::fill(vector_.begin(), vector_.end(), 0xFF);
    std::fill(feedback_.begin(), feedback_.end(), 0xFF);
    std::fill(buffer_.begin(), buffer_.end(), 0);
    std::fill(user_.begin(), user_.end(), 0);
}

void TEncrypt::Init(const void* Key, int Size, const void* IVector) {
    SetFlag(kInitializedFlag, false);
    Protect();
    if (Key == nullptr || Size < 0)
        Size = 0;
    Size = std::min(Size, keySize_);
    SetupKey(static_cast<const std::uint8_t*>(Key), Size);
    if (IVector != nullptr) {
        std::memcpy(vector_.data(), IVector, vector_.size());
    } else {
        Encode(vector_.data());  // Protect left it all FF
    }
    feedback_ = vector_;
    SetFlag(kInitializedFlag, true);
}

void TEncrypt::InitKey(const std::string& Key, const void* IVector) {
    if (!hash_)
        hash_ = HashClass();
    hash_->Init();
    hash_->Calc(Key.data(), static_cast<std::int64_t>(Key.size()));
    hash_->Done();
    std::uint8_t* digest = hash_->DigestKey();
    const int digestSize = digest ? hash_->DigestKeySize() : 0;
    Init(digest, std::min(digestSize, keySize_), IVector);
    // The digest is the key: leave only its encipherment behind in the hash object.
    EncodeBuffer(digest, digest, digestSize);
    Done();
}

void TEncrypt::Done() {
    feedback_ = vector_;
}

void TEncrypt::CheckInitialized() const {
    if (!Initialized())
        throw EEncryptException(
            FormatMessage("%s is not initialized call Init() or InitKey() before.", ClassName()),
            EEncryptException::kNotInitialized);
}

void TEncrypt::EncodeBuffer(const void* Source, void* Dest, std::int64_t Size) {
    Run(Source, Dest, Size, true);
}

void TEncrypt::DecodeBuffer(const void* Source, void* Dest, std::int64_t Size) {
    Run(Source, Dest, Size, false);
}

void TEncrypt::Run(const void* Source, void* Dest, std::int64_t Size, bool encipher) {
    CheckInitialized();
    if (Size <= 0)
        return;
    const auto* in = static_cast<const std::uint8_t*>(Source);
    auto* out = static_cast<std::uint8_t*>(Dest);
    if (mode_ == 2 || mode_ == 3) {
        RunBytes(in, out, Size, encipher);
    } else {
        const std::int64_t whole = Size - Size % blockSize_;
        for (std::int64_t at = 0; at < whole; at += blockSize_) {
            if (encipher)
                EncodeBlock(in + at, out + at);
            else
                DecodeBlock(in + at, out + at);
        }
        RunTail(in + whole, out + whole, static_cast<int>(Size - whole));
    }
    std::fill(buffer_.begin(), buffer_.end(), 0);
}

void TEncrypt::RunBytes(const std::uint8_t* in, std::uint8_t* out, std::int64_t size,
                        bool encipher) {
    std::uint8_t* const scratch = buffer_.data();
    for (std::int64_t i = 0; i < size; ++i) {
        std::memcpy(scratch, feedback_.data(), feedback_.size());
        Encode(scratch);
        const std::uint8_t key = scratch[0];
        const std::uint8_t cipherByte = encipher ? in[i] ^ key : in[i];
        out[i] = in[i] ^ key;
        // Shift Feedback one byte towards its start; mode 2 feeds back the cipher byte,
        // mode 3 the key byte.
        std::memmove(feedback_.data(), feedback_.data() + 1, feedback_.size() - 1);
        feedback_.back() = mode_ == 2 ? cipherByte : key;
    }
}

void TEncrypt::EncodeBlock(const std::uint8_t* in, std::uint8_t* out) {
    std::uint8_t* const scratch = buffer_.data();
    std::memcpy(scratch, in, buffer_.size());
    if (mode_ == 4) {
        Encode(scratch);
    } else {
        XorInto(scratch, feedback_.data(), blockSize_);
        Encode(scratch);
        if (mode_ == 0)
            XorInto(feedback_.data(), scratch, blockSize_);
        else
            feedback_.assign(scratch, scratch + blockSize_);
    }
    std::memcpy(out, scratch, buffer_.size());
}

void TEncrypt::DecodeBlock(const std::uint8_t* in, std::uint8_t* out) {
    std::uint8_t* const scratch = buffer_.data();
    // Keep the cipher block: out may be in.
    std::array<std::uint8_t, kMaxBlock> cipherBlock{};
    std::memcpy(cipherBlock.data(), in, buffer_.size());
    std::memcpy(scratch, in, buffer_.size());
    Decode(scratch);
    if (mode_ != 4) {
        XorInto(scratch, feedback_.data(), blockSize_);
        if (mode_ == 0)
            XorInto(feedback_.data(), cipherBlock.data(), blockSize_);
        else
            feedback_.assign(cipherBlock.begin(), cipherBlock.begin() + blockSize_);
    }
    std::memcpy(out, scratch, buffer_.size());
    cipherBlock.fill(0);
}

void TEncrypt::RunTail(const std::uint8_t* in, std::uint8_t* out, int rest) {
    if (rest == 0)
        return;
    if (mode_ == 4) {
        // Too short for a block: stored as it is.
        if (in != out)
            std::memmove(out, in, static_cast<size_t>(rest));
        return;
    }
    std::uint8_t* const scratch = buffer_.data();
    std::memcpy(scratch, feedback_.data(), feedback_.size());
    Encode(scratch);
    for (int i = 0; i < rest; ++i)
        out[i] = in[i] ^ scratch[i];
    if (mode_ == 0)
        XorInto(feedback_.data(), scratch, blockSize_);
}

}  // namespace vesk
