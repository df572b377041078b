#pragma once
// For tests only: makes a database file in the test process from one of the schemas the build
// makes the shipped files from (data/<schema>), so tests need no tool run through the shell.
#include <string>

namespace shared::testing {

// Creates `file` (which must not exist) from data/<schemaName> of the source tree. Throws the
// engine's or the schema reader's error.
void MakeDatabaseFile(const std::string& file, const std::string& schemaName);

}  // namespace shared::testing
