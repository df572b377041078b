#pragma once
// Editable combo boxes whose items are remembered texts (histories, servers used before): the
// text a person types is the text the program gets. Qt's defaults match the items without
// regard to case: inline completion turns "*.T" into "*.Txt", and Return or leaving the field
// puts a matching item ("*.txt") in place of what was typed ("*.TXT"); Return also adds the
// typed text to the items. Names, patterns and Linux folders differ by case, so here
// completion and those matches go by the exact text, and Return adds no item (the dialog
// decides what its list remembers).
class QComboBox;

namespace ui {

// Makes `combo` editable with the rules above. Call it after any setEditable or setLineEdit
// of the box (they replace its completer). Never throws.
void KeepTypedText(QComboBox& combo);

}  // namespace ui
