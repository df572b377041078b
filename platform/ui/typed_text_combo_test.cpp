#include "platform/ui/typed_text_combo.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include "platform/ui/testing/qt_test_environment.h"

namespace ui {
namespace {

// A person types into a box of remembered texts and then presses Return or leaves the field:
// the text stays as typed unless it extends an item of the same case (the completion shows
// as selected text and is taken), and no item is added.
TEST(TypedTextCombo, TheTextStaysAsTypedBesideItemsOfAnotherCase) {
    struct Case {
        const char* typed;
        bool leave;  // Tab to the next field instead of Return
        const char* text;
    };
    const Case cases[] = {
        {"*.TXT", false, "*.TXT"},  // an item of another case is not taken on Return
        {"*.TXT", true, "*.TXT"},   // nor on leaving the field
        {"*.T", false, "*.T"},      // nor completed
        {"*.t", false, "*.txt"},    // the same case completes
        {"*.doc", false, "*.doc"},  // a new text
    };
    for (const Case& c : cases) {
        QWidget window;
        auto* column = new QVBoxLayout(&window);
        auto* combo = new QComboBox(&window);
        KeepTypedText(*combo);
        combo->addItems({QStringLiteral("*.txt"), QStringLiteral("/srv/data")});
        combo->setCurrentIndex(-1);
        auto* next = new QLineEdit(&window);
        column->addWidget(combo);
        column->addWidget(next);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        ASSERT_TRUE(combo->isEditable());
        QLineEdit& edit = *combo->lineEdit();
        edit.setFocus();
        QTest::keyClicks(&edit, QString::fromLatin1(c.typed));
        if (c.leave) {
            next->setFocus();
        } else {
            QTest::keyClick(&edit, Qt::Key_Return);
        }
        EXPECT_EQ(combo->currentText(), QString::fromLatin1(c.text)) << c.typed;
        EXPECT_EQ(combo->count(), 2) << c.typed;
    }
}

}  // namespace
}  // namespace ui
