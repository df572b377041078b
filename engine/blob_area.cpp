#include "engine/blob_area.h"

#include <cstring>
#include <limits>

#include "engine/codec/checksum_hash.h"
#include "engine/db_error.h"
#include "engine/field_type.h"
#include "engine/file_format.h"
#include "engine/stored_text.h"
#include "engine/structure_map.h"

namespace vesk {

using format::GetI32;
using format::PutI32;

TBlobDescriptor GetBlobDescriptor(const std::uint8_t* at) {
    return {GetI32(at + format::kBlobOffset), GetI32(at + format::kBlobStoredSize),
            GetI32(at + format::kBlobAllocatedSize)};
}

void PutBlobDescriptor(std::uint8_t* at, const TBlobDescriptor& descriptor) {
    std::memset(at, 0, kBlobDescriptorSize);
    PutI32(at + format::kBlobOffset, descriptor.offset);
    PutI32(at + format::kBlobStoredSize, descriptor.stored);
    PutI32(at + format::kBlobAllocatedSize, descriptor.allocated);
}

namespace {

// How often a blob whose read-back does not match is written before the write fails.
constexpr int kBlobWriteAttempts = 3;

std::vector<std::uint8_t> BlobValueBytes(TStream& stream) {
    stream.SetPosition(0);
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[4096];
    for (;;) {
        const std::int64_t got = stream.Read(chunk, sizeof chunk);
        if (got <= 0)
            break;
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    return bytes;
}

// An old area may be reused or grown only when it lies whole inside the file, after the
// fixed structures, in the format's 64-byte steps; anything else is left alone.
bool UsableBlobArea(const TBlobDescriptor& area, std::int64_t fileSize) {
    return area.allocated > 0 && area.allocated % format::kBlobAreaGranule == 0 &&
           area.offset >= format::kFirstFreeAt &&
           area.offset + std::int64_t{area.allocated} <= fileSize;
}

}  // namespace

void CheckReusableBlobAreas(TVeskTableIO& table, TVeskDBFileIO& file, std::int32_t entryNo,
                            const std::uint8_t* work, const TFieldBuffers& buffers) {
    const std::int64_t fileSize = file.FileSize();
    for (std::int32_t f = 0; f < buffers.Count(); ++f) {
        const TFieldBufferItem& item = buffers.Items(f);
        if (!item.Active || !item.IsBlob())
            continue;
        const TBlobDescriptor old =
            GetBlobDescriptor(work + table.FieldOffsets()[static_cast<size_t>(f)]);
        if (!UsableBlobArea(old, fileSize))
            continue;  // not reused: the value gets a new area
        // The bytes a write into the area may take.
        const std::string liesOn = file.Structures().BlobAreaLiesOn(
            table.TableNo(), entryNo, f, old.offset, old.offset + std::int64_t{old.allocated});
        if (!liesOn.empty())
            file.ThrowDamaged("the blob area of field '" +
                              EscapeStoredText(table.FieldDefs().Items(f).Name) + "' of entry " +
                              std::to_string(entryNo) + " of table '" +
                              EscapeStoredText(table.TableName()) + "' at " +
                              std::to_string(old.offset) + " lies on " + liesOn);
    }
}

namespace {

// Encodes a blob value for field fieldNo.
void EncodeBlob(TTableWriteOp& op, std::int32_t fieldNo, TStream& value, TMemoryStream& stored) {
    op.file.EncodeStream(value, stored, op.table.CanEncryptField(fieldNo),
                         op.table.CanCompressField(fieldNo));
    if (stored.Size() > std::numeric_limits<std::int32_t>::max() - format::kBlobAreaGranule)
        throw EDatabaseError("Blob value too large");
}

// Writes the stored bytes at areaOffset followed by padding zero bytes; with the file's blob
// check on, reads them back, decodes them and compares their CRC-32 (and length) with the
// plain value's, writing again on a mismatch.
void WriteBlobArea(TTableWriteOp& op, std::int32_t fieldNo, const std::vector<std::uint8_t>& plain,
                   TStream& value, TMemoryStream& stored, std::int64_t areaOffset,
                   std::int32_t padding) {
    const bool check = op.file.BlobCheckOn();
    const std::uint32_t plainCrc =
        check ? CalcCRC32(plain.data(), static_cast<std::int64_t>(plain.size())) : 0;
    for (int attempt = 1;; ++attempt) {
        std::vector<std::uint8_t> area(stored.Bytes());
        area.resize(area.size() + static_cast<size_t>(padding), 0);
        op.Write(areaOffset, area.data(), static_cast<std::int64_t>(area.size()));
        if (!check)
            return;
        bool same = false;
        try {
            TMemoryStream readBack;
            readBack.SetSize(stored.Size());
            op.file.ReadExact(readBack.Memory(), areaOffset, stored.Size(), "blob area");
            TMemoryStream decoded;
            op.file.DecodeStream(readBack, decoded, op.table.CanEncryptField(fieldNo),
                                 op.table.CanCompressField(fieldNo));
            same = decoded.Size() == static_cast<std::int64_t>(plain.size()) &&
                   CalcCRC32(decoded.Memory(), decoded.Size()) == plainCrc;
        } catch (const std::exception&) {
            same = false;  // a value that cannot be decoded is a mismatch
        }
        if (same)
            return;
        if (attempt == kBlobWriteAttempts)
            throw EDatabaseError("Blob write check failed in table '" + op.table.TableName() + "'");
        EncodeBlob(op, fieldNo, value, stored);
    }
}

}  // namespace

void StoreBlobValue(TTableWriteOp& op, std::int32_t fieldNo, TStream& value, std::uint8_t* slot) {
    const std::vector<std::uint8_t> plain = BlobValueBytes(value);
    TMemoryStream stored;
    EncodeBlob(op, fieldNo, value, stored);
    const auto storedSize = static_cast<std::int32_t>(stored.Size());
    const TBlobDescriptor old = GetBlobDescriptor(slot);
    // An old area lies in the file as it was before this write (not in the room past it).
    const bool usable = UsableBlobArea(old, op.undo.OriginalSize());
    TBlobDescriptor area;
    if (usable && storedSize < old.allocated) {
        area = {old.offset, storedSize, old.allocated};
    } else {
        const std::int32_t allocated = format::BlobAllocatedSize(storedSize);
        if (usable && old.offset + std::int64_t{old.allocated} == op.end) {
            // The old area is the last thing in the file: it grows where it is.
            op.end = old.offset;
        }
        area = {static_cast<std::int32_t>(op.Allocate(allocated)), storedSize, allocated};
    }
    WriteBlobArea(op, fieldNo, plain, value, stored, area.offset,
                  format::BlobAllocatedSize(storedSize) - storedSize);
    PutBlobDescriptor(slot, area);
}

}  // namespace vesk
