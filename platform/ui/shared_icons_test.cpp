#include "platform/ui/shared_icons.h"

#include <gtest/gtest.h>

#include "platform/ui/testing/qt_test_environment.h"

namespace {

// A kind is made once: every later call gives the same icon (one engine, one set of pixmaps);
// other kinds are pictures of their own.
TEST(SharedIcons, EachKindIsMadeOnceAndShared) {
    int made = 0;
    const auto make = [&made] {
        ++made;
        return ui::StyleIcon(QStyle::SP_FileIcon);
    };
    const QIcon first = ui::SharedIcon(QStringLiteral("test:kind"), make);
    const QIcon second = ui::SharedIcon(QStringLiteral("test:kind"), make);
    EXPECT_EQ(made, 1);
    EXPECT_EQ(first.cacheKey(), second.cacheKey());

    EXPECT_EQ(ui::ThemedIcon("folder", QStyle::SP_DirIcon).cacheKey(),
              ui::ThemedIcon("folder", QStyle::SP_DirIcon).cacheKey());
    EXPECT_FALSE(ui::ThemedIcon("folder", QStyle::SP_DirIcon).isNull());
    EXPECT_NE(ui::ThemedIcon("folder", QStyle::SP_DirIcon).cacheKey(),
              ui::ThemedIcon("text-x-generic", QStyle::SP_FileIcon).cacheKey());
    EXPECT_EQ(ui::StyleIcon(QStyle::SP_DirIcon).cacheKey(),
              ui::StyleIcon(QStyle::SP_DirIcon).cacheKey());
    EXPECT_NE(ui::StyleIcon(QStyle::SP_DirIcon).cacheKey(),
              ui::StyleIcon(QStyle::SP_FileIcon).cacheKey());
}

}  // namespace
