#pragma once
// Blob values on their way into the file: the 20-byte descriptor in the record, the rule for
// which old areas may be reused or grown, encoding (compression, then encryption) and the
// write of an area with the file's blob check, all in StoreBlobValue, the one routine both
// append and modify store a blob with.
//
// Errors: the codecs' and the file's errors pass on; "Blob value too large" for a value whose
// area would not fit the format's sizes; "Blob write check failed in table '<name>'" when the
// read-back of a value still differs after the last attempt (with the blob check on, a
// mismatch or a value that cannot be decoded is encoded and written again, a few times).
#include <cstdint>

#include "engine/field_buffers.h"
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

// Throws the damage error when the stored area of an active blob field of the record read into
// work (entry entryNo), which a modify would reuse or grow in place, shares bytes with any other
// structure of the file (structure_map.h). Called before a modify writes anything.
void CheckReusableBlobAreas(TVeskTableIO& table, TVeskDBFileIO& file, std::int32_t entryNo,
                            const std::uint8_t* work, const TFieldBuffers& buffers);

// Stores value as the blob of field fieldNo whose descriptor lies at slot in the work record,
// and puts the new descriptor there. The area: the old one when the stored bytes fit below its
// allocated size; else a new one of the format's 64-byte steps, grown where the old one is
// when that is the last thing in the file, otherwise at the end of the file. A zero
// descriptor (a new record) always gets a new area at the end, past every structure of the
// file. Writes go through op (undone with it); on an error the slot is left as it was.
void StoreBlobValue(TTableWriteOp& op, std::int32_t fieldNo, TStream& value, std::uint8_t* slot);

}  // namespace vesk
