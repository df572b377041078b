#pragma once
// Stored field values of a record, read straight from their bytes as the record layout holds
// them (no decoding: enciphered values cannot be read this way).
#include <cstdint>

#include "engine/field_type.h"

namespace vesktool {

// Compares two stored values of a non-blob field of the given type and data size the way
// keys are ordered: texts by the program's collation (case ignored on request), numbers,
// dates and times by value, false before true. Returns -1, 0 or 1. Both pointers must hold
// the field's whole record slot.
int CompareStoredValues(vesk::TFieldType type, std::int32_t dataSize, const std::uint8_t* left,
                        const std::uint8_t* right, bool caseInsensitive);

// The integer value of a stored ftSmallint, ftWord, ftBoolean, ftInteger, ftAutoInc, ftDate,
// ftTime or ftLargeint field; 0 for any other type.
std::int64_t StoredInteger(vesk::TFieldType type, const std::uint8_t* at);

}  // namespace vesktool
