// A page's remote bookmarks against pyftpdlib, through the main window: added into
// "FTPBookmark.dat" under the page's site, loaded into a new page of that site, taking the page
// there in one exchange, and kept by the bookmark manager opened from the page.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QToolButton>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui/list_view.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/owner_data_model.h"
#include "platform/ui/testing/gtest_failure.h"
#include "platform/ui/testing/modal_driver.h"
#include "tests/ftp_servers/server_fixture.h"
#include "tests/pages/page_rig.h"

namespace pagetest {
namespace {

using Row = std::pair<std::int32_t, std::string>;

class PageBookmarks : public PageRig {
  protected:
    std::vector<Row> BookmarkRows() {
        OpenTable table(*dm->Tftpb);
        std::vector<Row> rows;
        for (table->First(); !table->Eof(); table->Next())
            rows.emplace_back(table->FieldByName("ftpid").AsInteger(),
                              table->FieldByName("path").AsString());
        return rows;
    }

    void AddBookmarkRows(const std::vector<Row>& rows) {
        OpenTable table(*dm->Tftpb);
        for (const auto& [site, path] : rows) {
            table->Append();
            table->FieldByName("ftpid").SetAsInteger(site);
            table->FieldByName("path").SetAsString(path);
            table->Post();
        }
    }

    // Closes the window and starts it again, as a restart of the program does.
    void Restart() {
        form_->close();
        mainwindow::testing::FlushDeferredDeletes();
        form_.reset();
        Form1 = nullptr;
        ShowForm();
    }

    // The commands the page sent from log row `from` on.
    static std::vector<std::string> SentSince(Tfb& frame, std::size_t from) {
        std::vector<std::string> sent;
        const std::vector<LogRow> rows = LogOf(frame);
        for (std::size_t row = from; row < rows.size(); ++row) {
            if (rows[row].icon == 0)
                sent.push_back(rows[row].text);
        }
        return sent;
    }
};

void Enter(Tfb& frame, const std::string& name) {
    for (std::size_t row = 0; row < frame.FDisplayList.size(); ++row) {
        if (frame.FDisplayList[row].name == name)
            frame.ListView2->Select(static_cast<int>(row));
    }
    frame.ListView2DblClick();
}

QAction* BookmarkItem(Tfb& frame, const std::string& caption) {
    for (QAction* item : frame.fbbookmark->actions()) {
        if (item->text().toStdString() == caption)
            return item;
    }
    return nullptr;
}

TEST_F(PageBookmarks, ABookmarkAddedOnAPageComesBackOnANewPageOfItsSiteAndTakesItThere) {
    ftptest::PyftpdlibServer server("alice", "secret");
    std::filesystem::create_directories(server.account().local_folder + "sub/deep");
    std::ofstream(server.account().local_folder + "sub/inner.txt") << "x";
    std::ofstream(server.account().local_folder + "sub/deep/deeper.txt") << "x";
    std::ofstream(server.account().local_folder + "top.txt") << "x";
    const ServerSite site{
        .name = "alpha", .port = server.account().port, .user = "alice", .password = "secret"};
    const std::int32_t alpha = AddServerSite(site);
    ServerSite other = site;
    other.name = "beta";
    const std::int32_t beta = AddServerSite(other);

    Tfb& first = OpenSite("alpha");
    Enter(first, "sub");
    ASSERT_EQ(first.FCurrentDir, "/sub");
    first.ToolButton10->click();
    first.AddBookmark1->trigger();  // the same folder again: one row, a second item
    EXPECT_EQ(first.BookmarkPaths(), (std::vector<std::string>{"/sub", "/sub"}));
    Tfb& second = OpenSite("beta");
    Enter(second, "sub");
    second.ToolButton10->click();
    EXPECT_EQ(BookmarkRows(), (std::vector<Row>{{alpha, "/sub"}, {beta, "/sub"}}));
    AddBookmarkRows({{alpha, "/sub/deep"}});
    // A page shown again keeps its items: only a new page reads the table.
    form_->CloseActivePage();
    EXPECT_EQ(&OpenSite("beta"), &second);
    EXPECT_EQ(second.BookmarkPaths(), std::vector<std::string>{"/sub"});

    Restart();
    Tfb& page = OpenSite("alpha");
    ASSERT_EQ(page.FCurrentDir, "/");
    EXPECT_EQ(page.BookmarkPaths(), (std::vector<std::string>{"/sub", "/sub/deep"}));
    QAction* item = BookmarkItem(page, "/sub/deep");
    ASSERT_NE(item, nullptr);
    const std::size_t logged = LogOf(page).size();
    item->trigger();
    EXPECT_EQ(page.FCurrentDir, "/sub/deep");
    const std::vector<std::string> sent = SentSince(page, logged);
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.front(), "CWD /sub/deep");
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "LIST"), 1);
    ASSERT_EQ(page.RemoteItems->RowCount(), 1);
    EXPECT_EQ(page.RemoteItems->Item(0).caption, "deeper.txt");
    EXPECT_TRUE(page.ToolButton10->isEnabled());
    // A folder listed before is shown from the cache after CWD and PWD.
    page.ToolButton1Click();  // Back to "/sub", listed now
    const std::size_t again = LogOf(page).size();
    BookmarkItem(page, "/sub/deep")->trigger();
    EXPECT_EQ(SentSince(page, again), (std::vector<std::string>{"CWD /sub/deep", "PWD"}));
    EXPECT_EQ(page.FCurrentDir, "/sub/deep");
}

