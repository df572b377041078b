#pragma once
// The type name the desktop gives a file, found from the file's name alone (the file need not
// exist): the description of the file's extension in the shared MIME database (in the
// application's language), such as "plain text document" for "a.txt".
//
// Every file gets a text, and files of one extension get the same one: only the last
// extension is looked at (so "a.tar.gz" is named as a ".gz" file). An extension the database
// does not know gives the extension in capitals + " File" ("A.QQQ" → "QQQ File"); a name
// without an extension gives "File". At most 79 bytes, cut at a UTF-8 character boundary.
//
// The user-interface thread only (answers are kept per extension). Never throws but for a
// lack of memory.
#include <string>

namespace ui {

std::string ShellTypeName(const std::string& name);

}  // namespace ui
