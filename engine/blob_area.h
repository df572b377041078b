#pragma once
// Blob values on their way into the file: the 20-byte descriptor in the record, the rule for
// which old areas may be reused or grown, encoding (compression, then encryption) and the
// write of an area with the file's blob check.
//
// Errors: the codecs' and the file's errors pass on; "Blob value too large" for a value whose
// area would not fit the format's sizes; "Blob write check failed in table '<name>'" when the
// read-back of a value still differs after the last attempt.
#include <cstdint>
#include <vector>

#include "engine/stream.h"
#include "engine/table_write_op.h"

namespace vesk {

struct TBlobDescriptor {
    std::int32_t offset = 0;
    std::int32_t stored = 0;
    std::int32_t allocated = 0;
};

TBlobDescriptor GetBlobDescriptor(const std::uint8_t* at);
// Writes the descriptor and its 8 zero bytes.
void PutBlobDescriptor(std::uint8_t* at, const TBlobDescriptor& descriptor);

// An old area may be reused or grown only when it lies whole inside the file, after the
// fixed structures, in the format's 64-byte steps; anything else is left alone.
bool UsableBlobArea(const TBlobDescriptor& area, std::int64_t fileSize);

// All bytes of a blob value, read through the stream (a lazily loading stream loads here).
std::vector<std::uint8_t> BlobValueBytes(TStream& value);

// The stored form of value for field fieldNo into stored.
void EncodeBlob(TTableWriteOp& op, std::int32_t fieldNo, TStream& value, TMemoryStream& stored);

// Writes the stored bytes at areaOffset followed by padding zero bytes. With the file's blob
// check on, reads them back, decodes them and compares their CRC-32 and length with those of
// plain; a mismatch (or a value that cannot be decoded) is encoded and written again, a few
// times at most.
void WriteBlobArea(TTableWriteOp& op, std::int32_t fieldNo, const std::vector<std::uint8_t>& plain,
                   TStream& value, TMemoryStream& stored, std::int64_t areaOffset,
                   std::int32_t padding);

}  // namespace vesk
