#include "engine/codec/encrypt.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "engine/codec/encrypt_exception.h"
#include "engine/codec/md4_hash.h"
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
    CheckInitialized();
    if (Size <= 0)
        return;
    EncodeChain(static_cast<const std::uint8_t*>(Source), static_cast<std::uint8_t*>(Dest), Size);
    std::fill(buffer_.begin(), buffer_.end(), 0);
}

void TEncrypt::DecodeBuffer(const void* Source, void* Dest, std::int64_t Size) {
    CheckInitialized();
    if (Size <= 0)
        return;
    DecodeChain(static_cast<const std::uint8_t*>(Source), static_cast<std::uint8_t*>(Dest), Size);
    std::fill(buffer_.begin(), buffer_.end(), 0);
}

void TEncrypt::ShiftFeedback(std::uint8_t last) {
    std::memmove(feedback_.data(), feedback_.data() + 1, feedback_.size() - 1);
    feedback_.back() = last;
}

void TEncrypt::EncodeChain(const std::uint8_t* in, std::uint8_t* out, std::int64_t size) {
    const int bs = blockSize_;
    std::uint8_t* const scratch = buffer_.data();
    std::uint8_t* const feedback = feedback_.data();
    if (mode_ == 2 || mode_ == 3) {
        for (std::int64_t i = 0; i < size; ++i) {
            std::memcpy(scratch, feedback, static_cast<size_t>(bs));
            Encode(scratch);
            const std::uint8_t c = in[i] ^ scratch[0];
            out[i] = c;
            ShiftFeedback(mode_ == 2 ? c : scratch[0]);
        }
        return;
    }
    std::int64_t at = 0;
    for (; size - at >= bs; at += bs) {
        std::memcpy(scratch, in + at, static_cast<size_t>(bs));
        if (mode_ == 4) {
            Encode(scratch);
        } else {
            XorInto(scratch, feedback, bs);
            Encode(scratch);
            if (mode_ == 0)
                XorInto(feedback, scratch, bs);
            else
                std::memcpy(feedback, scratch, static_cast<size_t>(bs));
        }
        std::memcpy(out + at, scratch, static_cast<size_t>(bs));
    }
    const int rest = static_cast<int>(size - at);
    if (rest == 0)
        return;
    if (mode_ == 4) {
        // Too short for a block: stored as it is.
        if (in != out)
            std::memmove(out + at, in + at, static_cast<size_t>(rest));
        return;
    }
    std::memcpy(scratch, feedback, static_cast<size_t>(bs));
    Encode(scratch);
    for (int i = 0; i < rest; ++i)
        out[at + i] = in[at + i] ^ scratch[i];
    if (mode_ == 0)
        XorInto(feedback, scratch, bs);
}

void TEncrypt::DecodeChain(const std::uint8_t* in, std::uint8_t* out, std::int64_t size) {
    const int bs = blockSize_;
    std::uint8_t* const scratch = buffer_.data();
    std::uint8_t* const feedback = feedback_.data();
    if (mode_ == 2 || mode_ == 3) {
        for (std::int64_t i = 0; i < size; ++i) {
            std::memcpy(scratch, feedback, static_cast<size_t>(bs));
            Encode(scratch);
            const std::uint8_t c = in[i];
            out[i] = c ^ scratch[0];
            ShiftFeedback(mode_ == 2 ? c : scratch[0]);
        }
        return;
    }
    std::array<std::uint8_t, kMaxBlock> cipherBlock{};
    std::int64_t at = 0;
    for (; size - at >= bs; at += bs) {
        std::memcpy(scratch, in + at, static_cast<size_t>(bs));
        std::memcpy(cipherBlock.data(), scratch, static_cast<size_t>(bs));
        Decode(scratch);
        if (mode_ != 4) {
            XorInto(scratch, feedback, bs);
            if (mode_ == 0)
                XorInto(feedback, cipherBlock.data(), bs);
            else
                std::memcpy(feedback, cipherBlock.data(), static_cast<size_t>(bs));
        }
        std::memcpy(out + at, scratch, static_cast<size_t>(bs));
    }
    cipherBlock.fill(0);
    const int rest = static_cast<int>(size - at);
    if (rest == 0)
        return;
    if (mode_ == 4) {
        if (in != out)
            std::memmove(out + at, in + at, static_cast<size_t>(rest));
        return;
    }
    std::memcpy(scratch, feedback, static_cast<size_t>(bs));
    Encode(scratch);
    for (int i = 0; i < rest; ++i)
        out[at + i] = in[at + i] ^ scratch[i];
    if (mode_ == 0)
        XorInto(feedback, scratch, bs);
}

}  // namespace vesk
