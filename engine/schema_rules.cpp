#include "engine/schema_rules.h"

#include <algorithm>

#include "engine/db_error.h"
#include "engine/file_format.h"
#include "engine/stored_text.h"
#include "engine/table_defs.h"
#include "platform/os/collation.h"

namespace vesk {

namespace {

// A name as it appears in a message: no control byte, no byte of no character.
std::string Shown(const std::string& name) {
    return EscapeStoredText(name);
}

[[noreturn]] void Refuse(const std::string& where, const std::string& what) {
    throw EDatabaseError(where + ": " + what);
}

// Names are looked up ignoring case, so two names that differ only in case could never both
// be found; the stored text stops at the first zero byte, so a name must not hold one.
void CheckName(const std::string& where, const std::string& name) {
    if (name.empty())
        Refuse(where, "the name is empty");
    if (name.size() > static_cast<size_t>(kMaxNameLength))
        Refuse(where, "the name is longer than " + std::to_string(kMaxNameLength) + " bytes");
    if (name.find('\0') != std::string::npos)
        Refuse(where, "the name holds a zero byte");
    // Readers refuse a name with a control byte as damage; so it is never written.
    if (const std::string problem = NameProblem(name); !problem.empty())
        Refuse(where, "the name " + problem);
}

template <typename Item>
void CheckUniqueNames(const std::string& where, const std::vector<Item>& items, const char* kind) {
    for (size_t i = 0; i < items.size(); ++i)
        for (size_t j = 0; j < i; ++j)
            if (os::CompareAnsiText(items[i].name, items[j].name, true) == 0)
                Refuse(where, std::string("two ") + kind + " are named '" + items[i].name + "'");
}

void CheckAlgorithmName(const std::string& what, bool on, const std::string& name) {
    if (on && name.empty())
        Refuse("Options", what + " is on but has no algorithm name");
    if (name.size() > static_cast<size_t>(kMaxNameLength) || name.find('\0') != std::string::npos)
        Refuse("Options", what + " algorithm name '" + Shown(name) + "' does not fit its field");
}

void CheckOptions(const SchemaOptions& options) {
    CheckAlgorithmName("compression", options.compression, options.compressionName);
    CheckAlgorithmName("encryption", options.encryption, options.cipherName);
    if (options.cipherMode > kMaxCipherMode)
        Refuse("Options", "cipher mode " + std::to_string(options.cipherMode) +
                              " is not one of 0 to " + std::to_string(kMaxCipherMode));
    if (options.passwordDigest.size() > static_cast<size_t>(kMaxDigestLength) ||
        options.passwordDigest.find('\0') != std::string::npos)
        Refuse("Options", "the password digest text does not fit its field");
}

void CheckField(const std::string& where, const SchemaField& field) {
    CheckName(where, field.name);
    if (!IsLoadableFieldType(field.type))
        Refuse(where, "field type " + FieldTypeName(field.type) + " cannot be stored");
    if (field.type == ftString || field.type == ftFixedChar) {
        if (field.dataSize < 1 || field.dataSize > kMaxStringSize)
            Refuse(where, "text size " + std::to_string(field.dataSize) + " is not one of 1 to " +
                              std::to_string(kMaxStringSize));
    } else if (field.dataSize < 0) {
        Refuse(where, "the data size is negative");
    }
}

void CheckIndex(const std::string& where, const SchemaIndex& index,
                const std::vector<SchemaField>& fields) {
    CheckName(where, index.name);
    constexpr std::uint8_t kKnownOptions = format::kIdxPrimary | format::kIdxUnique |
                                           format::kIdxDescending | format::kIdxCaseInsensitive;
    if ((index.options & ~kKnownOptions) != 0)
        Refuse(where, "unknown index option bits");
    if (index.fieldNumbers.empty())
        Refuse(where, "the index has no key field");
    if (index.fieldNumbers.size() > static_cast<size_t>(format::kMaxKeyFields))
        Refuse(where, "more than " + std::to_string(format::kMaxKeyFields) + " key fields");
    for (const std::int32_t number : index.fieldNumbers) {
        if (number < 0 || static_cast<size_t>(number) >= fields.size())
            Refuse(where, "key field number " + std::to_string(number) + " is out of range");
        // Keys are compared as values; a blob descriptor has no value to order by.
        if (IsBlobKind(fields[static_cast<size_t>(number)].type))
            Refuse(where, "blob field '" + Shown(fields[static_cast<size_t>(number)].name) +
                              "' cannot be a key field");
    }
}

void CheckTable(const SchemaTable& table) {
    const std::string where = "Table '" + Shown(table.name) + "'";
    CheckName(where, table.name);
    if (table.fields.empty())
        Refuse(where, "the table has no field");
    if (table.fields.size() > static_cast<size_t>(format::kMaxFields))
        Refuse(where, "more than " + std::to_string(format::kMaxFields) + " fields");
    if (table.indexes.size() > static_cast<size_t>(format::kMaxIndexes))
        Refuse(where, "more than " + std::to_string(format::kMaxIndexes) + " indexes");
    for (const SchemaField& field : table.fields)
        CheckField(where + ", field '" + Shown(field.name) + "'", field);
    CheckUniqueNames(where, table.fields, "fields");
    int primaries = 0;
    for (const SchemaIndex& index : table.indexes) {
        CheckIndex(where + ", index '" + Shown(index.name) + "'", index, table.fields);
        if ((index.options & format::kIdxPrimary) != 0)
            ++primaries;
    }
    CheckUniqueNames(where, table.indexes, "indexes");
    // Only the first primary index is ever used as such; a second one is a mistake.
    if (primaries > 1)
        Refuse(where, "more than one primary index");
}

}  // namespace

std::int32_t RecordSlotSize(TFieldType type, std::int32_t dataSize) {
    // The engine's own layout rule decides; a type it refuses has no slot.
    TVeskFieldDef field;
    field.FieldType = type;
    field.DataSize = dataSize;
    try {
        return GetFieldStorageSize(field);
    } catch (const EDatabaseError&) {
        return -1;
    }
}

bool IsLoadableFieldType(std::uint8_t typeCode) {
    return typeCode <= ftFMTBcd && RecordSlotSize(static_cast<TFieldType>(typeCode), 1) > 0;
}

std::string FieldTypeName(std::uint8_t typeCode) {
    static const char* const kNames[] = {
        "Unknown",    "String",     "Smallint", "Integer",     "Word",      "Boolean",
        "Float",      "Currency",   "BCD",      "Date",        "Time",      "DateTime",
        "Bytes",      "VarBytes",   "AutoInc",  "Blob",        "Memo",      "Graphic",
        "FmtMemo",    "ParadoxOle", "DBaseOle", "TypedBinary", "Cursor",    "FixedChar",
        "WideString", "Largeint",   "ADT",      "Array",       "Reference", "DataSet",
        "OraBlob",    "OraClob",    "Variant",  "Interface",   "IDispatch", "Guid",
        "TimeStamp",  "FMTBcd"};
    static_assert(sizeof kNames / sizeof kNames[0] == ftFMTBcd + 1);
    if (typeCode > ftFMTBcd)
        return "#" + std::to_string(typeCode);
    return kNames[typeCode];
}

void ValidateSchema(const DatabaseSchema& schema) {
    CheckOptions(schema.options);
    if (schema.tables.size() > static_cast<size_t>(format::kMaxTables))
        Refuse("Database", "more than " + std::to_string(format::kMaxTables) + " tables");
    for (const SchemaTable& table : schema.tables)
        CheckTable(table);
    CheckUniqueNames("Database", schema.tables, "tables");
}

}  // namespace vesk
