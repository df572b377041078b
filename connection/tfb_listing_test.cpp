// The page's remote list as an owner-data list: sorting by column and menu, rows asked on
// request, and the view styles.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QScrollBar>
#include <QTreeView>

#include <string>
#include <vector>

#include "connection/page_host.h"
#include "connection/testing/quiet_page_host.h"
#include "connection/tfb.h"
#include "platform/ui/list_view.h"
#include "platform/ui/owner_data_model.h"
#include "platform/ui/testing/qt_test_environment.h"

namespace {

class PageRemoteList : public ::testing::Test {
  protected:
    void Add(const std::string& name, bool folder, const std::string& bytes,
             const std::string& modified) {
        frame_.AddCacheEntry("/pub", name, folder ? "Folder" : "", bytes, modified, "o", "g",
                             folder ? "drwx" : "-rw-", "r-x", "r--");
    }

    std::vector<std::string> Captions() {
        std::vector<std::string> captions;
        for (int row = 0; row < frame_.RemoteItems->RowCount(); ++row)
            captions.push_back(frame_.RemoteItems->Item(row).caption);
        return captions;
    }

    connection_testing::QuietPageHost host_;
    Tfb frame_{host_};
};

TEST_F(PageRemoteList, ANewPageSortsByTypeAndEveryClickOrMenuItemSortsAgain) {
    Add("b.zip", false, "100", "2024-01-03 00:00:00");
    Add("Docs", true, "4096", "2024-01-02 00:00:00");
    Add("a.txt", false, "5000", "2024-01-01 00:00:00");
    Add("c.txt", false, "10", "2024-01-04 00:00:00");
    frame_.ShowDirFromCache("/pub");
    ASSERT_EQ(frame_.FSortColumn, 2);
    const std::vector<std::string> byType = Captions();
    ASSERT_EQ(byType.size(), 4u);
    EXPECT_EQ(byType[0], "Docs");  // folders first, then files grouped by type
    EXPECT_NE(byType[1] == "b.zip", byType[3] == "b.zip");

    struct Case {
        std::function<void()> choose;
        int column;
        std::vector<std::string> order;
    };
    const std::vector<std::string> byName = {"a.txt", "b.zip", "c.txt", "Docs"};
    const std::vector<std::string> bySize = {"Docs", "c.txt", "b.zip", "a.txt"};
    const std::vector<std::string> byDate = {"a.txt", "Docs", "b.zip", "c.txt"};
    const Case cases[] = {
        {[this] { frame_.Sortbyname1->trigger(); }, 0, byName},
        {[this] { frame_.Sortbysize1->trigger(); }, 1, bySize},
        {[this] { frame_.Sortbydate1->trigger(); }, 3, byDate},
        {[this] { frame_.Sortbytype1->trigger(); }, 2, byType},
        {[this] { frame_.ListView2->OnColumnClick(1); }, 1, bySize},
        // A second click on the same column sorts the same way again.
        {[this] { frame_.ListView2->OnColumnClick(1); }, 1, bySize},
        {[this] { frame_.ListView2->OnColumnClick(4); }, 4, {"*", "*", "*", "Docs"}},
        {[this] { frame_.ListView2->OnColumnClick(0); }, 0, byName},
    };
    frame_.Sort1->setEnabled(true);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const Case& c = cases[i];
        c.choose();
        EXPECT_EQ(frame_.FSortColumn, c.column);
        const std::vector<std::string> captions = Captions();
        ASSERT_EQ(captions.size(), c.order.size());
        for (std::size_t row = 0; row < captions.size(); ++row) {
            if (c.order[row] != "*") {
                EXPECT_EQ(captions[row], c.order[row]) << row;
            }
        }
    }
}

// 100,000 entries: the list asks only for the rows it shows, and scrolling to the end shows
// the last entry.
TEST_F(PageRemoteList, AHundredThousandRowsAreAskedOnlyWhenShown) {
    constexpr int kRows = 100000;
    frame_.FSortColumn = 0;
    for (int i = 0; i < kRows; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "f%06d.dat", i);
        Add(name, false, std::to_string(i), "2024-01-01 00:00:00");
    }
    frame_.resize(800, 600);
    frame_.show();
    const long long before = frame_.RemoteItems->Requests();
    frame_.ShowDirFromCache("/pub");
    ASSERT_EQ(frame_.RemoteItems->RowCount(), kRows);
    QApplication::processEvents();
    QTreeView* view = frame_.ListView2->ReportView();
    view->scrollToBottom();
    QApplication::processEvents();
    view->viewport()->repaint();
    const long long asked = frame_.RemoteItems->Requests() - before;
    EXPECT_GT(asked, 0);
    EXPECT_LT(asked, 2000) << "rows were asked for beyond those shown";
    const QModelIndex last = frame_.ListView2->RowIndex(kRows - 1);
    const QRect shown = view->visualRect(last);
    EXPECT_TRUE(view->viewport()->rect().intersects(shown));
    EXPECT_EQ(view->indexAt(shown.center()).row(), kRows - 1);
    EXPECT_EQ(frame_.RemoteItems->Item(kRows - 1).caption, "f099999.dat");
}

TEST_F(PageRemoteList, TheViewMenusSetTheStyleAndCheckTheirOwnItem) {
    struct Case {
        QAction* item;
        ui::ViewStyle style;
    };
    const Case cases[] = {
        {frame_.LargeIcon1, ui::ViewStyle::kLargeIcons},
        {frame_.Smallicon2, ui::ViewStyle::kSmallIcons},
        {frame_.List2, ui::ViewStyle::kList},
        {frame_.Report1, ui::ViewStyle::kReport},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item->objectName().toStdString());
        c.item->trigger();
        EXPECT_EQ(frame_.ListView2->Style(), c.style);
        EXPECT_TRUE(c.item->isChecked());
    }
    // The View button's first click after a menu choice continues from its own step: report →
    // small icons, with both menus' items checked.
    frame_.LargeIcon2->trigger();
    frame_.ToolButton8Click();
    EXPECT_EQ(frame_.FViewStep, 3);
    EXPECT_EQ(frame_.ListView2->Style(), ui::ViewStyle::kSmallIcons);
    EXPECT_TRUE(frame_.Smallicon1->isChecked());
    EXPECT_TRUE(frame_.Smallicon2->isChecked());
}

}  // namespace
