#pragma once
// Reads the schema text from which `vesk create` makes a database file.
//
// The text is a list of lines; blank lines and everything from a '#' to the end of a line are
// ignored; words are separated by blanks or tabs. Keywords and type names ignore case, names
// are taken as written.
//
//   compression NAME                 compression on, with the registered algorithm NAME
//   encryption CIPHER MODE [DIGEST]  encryption on: cipher name, cipher mode 0 to 4 and the
//                                    password digest text as the file is to hold it (or
//                                    none, and `vesk create --password` writes it)
//   blobcheck                        every blob write is read back and verified
//   table NAME                       starts a table; the field and index lines below belong to it
//   field NAME TYPE [SIZE] [plain]   a field: TYPE is a field type without its "ft" prefix
//                                    (string, integer, boolean, autoinc, memo, ...); SIZE, the
//                                    number of characters, is required for string and fixedchar
//                                    and allowed for no other type; "plain" stores the value
//                                    outside compression and encryption
//   index NAME FIELDS [OPTION...]    an index on FIELDS, field names joined by ','  (most
//                                    significant first); options: primary, unique, descending,
//                                    caseinsensitive
//
// Example:
//   table ftpsite
//   field id autoinc
//   field name string 100
//   index pk id primary unique
#include <stdexcept>
#include <string>
#include <string_view>

#include "engine/database_schema.h"

namespace vesktool {

// A schema text that cannot be read; the message names the line ("line 4: ...").
class SchemaError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Parses the text. Throws SchemaError on the first line that is not understood. The result is
// not yet checked against the file format's limits (vesk::ValidateSchema does that).
vesk::DatabaseSchema ParseSchema(std::string_view text);

}  // namespace vesktool
