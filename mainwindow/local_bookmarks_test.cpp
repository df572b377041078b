// The local bookmark menu and its file "bookmark.dat", and the bookmark manager on its
// "Local" page, as the main window runs them.
#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>

#include <cstdint>
#include <filesystem>

#include "dialogs/bookmark_manager.h"
#include "mainwindow/local_file_pane.h"
#include "mainwindow/main_form_test_support.h"
#include "platform/ui/list_view.h"
#include "platform/ui/shell_list_view.h"
#include "platform/ui/testing/gtest_failure.h"
#include "platform/ui/testing/modal_driver.h"
#include "shared/list_file.h"

namespace mainwindow::testing {
namespace {

// The bytes a list file holds for `texts`: the count, then 51-byte records of a length byte
// and the text, zeros after it.
std::string ListFileBytes(const std::vector<std::string>& texts) {
    std::string bytes;
    const auto count = static_cast<std::uint32_t>(texts.size());
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<char>((count >> shift) & 0xff));
    for (const std::string& text : texts) {
        std::string record(51, '\0');
        record[0] = static_cast<char>(text.size());
        record.replace(1, text.size(), text);
        bytes += record;
    }
    return bytes;
}

class LocalBookmarks : public MainFormTest {
  protected:
    std::string MakeFolder(const std::string& name) {
        const std::string path = folder_ + name;
        std::filesystem::create_directories(path);
        return path;
    }

    std::string BookmarkFile() const { return ReadBytes(folder_ + "bookmark.dat"); }

    // The menu's items as it shows them: it gets its bookmark items when about to show.
    static QList<QAction*> Shown(QMenu& menu) {
        emit menu.aboutToShow();
        return menu.actions();
    }

