// The site list's and the banner's commands that open the dialogs, each dialog driven inside
// its real modal loop.
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QToolButton>

#include "dialogs/options_dialog.h"
#include "dialogs/quick_connect_dialog.h"
#include "dialogs/site_dialog.h"
#include "mainwindow/banner_bar.h"
#include "mainwindow/main_form_test_support.h"
#include "platform/ui/list_view.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/testing/gtest_failure.h"
#include "platform/ui/testing/modal_driver.h"

namespace mainwindow::testing {
namespace {

class SiteCommands : public MainFormTest {
  protected:
    ui::ModalDriver driver_{ui::GtestFailure()};
};

TEST_F(SiteCommands, TheNewSiteItemCreatesASiteThatTheListShowsAtOnce) {
    TForm1& form = ShowForm();
    driver_.Next([](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "New FTP Site");
        EXPECT_EQ(dialog.parentWidget(), Form1);
        ui::Child<QLineEdit>(dialog, "Edit5").setText("alpha");
        ui::Child<QLineEdit>(dialog, "Edit1").setText("ftp.alpha.test");
        ui::ClickButton(dialog, "Button1");
    });
    form.ListView1->Select(0);
    form.ListView1DblClick();
    EXPECT_EQ(SiteItems(), (std::vector<std::string>{"NewFTPSite", "alpha"}));
    EXPECT_EQ(Form4, nullptr);

    // The popup's "New " opens the same dialog; Cancel stores nothing.
    driver_.Next([](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "New FTP Site");
        ui::ClickButton(dialog, "Button2");
    });
    form.New1->trigger();
    EXPECT_EQ(Column(*dm->Tftpsite, "name"), std::vector<std::string>{"alpha"});
}

TEST_F(SiteCommands, EditOpensTheSelectedSitePresetAndSavesItUnderItsNewName) {
    SiteValues site;
    site.name = "alpha";
    site.address = "ftp.alpha.test";
    site.comment = "note";
    AddSite(site);
    AddSite("beta");
    TForm1& form = ShowForm();
    // Nothing for "NewFTPSite": a dialog opened there would fail the test (no driver).
    form.ListView1->Select(0);
    form.Edit1Click();

    driver_.Next([](QDialog& dialog) {
        auto& site = static_cast<TForm4&>(dialog);
        EXPECT_EQ(site.windowTitle(), "Edit FTP Site");
        EXPECT_EQ(site.OldName, "alpha");
        EXPECT_EQ(site.Edit1->text(), "ftp.alpha.test");
        EXPECT_EQ(site.Memo1->toPlainText(), "note");
        EXPECT_EQ(site.Edit6->text(), "/pub");
        site.Edit5->setText("gamma");
        site.Edit1->setText("ftp.gamma.test");
        ui::ClickButton(site, "Button1");
    });
    form.ListView1->Select(1);
    form.ToolButton2->click();
    EXPECT_EQ(SiteItems(), (std::vector<std::string>{"NewFTPSite", "gamma", "beta"}));
    EXPECT_EQ(Column(*dm->Tftpsite, "address"),
              (std::vector<std::string>{"ftp.gamma.test", "ftp.example.org"}));

    driver_.Next([](QDialog& dialog) {
        EXPECT_EQ(ui::Child<QLineEdit>(dialog, "Edit5").text(), "beta");
        dialog.reject();
    });
    form.ListView1->Select(2);
    form.Edit1->trigger();
}

TEST_F(SiteCommands, OptionsAndQuickConnectOpenTheirDialogs) {
    TForm1& form = ShowForm();
    driver_.Next([](QDialog& dialog) {
        EXPECT_EQ(&dialog, Form2);
        EXPECT_EQ(dialog.windowTitle(), "Options");
        EXPECT_EQ(ui::Child<QTabWidget>(dialog, "PageControl1").currentIndex(), 0);
        dialog.reject();
    });
    form.ZezovozPanel1->SpeedButton1->click();
    driver_.Next([](QDialog& dialog) {
        EXPECT_EQ(&dialog, Form15);
        EXPECT_EQ(dialog.windowTitle(), "Quick connect");
        dialog.reject();
    });
    form.ToolButton37->click();
    EXPECT_EQ(driver_.DialogsDriven(), 2);
    EXPECT_EQ(Form2, nullptr);
    EXPECT_EQ(Form15, nullptr);
}

// Quick connect opens the page captioned with the server; the password lands in `quickftp`
// and in no other file of the program's folder (not the layout file the shut-down writes).
TEST_F(SiteCommands, QuickConnectOpensAPageAndKeepsThePasswordToItsTable) {
    TForm1& form = ShowForm();
    const std::string password = "pw-secret-4711";
    driver_.Next([&](QDialog& dialog) {
        ui::Child<QComboBox>(dialog, "ComboBox1").setEditText("127.0.0.1");
        ui::Child<QLineEdit>(dialog, "Edit1").setText("user");
        ui::Child<QLineEdit>(dialog, "Edit3").setText(QString::fromStdString(password));
        ui::ClickButton(dialog, "Button3");
    });
    form.ToolButton37->click();
    ASSERT_NE(form.FindSitePage("127.0.0.1"), nullptr);
    EXPECT_EQ(form.ActiveFrame()->FSiteName, "127.0.0.1");
    EXPECT_EQ(Column(*dm->Tquick, "pass"), std::vector<std::string>{password});

    // Again to the same server: its page comes to the front, the row takes the new values.
    form.PageControl1->setCurrentIndex(0);
    driver_.Next([&](QDialog& dialog) {
        ui::Child<QComboBox>(dialog, "ComboBox1").setEditText("127.0.0.1");
        ui::Child<QLineEdit>(dialog, "Edit1").setText("other");
        ui::ClickButton(dialog, "Button3");
    });
    form.ToolButton37->click();
    EXPECT_EQ(form.PageCounter, 1);
    EXPECT_EQ(form.ActiveFrame(), form.FindFrame(1));
    EXPECT_EQ(Column(*dm->Tquick, "user"), std::vector<std::string>{"other"});
    form.close();
    FlushDeferredDeletes();
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
        if (entry.path().filename() == "all.dat")
            continue;
        ++files;
        EXPECT_EQ(ReadBytes(entry.path().string()).find(password), std::string::npos)
            << entry.path();
    }
    EXPECT_GE(files, 2);  // FTPBookmark.dat and forminfo.ini at least
}

}  // namespace
}  // namespace mainwindow::testing
