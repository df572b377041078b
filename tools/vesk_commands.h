#pragma once
// The commands of the database tool `vesk`:
//   vesk create FILE SCHEMA   a new database file from a schema text (tools/schema_parser.h);
//                             an existing FILE is never overwritten
//   vesk tables FILE          one line per table: its name, each field as name:type:size,
//                             each index as name(fields)[options]
//   vesk dump FILE TABLE      the table's live rows in physical order as TSV, after a header
//                             line of field names (tools/tsv_format.h gives the cells)
//   vesk check FILE           walks every chain and index, decodes compressed values; lists
//                             each problem found
//   vesk import FILE TABLE TSV  appends the rows of a TSV (as dump writes it) through the
//                             engine's table component; prints the number of rows
//   vesk delete FILE TABLE FIELD VALUE  deletes every row whose FIELD equals VALUE; prints
//                             the number of rows
// create, dump, check, import and delete take "--password PASSWORD" anywhere after the
// command: the password of an enciphered file (check decodes the compressed values of an
// enciphered file only with it). create writes its digest text into the file's options (the
// schema then has an encryption line and no digest of its own); an enciphered file is never
// created without a password, and compression and cipher names must be registered.
#include <iosfwd>
#include <string>
#include <vector>

namespace vesktool {

// Exit codes: 0 success (check: the file is sound), 1 the command failed (its error or the
// problems found go to err), 2 the command line was not understood (usage goes to err).
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// Runs one command; args are the words after the program name. Never throws.
int RunVesk(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace vesktool
