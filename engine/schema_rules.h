#pragma once
// What a database file can hold: the slot limits, the field types a table may use and the
// bytes each takes in a record. Used by the file builder before it writes anything and by
// tools that inspect files.
#include <cstdint>
#include <string>

#include "engine/database_schema.h"

namespace vesk {

// Longest name of a table, field or index (a text[33] keeps its zero byte).
constexpr std::int32_t kMaxNameLength = 32;
// Longest text a string field may be declared with; keeps every record size far from overflow.
constexpr std::int32_t kMaxStringSize = 1 << 20;
// Longest password digest text (text[129]).
constexpr std::int32_t kMaxDigestLength = 128;
constexpr std::uint8_t kMaxCipherMode = 4;

// Bytes the field takes in a record: data size + 1 for ftString and ftFixedChar, the blob
// descriptor for blob kinds, the fixed size of the other loadable types; -1 for a type that
// no table can be loaded with. Never throws.
std::int32_t RecordSlotSize(TFieldType type, std::int32_t dataSize);

// True for the types a table may be created with (those with a record slot).
bool IsLoadableFieldType(std::uint8_t typeCode);

// The type's name without its "ft" prefix ("String", "AutoInc"), or "#<code>" when the code
// names no type. Never throws.
std::string FieldTypeName(std::uint8_t typeCode);

// Checks every rule of the format on the schema; throws EDatabaseError naming the first
// violation (table, field or index and what is wrong). Leaves nothing changed.
void ValidateSchema(const DatabaseSchema& schema);

}  // namespace vesk
