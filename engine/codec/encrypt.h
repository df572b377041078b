#pragma once
// The block-cipher framework shared by the engine's ciphers: key schedule storage, the
// initialisation vector, the chaining value (Feedback) and five modes of operation over buffers
// of any length:
//   0  the engine's own chaining (Feedback becomes C xor Feedback)
//   1  cipher block chaining
//   2  8-bit cipher feedback
//   3  8-bit output feedback
//   4  electronic code book (a final partial block is stored unchanged)
// In modes 0 and 1 a final partial block is xored with the encipherment of Feedback.
// The chain continues from call to call until Done restarts it from the vector.
//
// Key material (vector, feedback, scratch, key schedule) is wiped by Protect and destruction.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "engine/codec/hash.h"

namespace vesk {

class TEncrypt {
  public:
    static constexpr int kInitializedFlag = 9;
    static constexpr std::uint8_t kHighestMode = 4;

    virtual ~TEncrypt();
    TEncrypt(const TEncrypt&) = delete;
    TEncrypt& operator=(const TEncrypt&) = delete;

    // The class name used in error texts ("TEnc_Gost").
    virtual const char* ClassName() const = 0;
    int BlockSize() const { return blockSize_; }
    int KeySize() const { return keySize_; }
    int UserSize() const { return userSize_; }

    std::uint8_t Mode() const { return mode_; }
    // Throws EDatabaseError for a mode above 4, so that no value is ever left in plain text
    // by an unknown mode; the mode is then unchanged.
    void SetMode(std::uint8_t Value);

    // The hash InitKey uses (THash_SHA unless changed before the first InitKey).
    THashClass HashClass;

    void SetFlag(int Bit, bool Value);
    std::uint32_t Flags() const { return flags_; }
    bool Initialized() const { return (flags_ >> kInitializedFlag & 1) != 0; }

    // Key setup from Size raw bytes (negative counts as 0, more than KeySize is cut). Without
    // IVector the vector is the all-FF block enciphered under the key, with it the BlockSize
    // bytes there. Throws EEncryptException when the cipher refuses the key (then not
    // initialised).
    void Init(const void* Key, int Size, const void* IVector);
    // Key setup from the digest of a password text (at most KeySize digest bytes).
    void InitKey(const std::string& Key, const void* IVector);
    // Restarts the chain: Feedback := Vector.
    void Done();
    // Wipes the key material and clears Initialized.
    void Protect();

    // Size bytes from Source to Dest in the current mode, continuing the chain. Source may be
    // Dest; otherwise they must not overlap. Size 0 or less does nothing. Throws
    // EEncryptException "<class> is not initialized call Init() or InitKey() before." (code 3)
    // without a key; nothing is written then.
    void EncodeBuffer(const void* Source, void* Dest, std::int64_t Size);
    void DecodeBuffer(const void* Source, void* Dest, std::int64_t Size);

    // One block in place.
    virtual void Encode(std::uint8_t* Block) = 0;
    virtual void Decode(std::uint8_t* Block) = 0;

    std::span<const std::uint8_t> Vector() const { return vector_; }
    std::span<const std::uint8_t> Feedback() const { return feedback_; }
    std::span<const std::uint8_t> Buffer() const { return buffer_; }
    std::span<const std::uint8_t> User() const;

  protected:
    // BlockSize 1 to 32, UserSize a multiple of 4; std::invalid_argument otherwise.
    TEncrypt(int BlockSize, int KeySize, int UserSize);
    // The cipher's own key schedule from Size (0..KeySize) bytes into the zeroed User area.
    virtual void SetupKey(const std::uint8_t* Key, int Size) = 0;
    std::uint32_t* UserWords() { return user_.data(); }
    const std::uint32_t* UserWords() const { return user_.data(); }

  private:
    void CheckInitialized() const;
    void Run(const void* Source, void* Dest, std::int64_t Size, bool encipher);
    // Modes 2 and 3: byte by byte.
    void RunBytes(const std::uint8_t* in, std::uint8_t* out, std::int64_t size, bool encipher);
    // Modes 0, 1 and 4: one full block, and the final partial block of rest bytes.
    void EncodeBlock(const std::uint8_t* in, std::uint8_t* out);
    void DecodeBlock(const std::uint8_t* in, std::uint8_t* out);
    void RunTail(const std::uint8_t* in, std::uint8_t* out, int rest);

    int blockSize_;
    int keySize_;
    int userSize_;
    std::uint8_t mode_ = 0;
    std::uint32_t flags_ = 0;
    std::unique_ptr<THash> hash_;
    std::vector<std::uint8_t> buffer_;
    std::vector<std::uint8_t> vector_;
    std::vector<std::uint8_t> feedback_;
    std::vector<std::uint32_t> user_;
};

}  // namespace vesk