// The manager opened from a page lists that site's rows, deletes exactly the chosen ones on OK
// and rebuilds the page's menu; it keeps to the page's site id, also when the stored site's name
// has changed under the page. Cancel changes nothing.
TEST_F(PageBookmarks, TheManagerFromAPageReplacesItsSiteRowsAndRebuildsItsMenu) {
    const std::int32_t alpha = AddSite("alpha");  // a time-out of 0: no server needed
    const std::int32_t beta = AddSite("beta");
    ShowForm();  // points the bookmark table at its file
    const std::vector<Row> stored = {{alpha, "/p1"}, {beta, "/other"}, {alpha, "/p2"},
                                     {alpha, "/p3"}, {alpha, "/p4"},   {alpha, "/p5"}};
    AddBookmarkRows(stored);
    Tfb& page = OpenSite("alpha");
    ASSERT_EQ(page.FSiteId, alpha);
    ASSERT_EQ(page.BookmarkPaths(), (std::vector<std::string>{"/p1", "/p2", "/p3", "/p4", "/p5"}));

    ui::ModalDriver driver(ui::GtestFailure());
    driver.Next([](QDialog& dialog) {
        auto& list = ui::Child<ui::ListView>(dialog, "ListView2");
        list.Select(0);
        ui::ClickButton(dialog, "Button4");
        ui::ClickButton(dialog, "Button1");  // Cancel
    });
    page.Bookmarkmanager1->trigger();
    EXPECT_EQ(BookmarkRows(), stored);
    EXPECT_EQ(page.BookmarkPaths(), (std::vector<std::string>{"/p1", "/p2", "/p3", "/p4", "/p5"}));

    {
        OpenTable table(*dm->Tftpsite);
        ASSERT_TRUE(table->Locate("name", std::string("alpha")));
        table->Edit();
        table->FieldByName("name").SetAsString("alpha renamed");
        table->Post();
    }
    std::string label;
    driver.Next([&](QDialog& dialog) {
        label = ui::Child<QLabel>(dialog, "Label1").text().toStdString();
        auto& list = ui::Child<ui::ListView>(dialog, "ListView2");
        list.Select(1);
        ui::ClickButton(dialog, "Button4");
        list.Select(2);
        ui::ClickButton(dialog, "Button4");
        ui::ClickButton(dialog, "Button2");  // OK
    });
    page.Bookmarkmanager1->trigger();
    EXPECT_EQ(label, "alpha");
    EXPECT_EQ(BookmarkRows(),
              (std::vector<Row>{{beta, "/other"}, {alpha, "/p1"}, {alpha, "/p3"}, {alpha, "/p5"}}));
    EXPECT_EQ(page.BookmarkPaths(), (std::vector<std::string>{"/p1", "/p3", "/p5"}));
    EXPECT_EQ(driver.Pending(), 0u);
}

}  // namespace
}  // namespace pagetest
