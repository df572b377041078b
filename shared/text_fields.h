#pragma once
// Texts put into the engine's text fields. A text field holds a fixed number of bytes and
// refuses a longer value, so what the program stores is made to fit: a text from a server or
// a multi-line edit is cut, never inside a UTF-8 character, and a single-line edit takes no
// more than its field holds. The sizes come from the table's own field definitions.
#include <cstddef>
#include <string_view>
#include <vector>

namespace vesk {
class TField;
class TVeskTable;
}  // namespace vesk

namespace shared {

// Sets text field `field` (of a table in edit or insert state) to `value` cut to the bytes the
// field holds (os::CutUtf8); a field of another type gets `value` as it is. Throws what
// TField::SetAsString throws, for a text field never for the length.
void SetCutText(vesk::TField& field, std::string_view value);

// The bytes each of the text fields `names` of `table` holds, in order. An open table answers
// from its fields and stays open; a closed one is opened for the read and closed again (its
// state is then as before). Throws what opening throws, and "Field '<name>' not found".
std::vector<std::size_t> TextFieldSizes(vesk::TVeskTable& table,
                                        const std::vector<std::string_view>& names);

}  // namespace shared
