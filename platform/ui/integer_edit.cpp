#include "platform/ui/integer_edit.h"

#include "platform/ui/number_text.h"

namespace ui {

IntegerEdit::IntegerEdit(QWidget* parent) : QLineEdit(parent) {}

int IntegerEdit::Value() const {
    return ReadIntegerText(text().toStdString());
}

void IntegerEdit::SetValue(int value) {
    setText(QString::number(value));
}

}  // namespace ui
