#pragma once
// The single-line edits of a dialog take no more bytes than the text fields they are stored
// in (ui::LimitUtf8Bytes), with the sizes read from the table (shared::TextFieldSizes), so an
// over-long name or address can never be typed and then refused by the engine on OK.
#include <string_view>
#include <vector>

class QLineEdit;

namespace vesk {
class TVeskTable;
}

namespace dialogs {

// An edit and the field of the table that stores its text.
struct FieldEdit {
    QLineEdit* edit;
    std::string_view field;
};

// Limits each edit to the size of its field of `table`, read with one opening of the table
// (a table held open stays open). Throws what reading the sizes throws; no edit is limited
// then.
void LimitToFields(vesk::TVeskTable& table, const std::vector<FieldEdit>& edits);

}  // namespace dialogs
