#include "shared/testing/database_files.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "engine/file_builder.h"
#include "tools/schema_parser.h"

namespace shared::testing {

void MakeDatabaseFile(const std::string& file, const std::string& schemaName) {
    const std::string schemaPath = std::string(ZANTROPE_SOURCE_DIR) + "/data/" + schemaName;
    std::ifstream in(schemaPath);
    if (!in)
        throw std::runtime_error("cannot read the schema " + schemaPath);
    std::ostringstream text;
    text << in.rdbuf();
    vesk::CreateDatabaseFile(file, vesktool::ParseSchema(text.str()));
}

}  // namespace shared::testing
