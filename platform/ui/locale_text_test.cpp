#include "platform/ui/locale_text.h"

#include <gtest/gtest.h>

#include <QLocale>

namespace ui {
namespace {

// The locale is the user's: a comma-decimal locale writes commas, and no number gets group
// separators whatever the locale.
TEST(LocaleText, NumbersUseTheUsersDecimalSeparatorAndNoGroups) {
    const QLocale saved;
    struct Case {
        QLocale::Language language;
        QLocale::Territory territory;
        const char* fixed;
        const char* general;
    };
    const Case cases[] = {{QLocale::English, QLocale::UnitedStates, "1234.57", "12345.5"},
                          {QLocale::German, QLocale::Germany, "1234,57", "12345,5"}};
    for (const Case& c : cases) {
        QLocale::setDefault(QLocale(c.language, c.territory));
        EXPECT_EQ(FormatFixed2(1234.567), c.fixed);
        EXPECT_EQ(FormatGeneral(12345.5), c.general);
    }
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(FormatFixed2(32), "32.00");
    EXPECT_EQ(FormatGeneral(1.5), "1.5");
    EXPECT_EQ(FormatGeneral(2), "2");
    EXPECT_EQ(LongDateText({.year = 2026, .month = 12, .day = 10}), "Thursday, December 10, 2026");
    QLocale::setDefault(saved);
}

}  // namespace
}  // namespace ui
