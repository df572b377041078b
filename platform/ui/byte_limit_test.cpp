#include "platform/ui/byte_limit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

#include "platform/ui/testing/qt_test_environment.h"

namespace ui {
namespace {

const QString kE = QString::fromUtf8("\xC3\xA9");             // é, 2 bytes
const QString kEuro = QString::fromUtf8("\xE2\x82\xAC");      // €, 3 bytes
const QString kFace = QString::fromUtf8("\xF0\x9F\x98\x80");  // 4 bytes, 2 UTF-16 units

// Types `text` into `edit` key by key, a character of two UTF-16 units as one key.
void Type(QLineEdit& edit, const QString& text) {
    for (int at = 0; at < text.size();) {
        const int units = text[at].isHighSurrogate() && at + 1 < text.size() ? 2 : 1;
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text.mid(at, units));
        QApplication::sendEvent(&edit, &press);
        at += units;
    }
}

TEST(ByteLimit, Utf8SizeCountsTheStoredBytes) {
    EXPECT_EQ(Utf8Size(QString()), 0u);
    EXPECT_EQ(Utf8Size(QStringLiteral("abc")), 3u);
    EXPECT_EQ(Utf8Size(kE + kEuro + kFace), 9u);
    EXPECT_EQ(Utf8Size(QString(QChar(0xD800))), 3u);  // an unpaired surrogate
    for (const QString& text : {kE + "x" + kFace, QString(60, QChar(0xE9))})
        EXPECT_EQ(Utf8Size(text), static_cast<std::size_t>(text.toUtf8().size()));
}

// Typing stops at the limit without splitting a character; a paste enters the start of the
// pasted text that fits, where the cursor is.
TEST(ByteLimit, TypingAndPastingStopAtTheLimitInBytes) {
    struct Case {
        const char* what;
        std::size_t limit;
        QString typed;   // typed key by key
        int cursor;      // then the cursor goes here (-1: stays at the end)
        QString pasted;  // and this is pasted there
        QString text;
    };
    const Case cases[] = {
        {"ASCII", 5, "abcdefg", -1, {}, "abcde"},
        {"two-byte characters", 100, QString(60, QChar(0xE9)), -1, {}, QString(50, QChar(0xE9))},
        {"no half character", 4, "aaa" + kE, -1, {}, "aaa"},
        {"a character that fits", 5, "aaa" + kE + kE, -1, {}, "aaa" + kE},
        {"a surrogate pair is one character", 5, "a" + kFace + kFace, -1, {}, "a" + kFace},
        {"a pasted pair", 6, "a", -1, kFace + kFace, "a" + kFace},
        {"a paste in the middle", 6, "abcd", 2, kE + kE + kE, "ab" + kE + "cd"},
        {"a paste that fits", 10, "ab", 1, kEuro, "a" + kEuro + "b"},
        {"nothing fits", 3, "abc", 0, kEuro, "abc"},
    };
    for (const Case& c : cases) {
        QLineEdit edit;
        LimitUtf8Bytes(edit, c.limit);
        LimitUtf8Bytes(edit, c.limit);  // a second limit replaces the first
        Type(edit, c.typed);
        if (c.cursor >= 0)
            edit.setCursorPosition(c.cursor);
        if (!c.pasted.isEmpty())
            edit.insert(c.pasted);
        EXPECT_EQ(edit.text(), c.text) << c.what;
        EXPECT_LE(Utf8Size(edit.text()), c.limit) << c.what;
        EXPECT_TRUE(edit.hasAcceptableInput()) << c.what;
    }
}

// A text the program sets is cut at its end the same way.
TEST(ByteLimit, ASetTextIsCutAtItsEnd) {
    QLineEdit edit;
    LimitUtf8Bytes(edit, 5);
    edit.setText("abc" + kE + kE);
    EXPECT_EQ(edit.text(), "abc" + kE);
}

TEST(ByteLimit, AnEditableComboBoxTakesTheLimit) {
    QComboBox combo;
    combo.setEditable(true);
    LimitUtf8Bytes(combo, 3);
    QTest::keyClicks(combo.lineEdit(), "host");
    EXPECT_EQ(combo.currentText(), "hos");
    QComboBox list;  // a drop-down list has no edit to limit
    LimitUtf8Bytes(list, 3);
    EXPECT_EQ(list.lineEdit(), nullptr);
}

}  // namespace
}  // namespace ui