    // The captions of the menu, fixed items included, as shown.
    static std::vector<std::string> MenuCaptions(QMenu& menu) {
        std::vector<std::string> captions;
        for (const QAction* item : Shown(menu))
            captions.push_back(item->isSeparator() ? "-" : item->text().toStdString());
        return captions;
    }
};

TEST_F(LocalBookmarks, TheMenuHasItsThreeFixedItemsFirst) {
    ASSERT_TRUE(shared::WriteListFile(folder_ + "bookmark.dat", {"/srv"}));
    TForm1& form = ShowForm();
    EXPECT_EQ(MenuCaptions(*form.popbookmark),
              (std::vector<std::string>{"Add Bookmark", "Manage Bookmarks...", "-", "/srv"}));
    EXPECT_EQ(form.popbookmark->defaultAction(), form.AddBookmark1);
    EXPECT_EQ(form.AddBookmark1->objectName(), QStringLiteral("AddBookmark1"));
    EXPECT_EQ(form.Bookmarkmanager1->objectName(), QStringLiteral("Bookmarkmanager1"));
    EXPECT_EQ(form.N2->objectName(), QStringLiteral("N2"));
    EXPECT_TRUE(Shown(*form.popbookmark).back()->objectName().isEmpty());
    EXPECT_FALSE(Shown(*form.popbookmark).back()->icon().isNull());
}

// A long bookmark list holds one picture: every item shows the same folder image (the same
// icon, not a copy of its own), the fixed items' picture apart, and an item added later too.
// The window's creation reads the folders only: the items are made when the menu first opens.
TEST_F(LocalBookmarks, TheItemsOfALongListShareOnePicture) {
    std::vector<std::string> folders;
    for (int i = 0; i < 2000; ++i)
        folders.push_back("/home/user/folder" + std::to_string(i));
    ASSERT_TRUE(shared::WriteListFile(folder_ + "bookmark.dat", folders));
    TForm1& form = ShowForm();
    EXPECT_EQ(form.LocalBookmarks(), folders);
    EXPECT_EQ(form.popbookmark->actions().size(), 3);
    // The three fixed items come first.
    const QList<QAction*> items = Shown(*form.popbookmark).mid(3);
    ASSERT_EQ(items.size(), static_cast<qsizetype>(folders.size()));
    const qint64 shared = items.front()->icon().cacheKey();
    EXPECT_FALSE(items.front()->icon().isNull());
    for (const QAction* item : items)
        ASSERT_EQ(item->icon().cacheKey(), shared) << item->text().toStdString();
    EXPECT_NE(form.AddBookmark1->icon().cacheKey(), shared);
    form.LocalPane().SetRoot(MakeFolder("later"));
    form.ToolButton28->click();
    EXPECT_EQ(form.popbookmark->actions().size(), 3 + 2001);
    EXPECT_EQ(form.popbookmark->actions().back()->icon().cacheKey(), shared);
}

TEST_F(LocalBookmarks, AddingTheShownFolderAddsItOnceAndWritesTheFileEachTime) {
    const std::string first = MakeFolder("one");
    const std::string second = MakeFolder("two&three");
    TForm1& form = ShowForm();
    form.LocalPane().SetRoot(first);
    form.ToolButton28->click();
    EXPECT_EQ(form.LocalBookmarks(), (std::vector<std::string>{first}));
    EXPECT_EQ(BookmarkFile(), ListFileBytes({first}));

    std::filesystem::remove(folder_ + "bookmark.dat");
    form.AddBookmark1->trigger();  // the same folder: no second item, the file written again
    EXPECT_EQ(form.LocalBookmarks(), (std::vector<std::string>{first}));
    EXPECT_EQ(BookmarkFile(), ListFileBytes({first}));

    form.LocalPane().SetRoot(second);
    form.ToolButton28->click();
    EXPECT_EQ(form.LocalBookmarks(), (std::vector<std::string>{first, second}));
    EXPECT_EQ(BookmarkFile(), ListFileBytes({first, second}));
    // "&" is shown as itself, not as a mnemonic.
    EXPECT_EQ(Shown(*form.popbookmark).back()->text().toStdString(), folder_ + "two&&three");
}

TEST_F(LocalBookmarks, AShownFolderThatIsGoneAddsNothingAndWritesNothing) {
    const std::string gone = MakeFolder("gone");
    TForm1& form = ShowForm();
    form.LocalPane().SetRoot(gone);
    std::filesystem::remove(gone);
    form.ToolButton28->click();
    EXPECT_TRUE(form.LocalBookmarks().empty());
    EXPECT_FALSE(std::filesystem::exists(folder_ + "bookmark.dat"));
}

TEST_F(LocalBookmarks, BookmarksSurviveARestartLongOnesCutAtACharacter) {
    // A name whose two-byte "é" takes bytes 49 and 50 of the path: the stored text ends
    // before it.
    ASSERT_LT(folder_.size(), 49u);
    const std::string longName =
        std::string(49 - folder_.size(), 'x') + "\xc3\xa9tail-of-a-long-name";
    const std::string longFolder = MakeFolder(longName);
    const std::string shortFolder = MakeFolder("short");
    const std::string cut = longFolder.substr(0, 49);
    {
        TForm1& form = ShowForm();
        form.LocalPane().SetRoot(longFolder);
        form.ToolButton28->click();
        form.LocalPane().SetRoot(shortFolder);
        form.ToolButton28->click();
        // This run keeps the whole text.
        EXPECT_EQ(form.LocalBookmarks(), (std::vector<std::string>{longFolder, shortFolder}));
        form.close();
        form_.reset();
    }
    EXPECT_EQ(BookmarkFile(), ListFileBytes({cut, shortFolder}));
    TForm1& again = CreateForm();  // read at creation, before any show
    EXPECT_EQ(again.LocalBookmarks(), (std::vector<std::string>{cut, shortFolder}));
    EXPECT_EQ(Shown(*again.popbookmark).size(), 5);
}

TEST_F(LocalBookmarks, ChoosingABookmarkShowsItsFolder) {
    const std::string target = MakeFolder("target");
    const std::string gone = MakeFolder("gone");
    ASSERT_TRUE(shared::WriteListFile(folder_ + "bookmark.dat", {target, gone}));
    TForm1& form = ShowForm();
    const QList<QAction*> items = Shown(*form.popbookmark);
    ASSERT_EQ(items.size(), 5);
    items[3]->trigger();
    EXPECT_EQ(form.LocalPane().ShownFolder(), target);
    std::filesystem::remove(gone);
    // Called directly, the error is the caller's.
    EXPECT_THROW(form.LocalBookmarkClick(*items[4]), ui::EShellPathError);
    EXPECT_EQ(form.LocalPane().ShownFolder(), target);
}

TEST_F(LocalBookmarks, ABookmarkOfAFolderThatIsGoneEndsItsClickWithTheError) {
    const std::string gone = MakeFolder("gone");
    ASSERT_TRUE(shared::WriteListFile(folder_ + "bookmark.dat", {gone}));
    TForm1& form = ShowForm();
    const std::string shown = form.LocalPane().ShownFolder();
    std::filesystem::remove(gone);
    Shown(*form.popbookmark).back()->trigger();
    EXPECT_EQ(form.LastErrorText(), "Error setting path: \"" + gone + "\"");
    EXPECT_EQ(form.LocalPane().ShownFolder(), shown);
}

// The manager on its "Local" page: `work` runs inside its modal loop.
void RunManager(TForm1& form, const std::function<void(TForm17&)>& work) {
    ui::ModalDriver driver(ui::GtestFailure());
    driver.Next([&](QDialog& dialog) {
        auto* manager = qobject_cast<TForm17*>(&dialog);
        ASSERT_NE(manager, nullptr);
        EXPECT_EQ(Form17, manager);
        work(*manager);
    });
    form.Bookmarkmanager1->trigger();
    EXPECT_EQ(driver.DialogsDriven(), 1);
    EXPECT_EQ(Form17, nullptr);
}

std::vector<std::string> Rows(const ui::ListView& list) {
    std::vector<std::string> rows;
    for (int row = 0; row < list.RowCount(); ++row)
        rows.push_back(list.RowIndex(row, 1).data().toString().toStdString());
    return rows;
}

TEST_F(LocalBookmarks, TheManagerDeletesTheChosenRowsAndOkRebuildsTheMenuAndTheFile) {
    const std::vector<std::string> stored = {"/a", "/b", "/c", "/d"};
    ASSERT_TRUE(shared::WriteListFile(folder_ + "bookmark.dat", stored));
    TForm1& form = ShowForm();
    RunManager(form, [&](TForm17& manager) {
        EXPECT_TRUE(manager.LocalMode());
        EXPECT_TRUE(manager.PageControl1->isTabVisible(0));
        EXPECT_FALSE(manager.PageControl1->isTabVisible(1));
        EXPECT_EQ(manager.windowTitle(), QStringLiteral("Manage Bookmarks"));
        EXPECT_EQ(Rows(*manager.ListView1), stored);
        manager.ListView1->Select(1);
        ui::ClickButton(manager, "Button3");
        manager.ListView1->Select(2);
        ui::ClickButton(manager, "Button3");
        manager.ListView1->Select(-1);
        ui::ClickButton(manager, "Button3");  // nothing selected: nothing deleted
        EXPECT_EQ(Rows(*manager.ListView1), (std::vector<std::string>{"/a", "/c"}));
        ui::ClickButton(manager, "Button2");
    });
    FlushDeferredDeletes();
    EXPECT_EQ(MenuCaptions(*form.popbookmark),
              (std::vector<std::string>{"Add Bookmark", "Manage Bookmarks...", "-", "/a", "/c"}));
    EXPECT_EQ(BookmarkFile(), ListFileBytes({"/a", "/c"}));
    // The rebuilt items go to their folders.
    const std::string target = MakeFolder("target");
    form.SetLocalBookmarks({target});
    Shown(*form.popbookmark).back()->trigger();
    EXPECT_EQ(form.LocalPane().ShownFolder(), target);
}

TEST_F(LocalBookmarks, CancelInTheManagerChangesNothingAndAnEmptyListLeavesTheFixedItems) {
    const std::vector<std::string> stored = {"/a", "/b"};
    ASSERT_TRUE(shared::WriteListFile(folder_ + "bookmark.dat", stored));
    const std::string bytes = BookmarkFile();
    TForm1& form = ShowForm();
    const auto deleteAll = [](TForm17& manager) {
        while (manager.ListView1->RowCount() > 0) {
            manager.ListView1->Select(0);
            ui::ClickButton(manager, "Button3");
        }
    };
    RunManager(form, [&](TForm17& manager) {
        deleteAll(manager);
        ui::ClickButton(manager, "Button1");
    });
    EXPECT_EQ(form.LocalBookmarks(), stored);
    EXPECT_EQ(BookmarkFile(), bytes);

    RunManager(form, [&](TForm17& manager) {
        deleteAll(manager);
        ui::ClickButton(manager, "Button2");
    });
    FlushDeferredDeletes();
    EXPECT_EQ(MenuCaptions(*form.popbookmark),
              (std::vector<std::string>{"Add Bookmark", "Manage Bookmarks...", "-"}));
    EXPECT_EQ(BookmarkFile(), ListFileBytes({}));
}

}  // namespace
}  // namespace mainwindow::testing
