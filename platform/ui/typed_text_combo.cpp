#include "platform/ui/typed_text_combo.h"

#include <QComboBox>
#include <QCompleter>

namespace ui {

void KeepTypedText(QComboBox& combo) {
    combo.setEditable(true);
    combo.setInsertPolicy(QComboBox::NoInsert);
    // The box matches its items on Return and on leaving the field with its completer's case
    // rule; a case-sensitive completer makes those matches exact too.
    if (QCompleter* completer = combo.completer())
        completer->setCaseSensitivity(Qt::CaseSensitive);
}

}  // namespace ui
