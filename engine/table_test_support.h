#pragma once
// Test support for the writing side: a fresh database file in a temporary folder, a table
// opened on it without a database component, and a record buffer of the test table
// (id ftAutoInc, num ftInteger, name ftString(12), memo ftBlob).
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "engine/database_schema.h"
#include "engine/db_file_io.h"
#include "engine/field_buffers.h"
#include "engine/file_builder.h"
#include "engine/file_format.h"
#include "engine/table_io.h"
#include "engine/table_io_owner.h"

namespace vesk::write_testing {

inline std::string TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vesk-write-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    return pattern;
}

inline std::vector<std::uint8_t> FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    std::vector<std::uint8_t> bytes(static_cast<size_t>(in.tellg()));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

constexpr std::int32_t kNameSize = 12;

// Table "items": id (auto, primary unique), num (descending, not unique), name (case
// insensitive, not unique), memo (blob, no index). A second table "other" stays empty.
inline DatabaseSchema ItemsSchema(bool blobCheck = false) {
    DatabaseSchema schema;
    schema.options.blobCheck = blobCheck;
    SchemaTable other{"other", {{"x", ftInteger, 0, 0}}, {}};
    SchemaTable items{"items",
                      {{"id", ftAutoInc, 0, 0},
                       {"num", ftInteger, 0, 0},
                       {"name", ftString, kNameSize, 0},
                       {"memo", ftBlob, 0, 0}},
                      {{"pk", format::kIdxPrimary | format::kIdxUnique, {0}},
                       {"bynum", format::kIdxDescending, {1}},
                       {"byname", format::kIdxCaseInsensitive, {2}}}};
    schema.tables = {other, items};
    return schema;
}

// One record buffer of the items table and its field buffers.
struct ItemRecord {
    std::uint8_t id[4] = {};
    std::uint8_t num[4] = {};
    char name[kNameSize + 1] = {};
    TBlobBufferStream memo;
    TFieldBuffers buffers;

    ItemRecord() {
        buffers.Add(id, ftAutoInc, 4);
        buffers.Add(num, ftInteger, 4);
        buffers.Add(name, ftString, kNameSize + 1);
        buffers.AddBlob(&memo, ftBlob);
    }
    ItemRecord(std::int32_t idValue, std::int32_t numValue, const std::string& text,
               const std::string& blob = {})
        : ItemRecord() {
        Set(idValue, numValue, text, blob);
    }
    void Set(std::int32_t idValue, std::int32_t numValue, const std::string& text,
             const std::string& blob) {
        format::PutI32(id, idValue);
        format::PutI32(num, numValue);
        std::memset(name, 0, sizeof name);
        std::memcpy(name, text.data(), std::min(text.size(), sizeof name));
        memo.Clear();
        memo.Write(blob.data(), static_cast<std::int64_t>(blob.size()));
    }
    std::int32_t Id() const { return format::GetI32(id); }
};

// A database file opened without a database component, and one table of it opened.
class OpenTable {
  public:
    OpenTable(const std::string& path, const std::string& table, TDBFileIOOwner* owner = nullptr)
        : file_(owner) {
        file_.Open(path, mtDisk, false);
        owner_ = std::make_unique<TFileTableIOOwner>(file_);
        table_ = std::make_unique<TVeskTableIO>(*owner_, table);
        table_->Open();
    }
    TVeskTableIO& Table() { return *table_; }
    TVeskDBFileIO& File() { return file_; }

    // The stored values of one entry.
    std::int32_t IntValue(std::int32_t entryNo, std::int32_t fieldNo) {
        TMemoryStream value;
        table_->ReadFieldValue(value, entryNo, fieldNo);
        return value.Size() >= 4 ? format::GetI32(value.Memory()) : -1;
    }
    std::string TextValue(std::int32_t entryNo, std::int32_t fieldNo) {
        TMemoryStream value;
        table_->ReadFieldValue(value, entryNo, fieldNo);
        std::string text = value.AsString();
        return text.substr(0, text.find('\0'));
    }
    std::string BlobValue(std::int32_t entryNo, std::int32_t fieldNo) {
        TMemoryStream value;
        table_->ReadFieldValue(value, entryNo, fieldNo);
        return value.AsString();
    }
    // Entry numbers of list i in order.
    std::vector<std::int32_t> Order(std::int32_t listNo) {
        std::vector<std::int32_t> entries;
        for (const TRecordItem& item : table_->GetRecordList(listNo))
            entries.push_back(item.EntryNo);
        return entries;
    }
    std::int32_t HeaderI32(std::int32_t at) {
        return format::GetI32(table_->HeaderCopy().data() + at);
    }

  private:
    TVeskDBFileIO file_;
    std::unique_ptr<TFileTableIOOwner> owner_;
    std::unique_ptr<TVeskTableIO> table_;
};

}  // namespace vesk::write_testing
