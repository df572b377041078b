#include "platform/ui/owner_data_model.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPixmap>
#include <QScrollBar>
#include <QTreeView>

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>

#include "platform/ui/handler_guard.h"
#include "platform/ui/testing/qt_test_environment.h"

namespace {

QIcon Solid(Qt::GlobalColor color) {
    QPixmap pixmap(16, 16);
    pixmap.fill(color);
    return QIcon(pixmap);
}

class OwnerData : public ::testing::Test {
  protected:
    void SetUp() override {
        model_.SetColumns({"Name", "Size", "Type", "Modified", "Attrib"});
        model_.SetDataCallback([this](int row, ui::OwnerDataItem& item) {
            asked_.insert(row);
            item.caption = "file" + std::to_string(row);
            item.subItems = {std::to_string(row % 7) + "KB", "Text"};
            item.imageIndex = row % 3;  // 2 is beyond the two images
        });
        model_.SetImages({Solid(Qt::yellow), Solid(Qt::blue)});
    }

    ui::OwnerDataModel model_;
    std::set<int> asked_;
};

TEST_F(OwnerData, AHundredThousandRowsAskOnlyForTheVisibleOnes) {
    model_.SetRowCount(100000);
    QTreeView view;
    view.setUniformRowHeights(true);
    view.setRootIsDecorated(false);
    view.setModel(&model_);
    view.resize(400, 300);
    view.show();
    QCoreApplication::processEvents();
    ASSERT_FALSE(asked_.empty());
    EXPECT_LT(*asked_.rbegin(), 100) << "rows far below the window were asked";
    EXPECT_LT(model_.Requests(), 300);

    asked_.clear();
    view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum());
    QCoreApplication::processEvents();
    ASSERT_FALSE(asked_.empty());
    EXPECT_GT(*asked_.begin(), 99900) << "rows far above the window were asked";
    EXPECT_EQ(*asked_.rbegin(), 99999);
}

TEST_F(OwnerData, ColumnsShowCaptionSubItemsAndImage) {
    model_.SetRowCount(10);
    EXPECT_EQ(model_.columnCount(), 5);
    EXPECT_EQ(model_.headerData(3, Qt::Horizontal).toString(), "Modified");
    const struct {
        int row;
        int column;
        const char* text;
        bool image;
    } cases[] = {
        {0, 0, "file0", true}, {1, 0, "file1", true}, {2, 0, "file2", false},  // no image 2
        {3, 1, "3KB", false},  {3, 2, "Text", false}, {3, 3, "", false},       // no third sub-item
        {9, 0, "file9", true},
    };
    for (const auto& c : cases) {
        const QModelIndex index = model_.index(c.row, c.column);
        EXPECT_EQ(model_.data(index).toString().toStdString(), c.text) << c.row << "," << c.column;
        EXPECT_EQ(model_.data(index, Qt::DecorationRole).isValid(), c.image)
            << c.row << "," << c.column;
    }
    EXPECT_FALSE(model_.data(model_.index(10, 0)).isValid());
    EXPECT_EQ(model_.Item(4).caption, "file4");
    EXPECT_EQ(model_.Item(10).caption, "");
}

TEST_F(OwnerData, ChangingTheCountKeepsTheRowsThatStayAndAsksThemAgain) {
    model_.SetRowCount(5);
    QItemSelectionModel selection(&model_);
    selection.select(model_.index(1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_EQ(model_.data(model_.index(1, 0)).toString(), "file1");
    const long long before = model_.Requests();

    model_.SetRowCount(3);
    EXPECT_EQ(model_.rowCount(), 3);
    EXPECT_TRUE(selection.isRowSelected(1, QModelIndex()));
    model_.data(model_.index(1, 0));
    EXPECT_EQ(model_.Requests(), before + 1);  // asked again after the change

    model_.SetRowCount(8);
    EXPECT_EQ(model_.rowCount(), 8);
    EXPECT_TRUE(selection.isRowSelected(1, QModelIndex()));
    model_.SetRowCount(-4);
    EXPECT_EQ(model_.rowCount(), 0);
}

TEST_F(OwnerData, AFailingCallbackReportsOnceAndTheRowShowsEmpty) {
    int errors = 0;
    ui::ScopedApplicationErrorHandler handler([&](std::exception_ptr) { ++errors; });
    model_.SetDataCallback([](int row, ui::OwnerDataItem& item) {
        item.caption = "half";
        if (row == 2)
            throw std::out_of_range("ListView2Data");
    });
    model_.SetRowCount(4);
    for (int column = 0; column < 3; ++column) {
        EXPECT_EQ(model_.data(model_.index(2, column)).toString(), "");
    }
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(model_.data(model_.index(1, 0)).toString(), "half");
}

}  // namespace
