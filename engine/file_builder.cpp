#include "engine/file_builder.h"

#include <unistd.h>

#include <array>
#include <cstring>

#include "engine/file_format.h"
#include "engine/schema_rules.h"
#include "engine/stream.h"

namespace vesk {

namespace {

using namespace format;

void PutOptions(std::uint8_t* block, const SchemaOptions& options) {
    block[kOptCompressOn] = options.compression ? 1 : 0;
    PutText(block + kOptCompressName, kOptNameSize, options.compressionName);
    block[kOptEncryptOn] = options.encryption ? 1 : 0;
    block[kOptCipherMode] = options.cipherMode;
    PutText(block + kOptCipherName, kOptNameSize, options.cipherName);
    block[kOptBlobCheck] = options.blobCheck ? 1 : 0;
    PutText(block + kOptPasswordDigest, kOptPasswordDigestSize, options.passwordDigest);
}

void PutTableHeader(std::uint8_t* header, const SchemaTable& table) {
    PutText(header + kHdrName, kNameSize, table.name);
    // First chunk, entry count and auto-increment counter stay 0: the table is empty.
    PutI32(header + kHdrFieldCount, static_cast<std::int32_t>(table.fields.size()));
    for (size_t i = 0; i < table.fields.size(); ++i) {
        const SchemaField& field = table.fields[i];
        std::uint8_t* def = header + kHdrFields + static_cast<std::int32_t>(i) * kFieldDefSize;
        PutText(def + kFldName, kNameSize, field.name);
        def[kFldType] = field.type;
        PutI32(def + kFldDataSize, field.dataSize);
        def[kFldProcessMode] = field.processMode;
    }
    PutI32(header + kHdrIndexCount, static_cast<std::int32_t>(table.indexes.size()));
    for (size_t i = 0; i < table.indexes.size(); ++i) {
        const SchemaIndex& index = table.indexes[i];
        std::uint8_t* def = header + kHdrIndexes + static_cast<std::int32_t>(i) * kIndexDefSize;
        PutText(def + kIdxName, kNameSize, index.name);
        def[kIdxOptions] = index.options;
        // The key list ends at the first -1, so every unused slot holds one.
        for (std::int32_t k = 0; k < kMaxKeyFields; ++k) {
            const bool used = static_cast<size_t>(k) < index.fieldNumbers.size();
            PutI32(def + kIdxFields + k * 4,
                   used ? index.fieldNumbers[static_cast<size_t>(k)] : -1);
        }
        // First index-tab chunk and head stay 0.
    }
}

}  // namespace

std::vector<std::uint8_t> BuildDatabaseImage(const DatabaseSchema& schema) {
    ValidateSchema(schema);
    const auto tableCount = static_cast<std::int32_t>(schema.tables.size());
    std::vector<std::uint8_t> image(
        static_cast<size_t>(kFirstFreeAt + std::int64_t{tableCount} * kTableHeaderSize), 0);
    std::uint8_t* bytes = image.data();

    // The file header is laid out on its own and copied in whole (the zero bytes are there).
    std::array<std::uint8_t, kFileHeaderSize> header{};
    std::memcpy(header.data(), kMagic, std::strlen(kMagic));
    PutText(header.data() + kVersionAt, kVersionSize, kFreshFileVersion);
    std::memcpy(bytes + kFileHeaderAt, header.data(), header.size());
    PutOptions(bytes + kOptionsAt, schema.options);

    std::uint8_t* tab = bytes + kTableTabAt;
    PutI32(tab + kTabCount, tableCount);
    for (std::int32_t t = 0; t < tableCount; ++t) {
        const std::int64_t headerAt = kFirstFreeAt + std::int64_t{t} * kTableHeaderSize;
        PutI32(tab + kTabOffsets + t * 4, static_cast<std::int32_t>(headerAt));
        PutTableHeader(bytes + headerAt, schema.tables[static_cast<size_t>(t)]);
    }
    return image;
}

void CreateDatabaseFile(const std::string& path, const DatabaseSchema& schema) {
    const std::vector<std::uint8_t> image = BuildDatabaseImage(schema);
    TFileStream file(path, TFileStream::Mode::CreateNew);
    try {
        file.WriteBuffer(image.data(), static_cast<std::int64_t>(image.size()));
        file.Flush();
    } catch (...) {
        // The file is ours (the create refused any existing one): leave no half-written file.
        ::unlink(path.c_str());
        throw;
    }
}

}  // namespace vesk
