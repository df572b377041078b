#include <QAbstractItemDelegate>
#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

#include "mainwindow/main_form_test_support.h"
#include "platform/ui/list_view.h"
#include "platform/ui/list_view_test_support.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/testing/gtest_failure.h"
#include "platform/ui/testing/modal_driver.h"
#include "platform/ui/testing/scripted_ui.h"

namespace mainwindow::testing {
namespace {

using SiteList = MainFormTest;

struct Controls {
    bool buttons;    // Edit FTP site, Delete, Connection
    bool menuItems;  // Connect, Edit, Delete, Rename
    bool popup;      // the list has its popup menu
    std::string memo;
    bool operator==(const Controls&) const = default;
};

void PrintTo(const Controls& c, std::ostream* out) {
    *out << "{buttons " << c.buttons << ", items " << c.menuItems << ", popup " << c.popup
         << ", memo \"" << c.memo << "\"}";
}

Controls ControlsOf(TForm1& form) {
    return {form.ToolButton2->isEnabled() && form.ToolButton9->isEnabled() &&
                form.ToolButton3->isEnabled(),
            form.Connect1->isVisible() && form.Edit1->isVisible() && form.Delete1->isVisible() &&
                form.R1->isVisible(),
            form.ListView1->PopupMenu() == form.Pbrowser, form.Memo2->toPlainText().toStdString()};
}

TEST_F(SiteList, SelectionSetsButtonsPopupAndDescription) {
    SiteValues site;
    site.name = "alpha";
    site.address = "ftp.alpha.test";
    site.port = 2121;
    site.comment = "first line\r\nsecond line";
    AddSite(site);
    TForm1& form = ShowForm();
    const std::string alphaMemo =
        "FTP address : ftp.alpha.test\nPort : 2121\nCreate date : 2026-01-02 03:04:05\n"
        "Latest date : 2026-02-03 04:05:06\nDefault ftp path : /pub\nComment : \n"
        "first line\nsecond line";
    struct Case {
        int row;
        Controls expected;
    };
    const Case cases[] = {
        {1, {true, true, true, alphaMemo}},
        {0, {false, false, false, ""}},
        {1, {true, true, true, alphaMemo}},
        {-1, {false, false, true, ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        form.ListView1->Select(c.row);
        EXPECT_EQ(ControlsOf(form), c.expected);
    }
    // A site whose row is gone leaves the memo as it was.
    OpenTable(*dm->Tftpsite)->Delete();
    form.ListView1->Select(0);
    form.Memo2->setPlainText(QStringLiteral("kept"));
    form.ListView1->Select(1);
    EXPECT_EQ(form.Memo2->toPlainText(), QStringLiteral("kept"));
}

TEST_F(SiteList, ViewStyleButtonCyclesDownwardsAndMarksTheMenu) {
    TForm1& form = ShowForm();
    struct Step {
        ui::ViewStyle style;
        QAction* mark;
    };
    const Step steps[] = {{ui::ViewStyle::kSmallIcons, form.MenuItem3},
                          {ui::ViewStyle::kList, form.MenuItem2},
                          {ui::ViewStyle::kLargeIcons, form.MenuItem1},
                          {ui::ViewStyle::kReport, form.MenuItem4},
                          {ui::ViewStyle::kSmallIcons, form.MenuItem3}};
    for (const Step& step : steps) {
        form.ToolButton5->click();
        EXPECT_EQ(form.ListView1->Style(), step.style);
        EXPECT_TRUE(step.mark->isChecked());
    }
    // The menu sets a style without moving the cycle.
    form.MenuItem1->trigger();
    EXPECT_EQ(form.ListView1->Style(), ui::ViewStyle::kLargeIcons);
    EXPECT_EQ(form.FSiteViewStep, 3);
}

// Renames through the popup's Rename and the in-place editor, as the user confirms a caption.
void RenameInPlace(TForm1& form, int row, const QString& text) {
    form.ListView1->Select(row);
    ASSERT_TRUE(form.R1->isVisible());
    form.R1->trigger();  // opens the editor; the helper types into it
    ui::EditCaptionInPlace(*form.ListView1, row, text);
}

TEST_F(SiteList, RenameChecksForTakenNamesExactly) {
    AddSite("alpha");
    AddSite("beta");
    TForm1& form = ShowForm();
    struct Case {
        const char* name;
        int row;
        QString newName;
        bool warned;
        std::vector<std::string> items;
        std::vector<std::string> rows;
    };
    const Case cases[] = {
        {"taken name", 1, "beta", true, {"NewFTPSite", "alpha", "beta"}, {"alpha", "beta"}},
        {"case only", 1, "Alpha", false, {"NewFTPSite", "Alpha", "beta"}, {"Alpha", "beta"}},
        {"unchanged", 2, "beta", false, {"NewFTPSite", "Alpha", "beta"}, {"Alpha", "beta"}},
        {"new name", 2, "gamma", false, {"NewFTPSite", "Alpha", "gamma"}, {"Alpha", "gamma"}},
        {"empty name", 2, "", false, {"NewFTPSite", "Alpha", ""}, {"Alpha", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui::ScriptedUi boxes(ui::GtestFailure());
        if (c.warned)
            boxes.AnswerMessage(ui::mrOk);
        RenameInPlace(form, c.row, c.newName);
        EXPECT_EQ(SiteItems(), c.items);
        EXPECT_EQ(Column(*dm->Tftpsite, "name"), c.rows);
        ASSERT_EQ(boxes.Calls().size(), c.warned ? 1u : 0u);
        if (c.warned) {
            EXPECT_EQ(boxes.Calls()[0].kind, ui::MessageKind::kWarning);
            EXPECT_EQ(boxes.Calls()[0].text, "The name beta was existed, please re-enter.");
            EXPECT_EQ(boxes.Calls()[0].buttons, ui::mbOK);
        }
    }
}

TEST_F(SiteList, EditingTheNewSiteItemLeavesIt) {
    TForm1& form = ShowForm();
    std::string caption = "renamed";
    form.ListView1Edited(0, caption);
    EXPECT_EQ(caption, "NewFTPSite");
    // The popup's Rename does not even start on it.
    form.ListView1->Select(0);
    form.R1Click();
    EXPECT_EQ(form.ListView1->CurrentView()->viewport()->findChild<QLineEdit*>(), nullptr);
}

// The user edits a site's caption in place with the edit key in every view style, not only
// through the popup's Rename; the edit ends in the rename.
TEST_F(SiteList, TheEditKeyStartsAnInPlaceRenameInEveryViewStyle) {
    AddSite("alpha");
    TForm1& form = ShowForm();
    for (const ui::ViewStyle style : {ui::ViewStyle::kReport, ui::ViewStyle::kLargeIcons}) {
        form.ListView1->SetStyle(style);
        form.ListView1->Select(1);
        QAbstractItemView* view = form.ListView1->CurrentView();
        view->setFocus();
        QTest::keyClick(view, Qt::Key_F2);
        auto* editor = view->viewport()->findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr) << "no in-place editor";
        const std::string name = style == ui::ViewStyle::kReport ? "gamma" : "delta";
        editor->setText(QString::fromStdString(name));
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();  // the delegate commits through a queued call
        EXPECT_EQ(Column(*dm->Tftpsite, "name"), std::vector<std::string>{name});
        EXPECT_EQ(SiteItems(), (std::vector<std::string>{"NewFTPSite", name}));
    }
}

// A name typed in place takes no more bytes than the name column holds (60 "\xC3\xA9" are 120
// bytes for 100), so the rename is stored and never refused by the table.
TEST_F(SiteList, AnInPlaceNameTakesNoMoreThanItsColumn) {
    AddSite("alpha");
    TForm1& form = ShowForm();
    form.ListView1->Select(1);
    form.R1Click();
    auto* editor = form.ListView1->CurrentView()->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    editor->insert(QString(60, QChar(0xE9)));
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();  // the delegate commits through a queued call
    std::string fifty;
    for (int i = 0; i < 50; ++i)
        fifty += "\xC3\xA9";
    EXPECT_EQ(Column(*dm->Tftpsite, "name"), std::vector<std::string>{fifty});
    EXPECT_EQ(SiteItems(), (std::vector<std::string>{"NewFTPSite", fifty}));
}

TEST_F(SiteList, RenamedSiteKeepsItsOpenAndClosedPages) {
    AddSite("alpha");
    AddSite("beta");
    TForm1& form = ShowForm();
    form.OpenSitePage("alpha", false);
    form.OpenSitePage("beta", false);
    form.CloseActivePage();
    RenameInPlace(form, 1, "one");
    RenameInPlace(form, 2, "two");
    for (int number : {1, 2}) {
        Tfb* frame = form.FindFrame(number);
        const std::string expected = number == 1 ? "one" : "two";
        EXPECT_EQ(static_cast<TTabSheet*>(frame->parentWidget())->Caption(), expected);
        EXPECT_EQ(frame->FSiteName, expected);
    }
    form.OpenSitePage("two", false);  // the hidden page is the renamed site's page
    EXPECT_EQ(form.PageCounter, 2);
    EXPECT_EQ(form.ActiveFrame(), form.FindFrame(2));
}

TEST_F(SiteList, DeleteAsksThenRemovesExactlyThatSitesRowAndHistory) {
    const std::int32_t alpha = AddSite("alpha");
    const std::int32_t beta = AddSite("beta");
    const std::int32_t alphaUp = AddHistoryHead(alpha, "Upload");
    const std::int32_t betaDown = AddHistoryHead(beta, "Download");
    const std::int32_t alphaDown = AddHistoryHead(alpha, "Download");
    AddHistoryDetail(alphaUp, {"a1"});
    AddHistoryDetail(betaDown, {"b1"});
    AddHistoryDetail(alphaUp, {"a2"});
    AddHistoryDetail(alphaDown, {"a3"});
    AddHistoryDetail(betaDown, {"b2"});
    TForm1& form = ShowForm();
    {
        OpenTable bookmarks(*dm->Tftpb);
        bookmarks->Append();
        bookmarks->FieldByName("ftpid").SetAsInteger(alpha);
        bookmarks->FieldByName("path").SetAsString("/pub");
        bookmarks->Post();
    }
    struct Case {
        int answer;
        std::vector<std::string> sites;
        std::vector<std::string> details;
    };
    const Case cases[] = {
        {ui::mrNo, {"alpha", "beta"}, {"a1", "b1", "a2", "a3", "b2"}},
        {ui::mrYes, {"beta"}, {"b1", "b2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        ui::ScriptedUi boxes(ui::GtestFailure());
        boxes.AnswerMessage(c.answer);
        form.ListView1->Select(1);
        form.ToolButton9->click();
        ASSERT_EQ(boxes.Calls().size(), 1u);
        EXPECT_EQ(boxes.Calls()[0].kind, ui::MessageKind::kConfirmation);
        EXPECT_EQ(boxes.Calls()[0].text, "Are you sure to delete <alpha>?");
        EXPECT_EQ(boxes.Calls()[0].buttons, ui::mbYesNo);
        EXPECT_EQ(Column(*dm->Tftpsite, "name"), c.sites);
        EXPECT_EQ(Column(*dm->Thd, "lofile"), c.details);
    }
    std::vector<std::string> heads;
    for (const std::string& type : Column(*dm->Thm, "type"))
        heads.push_back(type);
    EXPECT_EQ(heads, (std::vector<std::string>{"Download"}));  // beta's
    EXPECT_EQ(SiteItems(), (std::vector<std::string>{"NewFTPSite", "beta"}));
    EXPECT_EQ(Column(*dm->Tftpb, "path"), (std::vector<std::string>{"/pub"}));
    // Nothing is asked for the new-site item.
    ui::ScriptedUi noBoxes(ui::GtestFailure());
    form.ListView1->Select(0);
    form.Delete1Click();
    EXPECT_EQ(Column(*dm->Tftpsite, "name"), (std::vector<std::string>{"beta"}));
}

TEST_F(SiteList, ConnectOpensTheSelectedSitesPageButNotForTheNewSiteItem) {
    AddSite("alpha");
    TForm1& form = ShowForm();
    form.ListView1->Select(0);
    form.ToolButton3Click();
    // A double click on "NewFTPSite" opens the new-site dialog instead of a page.
    ui::ModalDriver dialogs(ui::GtestFailure());
    std::string caption;
    dialogs.Next([&](QDialog& dialog) {
        caption = dialog.windowTitle().toStdString();
        dialog.reject();
    });
    form.ListView1DblClick();
    EXPECT_EQ(caption, "New FTP Site");
    EXPECT_EQ(form.PageCounter, 0);
    EXPECT_EQ(SiteItems(), (std::vector<std::string>{"NewFTPSite", "alpha"}));
    form.ListView1->Select(1);
    form.ToolButton3->click();
    form.Connect1->trigger();
    EXPECT_EQ(form.PageCounter, 1);
    EXPECT_EQ(form.FindFrame(1)->FSiteName, "alpha");
}

// A rename may leave a site with an empty name; it stays a site like any other.
TEST_F(SiteList, SiteWithAnEmptyNameCanBeConnectedAndDeleted) {
    AddSite("");
    TForm1& form = ShowForm();
    ASSERT_EQ(SiteItems(), (std::vector<std::string>{"NewFTPSite", ""}));
    form.ListView1->Select(1);
    form.ToolButton3->click();
    EXPECT_EQ(form.PageCounter, 1);
    ui::ScriptedUi boxes(ui::GtestFailure());
    boxes.AnswerMessage(ui::mrYes);
    form.ListView1->Select(1);
    form.ToolButton9->click();
    ASSERT_EQ(boxes.Calls().size(), 1u);
    EXPECT_EQ(boxes.Calls()[0].text, "Are you sure to delete <>?");
    EXPECT_EQ(SiteItems(), (std::vector<std::string>{"NewFTPSite"}));
}

// The list's large icons are 32 by 32 pixels, small ones 16 by 16, whatever sizes the icon
// theme holds; every stored site's row shows the same picture, made once (a refresh too).
TEST_F(SiteList, ItemImagesComeInTheSizesOfBothViews) {
    for (int i = 0; i < 50; ++i)
        AddSite("site " + std::to_string(i));
    TForm1& form = ShowForm();
    QAbstractItemModel& items = *form.ListView1->Model();
    auto icon = [&items](int row) {
        return items.data(items.index(row, 0), Qt::DecorationRole).value<QIcon>();
    };
    for (int row : {0, 1}) {
        SCOPED_TRACE(row);
        for (const int size : {16, 32})
            EXPECT_EQ(icon(row).pixmap(QSize(size, size)).size(), QSize(size, size));
    }
    const qint64 shared = icon(1).cacheKey();
    EXPECT_NE(icon(0).cacheKey(), shared);
    form.Refresh1->trigger();
    ASSERT_EQ(items.rowCount(), 51);
    for (int row = 1; row < items.rowCount(); ++row)
        ASSERT_EQ(icon(row).cacheKey(), shared) << row;
}

TEST_F(SiteList, RefreshShowsTheRowsAsTheTableHoldsThemNow) {
    AddSite("alpha");
    TForm1& form = ShowForm();
    AddSite("beta");
    EXPECT_EQ(SiteItems(), (std::vector<std::string>{"NewFTPSite", "alpha"}));
    form.Refresh1->trigger();
    EXPECT_EQ(SiteItems(), (std::vector<std::string>{"NewFTPSite", "alpha", "beta"}));
    // A table that cannot be opened leaves the new-site item and reports the error.
    std::filesystem::remove(folder_ + "all.dat");
    form.Refresh1->trigger();
    EXPECT_EQ(SiteItems(), (std::vector<std::string>{"NewFTPSite"}));
    EXPECT_NE(form.LastErrorText().find("Cannot open file"), std::string::npos)
        << form.LastErrorText();
}

}  // namespace
}  // namespace mainwindow::testing
