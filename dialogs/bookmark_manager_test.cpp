#include "dialogs/bookmark_manager.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QTabWidget>

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "dialogs/bookmark_rows.h"
#include "dialogs/dialogs_host.h"
#include "engine/codec/algo_registry.h"
#include "engine/codec/standard_algorithms.h"
#include "engine/session_list.h"
#include "platform/os/testing/temp_folder.h"
#include "platform/ui/list_view.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/testing/gtest_failure.h"
#include "platform/ui/testing/modal_driver.h"
#include "platform/ui/testing/qt_test_environment.h"
#include "shared/list_file.h"
#include "shared/open_table.h"
#include "shared/tdm.h"
#include "shared/testing/database_files.h"

namespace {

// A host that records what the manager asks of it.
class RecordingHost : public TDialogsHost {
  public:
    void LoadSiteList() override { calls.push_back("sites"); }
    void OpenSitePage(const std::string& name, bool) override { calls.push_back("open " + name); }
    void SetLocalBookmarks(const std::vector<std::string>& folders) override {
        calls.push_back("set " + std::to_string(folders.size()));
    }
    void SaveLocalBookmarks() override { calls.push_back("save"); }
    void OpenQuickConnectPage(const std::string& host, int, const std::string&, const std::string&,
                              bool) override {
        calls.push_back("quick " + host);
    }
    void ReloadPageOptions() override { calls.push_back("reload"); }
    std::vector<Tfb*> Pages() const override { return {}; }
    QWidget* DialogParent() override { return nullptr; }

    std::vector<std::string> calls;
};

using Row = std::pair<std::int32_t, std::string>;

class BookmarkManager : public ::testing::Test {
  protected:
    void SetUp() override {
        shared::testing::MakeDatabaseFile(folder_ + "FTPBookmark.dat", "FTPBookmark.schema");
        vesk::RegisterStandardAlgorithms();
        vesk::VeskDB_Initialization();
        data_ = std::make_unique<Tdm>();
        dm = data_.get();
        dm->Tftpb->SetDatabaseName(folder_ + "FTPBookmark.dat");
        dm->Tftpb->SetTableName("bookmark");
    }

    void TearDown() override {
        data_.reset();
        dm = nullptr;
        vesk::VeskDB_Finalization();
        vesk::UnregisterAllAlgorithms();
    }

    void AddRows(const std::vector<Row>& rows) {
        OpenTable table(*dm->Tftpb);
        for (const auto& [site, path] : rows) {
            table->Append();
            table->FieldByName("ftpid").SetAsInteger(site);
            table->FieldByName("path").SetAsString(path);
            table->Post();
        }
    }

    std::vector<Row> TableRows() {
        OpenTable table(*dm->Tftpb);
        std::vector<Row> rows;
        for (table->First(); !table->Eof(); table->Next())
            rows.emplace_back(table->FieldByName("ftpid").AsInteger(),
                              table->FieldByName("path").AsString());
        return rows;
    }

    // Opens the manager on the FTP page of site 7 and runs `work` inside its modal loop.
    int RunFtpPage(const std::function<void(TForm17&)>& work) {
        TForm17 manager(host_, folder_ + "bookmark.dat");
        manager.PresetSite(7, "alpha");
        ui::ModalDriver driver(ui::GtestFailure());
        driver.Next([&](QDialog&) { work(manager); });
        const int result = manager.exec();
        ftpBookmarks_ = manager.FtpBookmarks();
        return result;
    }

    static std::vector<std::string> Rows(const ui::ListView& list) {
        std::vector<std::string> rows;
        for (int row = 0; row < list.RowCount(); ++row)
            rows.push_back(list.RowIndex(row, 1).data().toString().toStdString());
        return rows;
    }

