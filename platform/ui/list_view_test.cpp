#include "platform/ui/list_view.h"

#include <gtest/gtest.h>

#include <QAbstractItemDelegate>
#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QStandardItemModel>

#include <stdexcept>

#include "platform/ui/handler_guard.h"
#include "platform/ui/list_view_test_support.h"
#include "platform/ui/testing/qt_test_environment.h"

namespace ui {
namespace {

class ListViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* caption : {"one", "two", "three"})
            model_.appendRow(new QStandardItem(QString::fromLatin1(caption)));
        list_.SetModel(&model_);
        list_.resize(400, 300);
        list_.show();
    }

    void Edit(int row, const QString& text) { EditCaptionInPlace(list_, row, text); }

    QString Caption(int row) const { return model_.item(row)->text(); }

    QStandardItemModel model_;
    ListView list_;
};

TEST_F(ListViewTest, EveryStyleShowsOneSelection) {
    int changes = 0;
    list_.OnSelectItem = [&] { ++changes; };
    list_.Select(1);
    const ViewStyle styles[] = {ViewStyle::kLargeIcons, ViewStyle::kSmallIcons, ViewStyle::kList,
                                ViewStyle::kReport};
    for (ViewStyle style : styles) {
        list_.SetStyle(style);
        EXPECT_EQ(list_.Style(), style);
        EXPECT_EQ(list_.Selected(), 1);
        EXPECT_TRUE(list_.CurrentView()->isVisible());
        EXPECT_TRUE(list_.CurrentView()->selectionModel()->isRowSelected(1, QModelIndex()));
    }
    list_.Select(-1);
    EXPECT_EQ(list_.Selected(), -1);
    list_.Select(7);  // no such row: nothing selected
    EXPECT_EQ(list_.Selected(), -1);
    EXPECT_EQ(changes, 2);
}

TEST_F(ListViewTest, EditedCaptionGoesThroughTheHandlerWhichMayChangeOrRefuseIt) {
    std::string lastError;
    ScopedApplicationErrorHandler errors(
        [&](std::exception_ptr error) { lastError = ErrorText(error); });
    list_.OnEdited = [](int row, std::string& caption) {
        if (caption == "refused")
            throw std::runtime_error("no");
        if (row == 2)
            caption += "!";
    };
    for (ViewStyle style : {ViewStyle::kReport, ViewStyle::kLargeIcons}) {
        list_.SetStyle(style);
        Edit(0, QStringLiteral("first"));
        EXPECT_EQ(Caption(0), QStringLiteral("first"));
        Edit(2, QStringLiteral("third"));
        EXPECT_EQ(Caption(2), QStringLiteral("third!"));
        Edit(1, QStringLiteral("refused"));
        EXPECT_EQ(Caption(1), QStringLiteral("two"));
        EXPECT_EQ(lastError, "no");
    }
}

}  // namespace
}  // namespace ui
