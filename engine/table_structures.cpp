#include "engine/table_structures.h"

#include <cstring>
#include <string>

#include "engine/db_error.h"
#include "engine/field_type.h"
#include "engine/file_format.h"
#include "engine/schema_rules.h"

namespace vesk {

namespace {

using format::GetI32;

std::string NameAt(const std::uint8_t* at) {
    return std::string(format::GetText(at, format::kNameSize));
}

// The record layout a header describes; false when the header holds a field no table can be
// loaded with (its records then stay unknown).
bool RecordLayout(const std::uint8_t* header, std::int32_t& recordSize,
                  std::vector<TBlobSlot>& blobs, std::vector<std::string>& fieldNames) {
    const std::int32_t count = GetI32(header + format::kHdrFieldCount);
    if (count < 0 || count > format::kMaxFields)
        return false;
    std::int64_t offset = 0;
    for (std::int32_t f = 0; f < count; ++f) {
        const std::uint8_t* def = header + format::kHdrFields + f * format::kFieldDefSize;
        fieldNames.push_back(NameAt(def + format::kFldName));
        const auto type = static_cast<TFieldType>(def[format::kFldType]);
        const std::int32_t dataSize = GetI32(def + format::kFldDataSize);
        const std::int32_t slot = RecordSlotSize(type, dataSize);
        const bool text = type == ftString || type == ftFixedChar;
        if (!IsLoadableFieldType(def[format::kFldType]) || slot < 0 ||
            (text && (dataSize < 1 || dataSize > kMaxStringSize)))
            return false;
        if (IsBlobKind(type))
            blobs.push_back({f, static_cast<std::int32_t>(offset)});
        offset += slot;
    }
    recordSize = static_cast<std::int32_t>(offset);
    return true;
}

// What the file lets be read of the structures of table tableNo.
TTableStructures ReadStructures(TVeskDBFileIO& file, std::int32_t tableNo,
                                std::vector<std::uint8_t> header) {
    const std::uint8_t* h = header.data();
    TTableStructures structures(tableNo, NameAt(h + format::kHdrName));
    structures.AddHeader(file.TableHeaderPos(tableNo));
    std::int32_t recordSize = 0;
    std::vector<TBlobSlot> blobs;
    std::vector<std::string> fieldNames;
    const bool layout = RecordLayout(h, recordSize, blobs, fieldNames);
    const std::int32_t indexCount = GetI32(h + format::kHdrIndexCount);
    std::vector<std::string> indexNames;
    const std::int32_t count = GetI32(h + format::kHdrEntryCount);
    std::vector<std::int32_t> chunks;
    if (indexCount >= 0 && indexCount <= format::kMaxIndexes) {
        for (std::int32_t i = 0; i < indexCount; ++i) {
            const std::uint8_t* def = h + format::kHdrIndexes + i * format::kIndexDefSize;
            indexNames.push_back(NameAt(def + format::kIdxName));
            const std::int32_t first = GetI32(def + format::kIdxFirstChunk);
            if (first == 0)
                continue;  // an index without chunks has none, whatever its count
            try {
                file.ReadChunkOffsets(first, count, format::kIndexTabEntrySize, "an index tab",
                                      chunks);
            } catch (const EDatabaseError&) {
                // the chunks before the break were read
            }
            structures.AddIndexChunks(i, chunks);
        }
    }
    structures.SetPartNames(std::move(indexNames), std::move(fieldNames));
    std::vector<TRecordTabItem> entries;
    try {
        file.ReadRecordTab(h, entries, chunks);
    } catch (const EDatabaseError&) {
        entries.clear();  // the chunks before the break were read; their records stay unknown
    }
    structures.AddRecordChunks(chunks);
    if (layout)
        AddRecordStructures(file, structures, entries, recordSize, blobs);
    structures.header = std::move(header);
    return structures;
}

}  // namespace

void AddRecordStructures(TVeskDBFileIO& file, TTableStructures& structures,
                         const std::vector<TRecordTabItem>& entries, std::int32_t recordSize,
                         const std::vector<TBlobSlot>& blobs) {
    const std::int64_t fileSize = file.FileSize();
    // Records without blobs mostly join runs; with blobs, a record and its areas alternate.
    if (!blobs.empty())
        structures.Reserve(entries.size() * (1 + blobs.size()));
    for (size_t e = 0; e < entries.size(); ++e) {
        const std::int64_t offset = entries[e].RecordOffset;
        const auto entryNo = static_cast<std::int32_t>(e);
        structures.AddRecord(entryNo, offset, recordSize, fileSize);
        if (blobs.empty() || offset < format::kFirstFreeAt || offset > fileSize - recordSize)
            continue;
        for (const TBlobSlot& blob : blobs) {
            std::uint8_t descriptor[12];
            const std::int64_t at = offset + blob.offset;
            const std::uint8_t* bytes = file.LockedView(at, sizeof descriptor);
            if (bytes == nullptr) {
                if (file.ReadBuffer(descriptor, at, sizeof descriptor) != sizeof descriptor)
                    continue;
                bytes = descriptor;
            }
            structures.AddBlobArea(entryNo, blob.fieldNo, GetI32(bytes + format::kBlobOffset),
                                   GetI32(bytes + format::kBlobStoredSize),
                                   GetI32(bytes + format::kBlobAllocatedSize), fileSize);
        }
    }
}

void RefreshStructureMap(TVeskDBFileIO& file, std::int32_t exceptTable) {
    TStructureMap& map = file.Structures();
    std::vector<std::uint8_t> header(format::kTableHeaderSize);
    for (std::int32_t t = 0; t < file.TableCount(); ++t) {
        if (t == exceptTable)
            continue;
        try {
            file.ReadTableHeader(t, header.data());
        } catch (const EDatabaseError&) {
            map.Forget(t);  // a header that cannot be read is refused at connect
            continue;
        }
        const TTableStructures* known = map.Find(t);
        if (known != nullptr && known->header == header)
            continue;
        map.Set(ReadStructures(file, t, header));
    }
}

}  // namespace vesk
