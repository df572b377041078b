#pragma once
// The integer edit of the dialogs: a line edit that reads as the number typed, 0 when it is
// empty or no number.
#include <QLineEdit>

namespace ui {

class IntegerEdit : public QLineEdit {
    Q_OBJECT

  public:
    explicit IntegerEdit(QWidget* parent = nullptr);

    int Value() const;
    void SetValue(int value);  // shows the number as decimal digits
};

}  // namespace ui
