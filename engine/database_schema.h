#pragma once
// The definition of a database file to be created: its option flags and its tables with their
// fields and indexes, as plain values. The file builder lays them out; the schema rules check
// them against what the file format can hold.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/field_type.h"

namespace vesk {

struct SchemaField {
    std::string name;
    TFieldType type = ftUnknown;
    std::int32_t dataSize = 0;     // characters of a text kind; stored as given for other kinds
    std::uint8_t processMode = 0;  // 0: the value takes part in compression and encryption
};

struct SchemaIndex {
    std::string name;
    std::uint8_t options = 0;                // bits of format::kIdxPrimary ... kIdxCaseInsensitive
    std::vector<std::int32_t> fieldNumbers;  // key fields, most significant first
};

struct SchemaTable {
    std::string name;
    std::vector<SchemaField> fields;
    std::vector<SchemaIndex> indexes;
};

struct SchemaOptions {
    bool compression = false;
    std::string compressionName;  // registered name, e.g. "ZIP"
    bool encryption = false;
    std::uint8_t cipherMode = 0;  // 0 to 4
    std::string cipherName;       // registered name, e.g. "Blowfish"
    std::string passwordDigest;   // the password digest text, written as given
    bool blobCheck = false;
};

struct DatabaseSchema {
    SchemaOptions options;
    std::vector<SchemaTable> tables;
};

}  // namespace vesk
