#pragma once
// Texts read from a database file as they may appear in messages, and the rules a stored name
// obeys. Bytes from a damaged file can be anything: a message shows them escaped, and a name
// that breaks the rules is reported as damage instead of being looked up as if it were sound.
#include <cstdint>
#include <string>
#include <string_view>

namespace vesk {

// The bytes as a message shows them: printable ASCII and well-formed UTF-8 as they are, a
// backslash doubled, every other byte (control bytes, DEL, bytes of no UTF-8 character) as
// \xNN. Never throws but std::bad_alloc.
std::string EscapeStoredText(std::string_view bytes);

// The bytes escaped as above between single quotes, as a message names a table, field or
// index. Never throws but std::bad_alloc.
std::string QuotedStoredText(std::string_view bytes);

// The rule for the name of a table, field or index stored in a text[size] field: one to size
// bytes, followed by a zero byte when fewer than size, none of them a control byte (below 32,
// or 127). Returns what is wrong ("is empty", "holds the byte \x01"), or an empty text for a
// sound name. Never throws but std::bad_alloc.
std::string StoredNameProblem(const std::uint8_t* at, std::int32_t size);

// The rule for an algorithm name of the options block: one to size - 1 bytes followed by a
// zero byte ("has no terminating zero byte" otherwise, as no registered name is that long),
// every byte printable ASCII (33 to 126), as every registered name is.
std::string StoredAlgorithmNameProblem(const std::uint8_t* at, std::int32_t size);

// The rule for a name written into a file (the file builder): what StoredNameProblem would
// say of it once stored, or an empty text.
std::string NameProblem(std::string_view name);

}  // namespace vesk
