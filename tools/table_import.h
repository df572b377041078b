#pragma once
// The writing commands of the database tool, both through the engine's table component (so
// keys, indexes and the file's codecs follow the engine's own rules):
//   ImportRows  appends the rows of a TSV text (a header line of field names, then one line per
//               row, cells as `vesk dump` writes them) to a table. A field of the engine's key
//               left empty or 0 gets its key from the engine.
//   DeleteRows  deletes every row whose field equals the value (exact, case-sensitive).
// Both return the number of rows written or deleted. Blob cells are the value's text,
// escaped as for text fields. password opens an enciphered file (an empty one is tried as
// the empty password); the engine refuses a wrong one with "Access denied". Errors are
// exceptions with a message; rows posted before an error stay (the engine has no
// transactions), and an import error names its line.
#include <cstdint>
#include <istream>
#include <string>

namespace vesktool {

std::int64_t ImportRows(const std::string& file, const std::string& table, std::istream& tsv,
                        const std::string& password = {});
std::int64_t DeleteRows(const std::string& file, const std::string& table, const std::string& field,
                        const std::string& value, const std::string& password = {});

}  // namespace vesktool
