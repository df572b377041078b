#include "dialogs/quick_connect_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <functional>
#include <stdexcept>

#include "dialogs/site_dialog.h"
#include "dialogs/testing/dialogs_rig.h"
#include "platform/ui/handler_guard.h"
#include "platform/ui/integer_edit.h"
#include "platform/ui/modal_result.h"

namespace dialogs::testing {
namespace {

using ui::ClickButton;

class QuickConnect : public DialogsTest {
  protected:
    int Run(const std::function<void(TForm15&)>& drive) {
        driver_.Next([&](QDialog& dialog) { drive(static_cast<TForm15&>(dialog)); });
        TForm15 form(host_);
        return form.exec();
    }

    std::vector<QuickServer> Stored() {
        QuickHistory history(*dm->Tquick);
        std::vector<QuickServer> servers;
        for (const std::string& ftp : history.Servers())
            servers.push_back(*history.Find(ftp));
        return servers;
    }

    static QStringList Items(const QComboBox& list) {
        QStringList items;
        for (int index = 0; index < list.count(); ++index)
            items << list.itemText(index);
        return items;
    }
};

TEST_F(QuickConnect, ARememberedServerFillsTheOtherControls) {
    QuickHistory(*dm->Tquick).Save({"ftp.one.test", 2121, "ann", "pw1", false});
    QuickHistory(*dm->Tquick).Save({"ftp.two.test", 21, "bob", "pw2", true});
    Run([](TForm15& form) {
        EXPECT_EQ(form.windowTitle(), "Quick connect");
        EXPECT_EQ(form.focusWidget(), form.ComboBox1);
        EXPECT_EQ(Items(*form.ComboBox1), (QStringList{"ftp.one.test", "ftp.two.test"}));
        EXPECT_EQ(form.ComboBox1->currentText(), "");  // filling the list picks nothing
        EXPECT_EQ(form.Values(), (QuickServer{"", 21, "", "", true}));
        form.ComboBox1->setCurrentIndex(0);  // picked
        EXPECT_EQ(form.Values(), (QuickServer{"ftp.one.test", 2121, "ann", "pw1", false}));
        form.ComboBox1->setEditText("ftp.two.tes");  // typed: no such server, nothing changes
        EXPECT_EQ(form.Values(), (QuickServer{"ftp.two.tes", 2121, "ann", "pw1", false}));
        form.ComboBox1->setEditText("ftp.two.test");
        EXPECT_EQ(form.Values(), (QuickServer{"ftp.two.test", 21, "bob", "pw2", true}));
        form.ComboBox1->setEditText("FTP.TWO.TEST");  // letter case counts
        EXPECT_EQ(form.Edit1->text(), "bob");
        form.reject();
    });
    EXPECT_TRUE(AllTablesClosed());
}

// Return in the server box, as a person enters a server, beside a remembered server that
// differs only in case: the page is asked for the text as typed, which gets a row of its own;
// the remembered server's values stay where they are.
TEST_F(QuickConnect, ReturnConnectsToTheServerAsTyped) {
    QuickHistory(*dm->Tquick).Save({"ftp.one.test", 2121, "ann", "pw1", false});
    EXPECT_EQ(Run([](TForm15& form) {
                  QLineEdit& edit = *form.ComboBox1->lineEdit();
                  edit.setFocus();
                  QTest::keyClicks(&edit, QStringLiteral("FTP.ONE.TEST"));
                  QTest::keyClick(form.Edit1, 'u');
                  QTest::keyClick(&edit, Qt::Key_Return);
              }),
              ui::mrOk);
    EXPECT_EQ(host_.quickPages, (std::vector<QuickPage>{{"FTP.ONE.TEST", 21, "u", "", true}}));
    EXPECT_EQ(Stored(), (std::vector<QuickServer>{{"ftp.one.test", 2121, "ann", "pw1", false},
                                                  {"FTP.ONE.TEST", 21, "u", "", true}}));
}

// The server, user and password fields take no more bytes than their columns (255 each), so
// the server is remembered.
TEST_F(QuickConnect, FieldsTakeNoMoreThanTheirColumns) {
    QuickServer typed;
    EXPECT_EQ(Run([&](TForm15& form) {
                  typed.ftp = ExpectByteLimit(*form.ComboBox1->lineEdit(), 255);
                  typed.user = ExpectByteLimit(*form.Edit1, 255);
                  typed.pass = ExpectByteLimit(*form.Edit3, 255);
                  ClickButton(form, "Button3");
              }),
              ui::mrOk);
    EXPECT_EQ(Stored(), std::vector<QuickServer>{typed});
}

// Connect hands the controls to the page while the dialog is open, then remembers the server:
// one row per exact server text, with the values of its last connection.
TEST_F(QuickConnect, ConnectOpensThePageThenRemembersTheServer) {
    struct Step {
        QuickServer typed;
        std::vector<QuickServer> stored;
    };
    const Step steps[] = {
        {{"ftp.one.test", 2121, "ann", "pw1", false},
         {{"ftp.one.test", 2121, "ann", "pw1", false}}},
        {{"ftp.one.test", 21, "ann", "pw9", true}, {{"ftp.one.test", 21, "ann", "pw9", true}}},
        {{"FTP.one.test", 21, "", "", true},
         {{"ftp.one.test", 21, "ann", "pw9", true}, {"FTP.one.test", 21, "", "", true}}},
        {{"", 0, "", "", true},
         {{"ftp.one.test", 21, "ann", "pw9", true},
          {"FTP.one.test", 21, "", "", true},
          {"", 0, "", "", true}}},
    };
    std::vector<QuickServer> before;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.typed.ftp);
        host_.quickPages.clear();
        // The page opens while the dialog is up, before the server is remembered.
        host_.onQuickPage = [&] {
            ASSERT_NE(Form15, nullptr);
            EXPECT_TRUE(Form15->isVisible());
            EXPECT_EQ(Stored(), before);
        };
        EXPECT_EQ(Run([&](TForm15& form) {
                      form.ComboBox1->setEditText(QString::fromStdString(step.typed.ftp));
                      form.Edit2->SetValue(step.typed.port);
                      form.Edit1->setText(QString::fromStdString(step.typed.user));
                      form.Edit3->setText(QString::fromStdString(step.typed.pass));
                      form.CheckBox1->setChecked(step.typed.pasv);
                      ClickButton(form, "Button3");
                  }),
                  ui::mrOk);
        EXPECT_EQ(host_.quickPages,
                  (std::vector<QuickPage>{{step.typed.ftp, step.typed.port, step.typed.user,
                                           step.typed.pass, step.typed.pasv}}));
        EXPECT_EQ(Stored(), step.stored);
        before = step.stored;
    }
}

