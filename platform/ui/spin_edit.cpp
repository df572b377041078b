#include "platform/ui/spin_edit.h"

#include <QLineEdit>

#include <algorithm>
#include <limits>

namespace ui {

SpinEdit::SpinEdit(QWidget* parent) : QSpinBox(parent) {
    ClearBounds();
    QSpinBox::setValue(0);
}

void SpinEdit::SetBounds(int min, int max) {
    bounds_ = SpinBounds{std::min(min, max), std::max(min, max)};
    setRange(bounds_->min, bounds_->max);  // QSpinBox brings its value within the range
}

void SpinEdit::ClearBounds() {
    bounds_.reset();
    setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
}

int SpinEdit::Value() const {
    return ReadSpinText(cleanText().toStdString(), bounds_);
}

void SpinEdit::SetValue(int value) {
    const int clamped = ClampToBounds(value, bounds_);
    QSpinBox::setValue(clamped);
    // setValue leaves a text alone when the value did not change, even a text being typed.
    const QString shown = textFromValue(clamped);
    if (lineEdit()->text() != shown)
        lineEdit()->setText(shown);
}

QValidator::State SpinEdit::validate(QString& input, int& /*position*/) const {
    const std::string text = input.toStdString();
    if (ParseNumber(text)) {
        return ReadSpinText(text, bounds_) == ParseNumber(text).value() ? QValidator::Acceptable
                                                                        : QValidator::Intermediate;
    }
    const QString trimmed = input.trimmed();
    if (trimmed.isEmpty() || trimmed == "-" || trimmed == "+")
        return QValidator::Intermediate;
    return QValidator::Invalid;
}

void SpinEdit::fixup(QString& input) const {
    input = textFromValue(ReadSpinText(input.toStdString(), bounds_));
}

int SpinEdit::valueFromText(const QString& text) const {
    return ReadSpinText(text.toStdString(), bounds_);
}

}  // namespace ui
