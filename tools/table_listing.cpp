#include "tools/table_listing.h"

#include <stdexcept>

namespace vesktool {

void ListTables(const std::string&, std::ostream&) {
    throw std::runtime_error("listing tables needs the engine's table reader");
}

void DumpTable(const std::string&, const std::string&, std::ostream&) {
    throw std::runtime_error("dumping a table needs the engine's table reader");
}

}  // namespace vesktool
