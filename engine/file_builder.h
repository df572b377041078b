#pragma once
// Writes a fresh database file: the header with version "2.0", the options block, the table
// tab and one empty table header per table, each header right after the previous one from
// the first free offset on. Empty tables have no chunk: every first-chunk offset, count,
// counter and head is 0, unused key-field slots are -1, and every other byte is zero.
//
// The running program never creates files; the database tool and tests do.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/database_schema.h"

namespace vesk {

// The version text a fresh file carries.
constexpr const char* kFreshFileVersion = "2.0";

// The whole image of a fresh file. Throws EDatabaseError (ValidateSchema) when the schema is
// outside the format; nothing is built then.
std::vector<std::uint8_t> BuildDatabaseImage(const DatabaseSchema& schema);

// Creates the file at path with the image above. Refuses an existing file (EStreamError from
// the exclusive create) and an invalid schema (EDatabaseError, before the file is created).
// A write that fails removes the partly written file before the error passes on.
void CreateDatabaseFile(const std::string& path, const DatabaseSchema& schema);

}  // namespace vesk