    os::testing::TempFolder temp_{"bookmarks"};
    std::string folder_ = temp_.path() + "/";
    std::unique_ptr<Tdm> data_;
    RecordingHost host_;
    std::vector<std::string> ftpBookmarks_;
};

const std::vector<Row> kStored = {{7, "/p1"}, {8, "/other"}, {7, "/p2"}, {7, "/p3"},
                                  {7, "/p4"}, {8, "/p2"},    {7, "/p5"}};

TEST_F(BookmarkManager, TheFtpPageDeletesTheChosenRowsAndOkReplacesOnlyThatSitesRows) {
    AddRows(kStored);
    ASSERT_TRUE(shared::WriteListFile(folder_ + "bookmark.dat", {"/local"}));
    const int result = RunFtpPage([&](TForm17& manager) {
        EXPECT_EQ(Form17, &manager);
        EXPECT_FALSE(manager.LocalMode());
        EXPECT_FALSE(manager.PageControl1->isTabVisible(0));
        EXPECT_TRUE(manager.PageControl1->isTabVisible(1));
        EXPECT_EQ(manager.Label1->text(), QStringLiteral("alpha"));
        EXPECT_EQ(manager.Label2->text(), QStringLiteral("FTP server :"));
        EXPECT_EQ(Rows(*manager.ListView2),
                  (std::vector<std::string>{"/p1", "/p2", "/p3", "/p4", "/p5"}));
        // The local list is read in both modes.
        EXPECT_EQ(Rows(*manager.ListView1), (std::vector<std::string>{"/local"}));
        manager.ListView2->Select(1);
        ui::ClickButton(manager, "Button4");
        manager.ListView2->Select(2);
        ui::ClickButton(manager, "Button4");
        ui::ClickButton(manager, "Button2");
    });
    EXPECT_EQ(result, ui::mrOk);
    EXPECT_EQ(ftpBookmarks_, (std::vector<std::string>{"/p1", "/p3", "/p5"}));
    const std::vector<Row> expected = {
        {8, "/other"}, {8, "/p2"}, {7, "/p1"}, {7, "/p3"}, {7, "/p5"}};
    EXPECT_EQ(TableRows(), expected);
    EXPECT_TRUE(host_.calls.empty());
    EXPECT_EQ(Form17, nullptr);
}

// A remote path that is not valid UTF-8 keeps its bytes through the dialog and OK, on both
// pages, so the rebuilt menus still name the server's folders.
TEST_F(BookmarkManager, PathsThatAreNotUtf8KeepTheirBytes) {
    const std::string remote = "/d\xE9j\xE0/\xFF";
    const std::string local = "/home/u/caf\xE9";
    AddRows({{7, remote}, {7, "/plain"}});
    ASSERT_TRUE(shared::WriteListFile(folder_ + "bookmark.dat", {local, "/tmp"}));
    EXPECT_EQ(RunFtpPage([&](TForm17& manager) { ui::ClickButton(manager, "Button2"); }), ui::mrOk);
    EXPECT_EQ(ftpBookmarks_, (std::vector<std::string>{remote, "/plain"}));
    EXPECT_EQ(TableRows(), (std::vector<Row>{{7, remote}, {7, "/plain"}}));

    TForm17 manager(host_, folder_ + "bookmark.dat");
    manager.ShowLocalPage();
    ui::ModalDriver driver(ui::GtestFailure());
    driver.Next([&](QDialog&) { ui::ClickButton(manager, "Button2"); });
    EXPECT_EQ(manager.exec(), ui::mrOk);
    EXPECT_EQ(manager.LocalBookmarks(), (std::vector<std::string>{local, "/tmp"}));
}

TEST_F(BookmarkManager, CancelLeavesTheTableAsItWas) {
    AddRows(kStored);
    const int result = RunFtpPage([&](TForm17& manager) {
        manager.ListView2->Select(0);
        ui::ClickButton(manager, "Button4");
        ui::ClickButton(manager, "Button1");
    });
    EXPECT_EQ(result, ui::mrCancel);
    EXPECT_EQ(TableRows(), kStored);
    EXPECT_TRUE(host_.calls.empty());
}

TEST_F(BookmarkManager, TheLocalPageHandsTheRemainingFoldersToTheHostThenSavesThem) {
    ASSERT_TRUE(shared::WriteListFile(folder_ + "bookmark.dat", {"/a", "/b", "/c"}));
    TForm17 manager(host_, folder_ + "bookmark.dat");
    manager.ShowLocalPage();
    ui::ModalDriver driver(ui::GtestFailure());
    driver.Next([&](QDialog&) {
        manager.ListView1->Select(0);
        ui::ClickButton(manager, "Button3");
        ui::ClickButton(manager, "Button2");
    });
    EXPECT_EQ(manager.exec(), ui::mrOk);
    EXPECT_EQ(manager.LocalBookmarks(), (std::vector<std::string>{"/b", "/c"}));
    EXPECT_EQ(host_.calls, (std::vector<std::string>{"set 2", "save"}));
    EXPECT_EQ(TableRows(), std::vector<Row>{});
}

TEST_F(BookmarkManager, SiteRowsAreReadAndReplacedInTableOrder) {
    AddRows(kStored);
    EXPECT_EQ(dialogs::ReadSiteBookmarks(*dm->Tftpb, 8),
              (std::vector<std::string>{"/other", "/p2"}));
    EXPECT_TRUE(dialogs::ReadSiteBookmarks(*dm->Tftpb, 9).empty());
    dialogs::ReplaceSiteBookmarks(*dm->Tftpb, 8, {});
    dialogs::ReplaceSiteBookmarks(*dm->Tftpb, 0, {"/q"});  // a page without a stored site
    const std::vector<Row> expected = {{7, "/p1"}, {7, "/p2"}, {7, "/p3"},
                                       {7, "/p4"}, {7, "/p5"}, {0, "/q"}};
    EXPECT_EQ(TableRows(), expected);
}

}  // namespace
