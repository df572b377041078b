#pragma once
// The layout of a database file: every fixed offset and size, and the little-endian accessors
// used to read and write the structures. This is the one place these numbers are written.
#include <cstdint>
#include <cstring>
#include <string_view>

namespace vesk::format {

// File layout.
constexpr std::int64_t kFileHeaderAt = 0;
constexpr std::int32_t kFileHeaderSize = 12;
constexpr std::int32_t kMagicSize = 7;  // "VeskDB" and a zero byte
constexpr std::int32_t kVersionAt = 7;
constexpr std::int32_t kVersionSize = 5;
constexpr std::int64_t kOptionsAt = 2317;
constexpr std::int32_t kOptionsSize = 472;
constexpr std::int64_t kTableTabAt = 2789;
constexpr std::int32_t kTableTabSize = 1032;
constexpr std::int64_t kFirstFreeAt = 3821;  // where table headers and chunks may start
constexpr const char* kMagic = "VeskDB";

// Options block (offsets within the block).
constexpr std::int32_t kOptCompressOn = 0;
constexpr std::int32_t kOptCompressName = 2;
constexpr std::int32_t kOptEncryptOn = 35;
constexpr std::int32_t kOptCipherMode = 36;
constexpr std::int32_t kOptCipherName = 37;
constexpr std::int32_t kOptBlobCheck = 70;
constexpr std::int32_t kOptPasswordDigest = 327;
constexpr std::int32_t kOptNameSize = 33;
constexpr std::int32_t kOptPasswordDigestSize = 129;

// Table tab (offsets within the tab).
constexpr std::int32_t kTabCount = 0;
constexpr std::int32_t kTabOffsets = 8;
constexpr std::int32_t kMaxTables = 256;

// Table header.
constexpr std::int32_t kTableHeaderSize = 4821;
constexpr std::int32_t kHdrName = 0;
constexpr std::int32_t kNameSize = 33;  // every name in the file is text[33]
constexpr std::int32_t kHdrFirstChunk = 33;
constexpr std::int32_t kHdrEntryCount = 37;
constexpr std::int32_t kHdrAutoInc = 41;
constexpr std::int32_t kHdrFieldCount = 45;
constexpr std::int32_t kHdrFields = 49;
constexpr std::int32_t kFieldDefSize = 43;
constexpr std::int32_t kMaxFields = 96;
constexpr std::int32_t kHdrIndexCount = 4177;
constexpr std::int32_t kHdrIndexes = 4181;
constexpr std::int32_t kIndexDefSize = 78;
constexpr std::int32_t kMaxIndexes = 8;

// Field definition (within the definition).
constexpr std::int32_t kFldName = 0;
constexpr std::int32_t kFldType = 33;
constexpr std::int32_t kFldDataSize = 34;
constexpr std::int32_t kFldProcessMode = 38;

// Index definition (within the definition).
constexpr std::int32_t kIdxName = 0;
constexpr std::int32_t kIdxOptions = 33;
constexpr std::int32_t kIdxFields = 34;
constexpr std::int32_t kMaxKeyFields = 8;
constexpr std::int32_t kIdxFirstChunk = 66;
constexpr std::int32_t kIdxHead = 70;

// Index options (bits of the options byte).
constexpr std::uint8_t kIdxPrimary = 1;
constexpr std::uint8_t kIdxUnique = 2;
constexpr std::uint8_t kIdxDescending = 4;
constexpr std::uint8_t kIdxCaseInsensitive = 8;

// Chunks.
constexpr std::int32_t kEntriesPerChunk = 1024;
constexpr std::int32_t kRecordTabEntrySize = 5;  // i32 record offset, u8 deleted flag
constexpr std::int32_t kRecordTabChunkSize = 4 + kEntriesPerChunk * kRecordTabEntrySize;  // 5124
constexpr std::int32_t kIndexTabEntrySize = 8;  // i32 own number, i32 next number
constexpr std::int32_t kIndexTabChunkSize = 4 + kEntriesPerChunk * kIndexTabEntrySize;  // 8196

// Blob descriptor (within the record slot).
constexpr std::int32_t kBlobOffset = 0;
constexpr std::int32_t kBlobStoredSize = 4;
constexpr std::int32_t kBlobAllocatedSize = 8;
constexpr std::int32_t kBlobAreaGranule = 64;

// The allocated size of a blob area for a stored size: the next multiple of 64 above it.
constexpr std::int32_t BlobAllocatedSize(std::int32_t storedSize) {
    return storedSize + kBlobAreaGranule - (storedSize % kBlobAreaGranule);
}

// Little-endian accessors on raw bytes (the caller guarantees the bytes are there).
inline std::int32_t GetI32(const std::uint8_t* at) {
    const std::uint32_t v =
        static_cast<std::uint32_t>(at[0]) | (static_cast<std::uint32_t>(at[1]) << 8) |
        (static_cast<std::uint32_t>(at[2]) << 16) | (static_cast<std::uint32_t>(at[3]) << 24);
    return static_cast<std::int32_t>(v);
}
inline void PutI32(std::uint8_t* at, std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    at[0] = static_cast<std::uint8_t>(v);
    at[1] = static_cast<std::uint8_t>(v >> 8);
    at[2] = static_cast<std::uint8_t>(v >> 16);
    at[3] = static_cast<std::uint8_t>(v >> 24);
}
inline std::int16_t GetI16(const std::uint8_t* at) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(at[0] | (at[1] << 8)));
}
inline void PutI16(std::uint8_t* at, std::int16_t value) {
    const auto v = static_cast<std::uint16_t>(value);
    at[0] = static_cast<std::uint8_t>(v);
    at[1] = static_cast<std::uint8_t>(v >> 8);
}
inline std::int64_t GetI64(const std::uint8_t* at) {
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i)
        v = (v << 8) | at[i];
    return static_cast<std::int64_t>(v);
}
inline void PutI64(std::uint8_t* at, std::int64_t value) {
    auto v = static_cast<std::uint64_t>(value);
    for (int i = 0; i < 8; ++i, v >>= 8)
        at[i] = static_cast<std::uint8_t>(v);
}
inline double GetF64(const std::uint8_t* at) {
    const std::int64_t bits = GetI64(at);
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}
inline void PutF64(std::uint8_t* at, double value) {
    std::int64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    PutI64(at, bits);
}

// A text[n] field: the bytes up to the first zero byte, at most n of them.
inline std::string_view GetText(const std::uint8_t* at, std::int32_t size) {
    const auto* begin = reinterpret_cast<const char*>(at);
    const void* zero = std::memchr(begin, 0, static_cast<size_t>(size));
    const size_t length = zero ? static_cast<size_t>(static_cast<const char*>(zero) - begin)
                               : static_cast<size_t>(size);
    return std::string_view(begin, length);
}
// Writes a text[n] field: at most n - 1 bytes of text (names keep their zero byte) and zeros.
inline void PutText(std::uint8_t* at, std::int32_t size, std::string_view text) {
    std::memset(at, 0, static_cast<size_t>(size));
    const size_t length =
        text.size() < static_cast<size_t>(size - 1) ? text.size() : static_cast<size_t>(size - 1);
    std::memcpy(at, text.data(), length);
}

}  // namespace vesk::format