// An error while the page is opened ends Connect before the server is remembered; the dialog
// stays open.
TEST_F(QuickConnect, AnErrorOpeningThePageRemembersNothing) {
    std::vector<std::string> errors;
    ui::ScopedApplicationErrorHandler handler(
        [&](std::exception_ptr error) { errors.push_back(ui::ErrorText(error)); });
    host_.onQuickPage = [] { throw std::runtime_error("page refused"); };
    EXPECT_EQ(Run([&](TForm15& form) {
                  form.ComboBox1->setEditText("ftp.one.test");
                  ClickButton(form, "Button3");
                  EXPECT_TRUE(form.isVisible());
                  form.reject();
              }),
              ui::mrCancel);
    EXPECT_EQ(errors, std::vector<std::string>{"page refused"});
    EXPECT_TRUE(Stored().empty());
}

TEST_F(QuickConnect, ClearHistoryEmptiesTableAndListAndStaysOpen) {
    QuickHistory(*dm->Tquick).Save({"ftp.one.test", 21, "", "", true});
    Run([&](TForm15& form) {
        form.ComboBox1->setEditText("typed.test");
        ClickButton(form, "Button1");
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(form.ComboBox1->count(), 0);
        EXPECT_EQ(form.ComboBox1->currentText(), "typed.test");
        EXPECT_TRUE(Stored().empty());
        form.reject();
    });
}

TEST_F(QuickConnect, SaveFtpSitePresetsTheNewSiteDialog) {
    Run([&](TForm15& form) {
        ClickButton(form, "SpeedButton1");  // empty server: no dialog
        EXPECT_EQ(driver_.DialogsDriven(), 1);
        form.ComboBox1->setEditText("ftp.one.test");
        form.Edit2->SetValue(2121);
        form.Edit1->setText("ann");
        form.Edit3->setText("pw1");
        form.CheckBox1->setChecked(false);
        driver_.Next([&](QDialog& dialog) {
            auto& site = static_cast<TForm4&>(dialog);
            EXPECT_TRUE(site.AddMode());
            EXPECT_EQ(site.Edit5->text(), "");
            site.Edit5->setText("one");
            ClickButton(site, "Button1");
        });
        ClickButton(form, "SpeedButton1");
        EXPECT_TRUE(form.isVisible());
        form.reject();
    });
    SiteSettings expected;
    expected.name = "one";
    expected.address = "ftp.one.test";
    expected.port = 2121;
    expected.username = "ann";
    expected.password = "pw1";
    expected.pasv = false;
    EXPECT_EQ(SiteTable(*dm->Tftpsite).Read("one"), expected);
    EXPECT_EQ(host_.siteListLoads, 1);
    EXPECT_TRUE(Stored().empty());
}

}  // namespace
}  // namespace dialogs::testing
