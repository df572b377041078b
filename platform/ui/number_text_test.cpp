#include "platform/ui/number_text.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <climits>

#include "platform/ui/integer_edit.h"
#include "platform/ui/spin_edit.h"
#include "platform/ui/testing/qt_test_environment.h"

namespace {

const std::optional<ui::SpinBounds> kNone;
const std::optional<ui::SpinBounds> kOneTo99 = ui::SpinBounds{1, 99};

TEST(NumberText, IntegerAndSpinTextsReadByTheRules) {
    const struct {
        const char* text;
        int integer;    // integer edit
        int unbounded;  // spin edit without bounds
        int oneTo99;    // spin edit 1..99
    } cases[] = {
        {"30", 30, 30, 30},
        {" 42 ", 42, 42, 42},
        {"+5", 5, 5, 5},
        {"-3", -3, -3, 1},
        {"150", 150, 150, 99},
        {"0", 0, 0, 1},
        {"", 0, 0, 1},
        {"  ", 0, 0, 1},
        {"abc", 0, 0, 1},
        {"12a", 0, 0, 1},
        {"1 2", 0, 0, 1},
        {"-", 0, 0, 1},
        {"3.5", 0, 0, 1},
        {"2147483647", INT_MAX, INT_MAX, 99},
        {"2147483648", 0, INT_MAX, 99},
        {"-2147483648", INT_MIN, INT_MIN, 1},
        {"-2147483649", 0, INT_MIN, 1},
        {"99999999999999999999999", 0, INT_MAX, 99},
        {"-99999999999999999999999", 0, INT_MIN, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ui::ReadIntegerText(c.text), c.integer) << "\"" << c.text << "\"";
        EXPECT_EQ(ui::ReadSpinText(c.text, kNone), c.unbounded) << "\"" << c.text << "\"";
        EXPECT_EQ(ui::ReadSpinText(c.text, kOneTo99), c.oneTo99) << "\"" << c.text << "\"";
    }
    EXPECT_EQ(ui::ParseNumber("9223372036854775807"), LLONG_MAX);
    EXPECT_EQ(ui::ParseNumber("-9223372036854775808"), LLONG_MIN);
    EXPECT_EQ(ui::ParseNumber("9223372036854775808"), LLONG_MAX);
}

void LeaveField(QWidget& widget) {
    QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(&widget, &leave);
}

TEST(SpinEdit, SettingAndLeavingBringValuesWithinTheBounds) {
    ui::SpinEdit spin;
    spin.SetBounds(99, 1);  // taken in order
    EXPECT_EQ(spin.Bounds()->min, 1);
    EXPECT_EQ(spin.Bounds()->max, 99);
    const struct {
        int set;
        int value;
    } sets[] = {{30, 30}, {0, 1}, {100, 99}, {-7, 1}, {99, 99}};
    for (const auto& s : sets) {
        spin.SetValue(s.set);
        EXPECT_EQ(spin.Value(), s.value) << s.set;
        EXPECT_EQ(spin.text().toInt(), s.value) << s.set;
    }

    const struct {
        const char* typed;
        int whileTyping;
        const char* afterLeaving;
    } typed[] = {{"500", 99, "99"}, {"", 1, "1"}, {"-", 1, "1"}, {"0", 1, "1"}, {"42", 42, "42"}};
    for (const auto& t : typed) {
        spin.setFocus();
        spin.findChild<QLineEdit*>()->setText(t.typed);
        EXPECT_EQ(spin.Value(), t.whileTyping) << t.typed;
        LeaveField(spin);
        EXPECT_EQ(spin.text().toStdString(), t.afterLeaving) << t.typed;
        EXPECT_EQ(spin.value(), t.whileTyping) << t.typed;
    }
}

TEST(SpinEdit, WithoutBoundsNoNumberReadsAsZeroAndLettersCannotBeTyped) {
    ui::SpinEdit spin;
    EXPECT_FALSE(spin.Bounds().has_value());
    spin.SetValue(2048);
    EXPECT_EQ(spin.Value(), 2048);
    spin.findChild<QLineEdit*>()->setText("x");
    EXPECT_EQ(spin.Value(), 0);
    LeaveField(spin);
    EXPECT_EQ(spin.text(), "0");

    QString letters = "ab";
    int position = 2;
    EXPECT_EQ(spin.validate(letters, position), QValidator::Invalid);
    spin.SetBounds(10, 20);
    QString outside = "5";
    EXPECT_EQ(spin.validate(outside, position), QValidator::Intermediate);  // on the way to 15
    QString inside = "15";
    EXPECT_EQ(spin.validate(inside, position), QValidator::Acceptable);
    EXPECT_EQ(spin.Value(), 10);  // the value 0 came within the new bounds
}

TEST(IntegerEdit, ReadsTheNumberTypedOrZero) {
    ui::IntegerEdit edit;
    EXPECT_EQ(edit.Value(), 0);
    edit.SetValue(777);
    EXPECT_EQ(edit.text(), "777");
    EXPECT_EQ(edit.Value(), 777);
    for (const char* text : {"", "21x", "port"}) {
        edit.setText(text);
        EXPECT_EQ(edit.Value(), 0) << text;
    }
    edit.setText("1080");
    EXPECT_EQ(edit.Value(), 1080);
}

}  // namespace
