#pragma once
// What the writes do to the caller's field buffers before anything is stored.
#include <cstdint>

#include "engine/field_buffers.h"
#include "engine/table_io.h"

namespace vesk {

// One item per field of the table, each active one with its value's place and the field's
// storage size; else EDatabaseError("Field buffers do not match table '<name>'").
void CheckWriteBuffers(const TVeskTableIO& table, const TFieldBuffers& buffers);

// Text values (append): cut to Size - 1 characters and zero after the terminator.
void PadStringFields(TFieldBuffers& buffers);

// Text values (modify): a value without a terminator inside its size gets one in its last
// byte, so the bytes stored, searched and compared are one value.
void TerminateStringFields(TFieldBuffers& buffers);

// Gives the caller's auto-increment value back unless the write went through (Commit).
class TAutoIncRestore {
  public:
    TAutoIncRestore() = default;
    ~TAutoIncRestore();
    TAutoIncRestore(const TAutoIncRestore&) = delete;
    TAutoIncRestore& operator=(const TAutoIncRestore&) = delete;

    // Keeps the 4 bytes at value (the buffer outlives this object).
    void Keep(std::uint8_t* value);
    void Commit() { value_ = nullptr; }

  private:
    std::uint8_t* value_ = nullptr;
    std::uint8_t saved_[4] = {};
};

}  // namespace vesk
