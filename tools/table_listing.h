#pragma once
// `vesk tables` and `vesk dump`, read through the engine's own table reader, so that what they
// print is what the program itself would read.
#include <iosfwd>
#include <string>

namespace vesktool {

// One line per table in table-number order: its name, then each field as name:type:size
// (type as in the schema text, size the declared data size), then each index as
// name(field,...)[option,...], all separated by single blanks.
// Throws the engine's errors (EDatabaseError, EStreamError) for a file it cannot read.
void ListTables(const std::string& path, std::ostream& out);

// The live rows of the table in physical order as TSV: a header line of field names, then one
// line per row (tools/tsv_format.h). Integers in decimal, booleans True/False, floats, dates
// and times as their stored numbers, texts and blobs escaped. An enciphered file needs its
// password (an empty one is tried as the empty password): "Access denied" (EDatabaseError)
// otherwise, before anything is written to out. A filter text (the engine's filter grammar)
// keeps only the rows it passes; a text the engine refuses raises its message, before anything
// is written. Throws the engine's errors.
void DumpTable(const std::string& path, const std::string& table, std::ostream& out,
               const std::string& password = {}, const std::string& filter = {});

}  // namespace vesktool
