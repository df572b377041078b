#pragma once
// The spin edit of the dialogs: a QSpinBox with the program's rules. With bounds, a value
// outside them is brought to the nearest bound when it is set and when the field is left; a
// text that is no number reads as the lower bound (0 without bounds). Typing may pass through
// texts outside the bounds or empty ones; they are settled when the field is left.
#include <QSpinBox>

#include <optional>

#include "platform/ui/number_text.h"

namespace ui {

class SpinEdit : public QSpinBox {
    Q_OBJECT

  public:
    // Starts without bounds and with the value 0.
    explicit SpinEdit(QWidget* parent = nullptr);

    void SetBounds(int min, int max);  // a reversed pair is taken in order
    void ClearBounds();
    const std::optional<SpinBounds>& Bounds() const { return bounds_; }

    // The value as the text reads now, by the rules above (also while it is being typed).
    int Value() const;
    // Sets the value, brought within the bounds, and shows it.
    void SetValue(int value);

    // Typing: a number within the bounds is acceptable, one outside them, an empty text or a
    // lone sign is on its way to one; any other text cannot be typed.
    QValidator::State validate(QString& input, int& position) const override;
    void fixup(QString& input) const override;

  protected:
    int valueFromText(const QString& text) const override;

  private:
    std::optional<SpinBounds> bounds_;
};

}  // namespace ui
