#include "dialogs/site_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>

#include <sys/stat.h>

#include "dialogs/options_dialog.h"
#include "dialogs/testing/dialogs_rig.h"
#include "platform/os/program_folder.h"
#include "platform/ui/handler_guard.h"
#include "platform/ui/integer_edit.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/spin_edit.h"

namespace dialogs::testing {
namespace {

using SiteDialog = DialogsTest;
using ui::Child;
using ui::ClickButton;

constexpr const char* kStamp = "2026-12-10 14:05:06";

QStringList Items(const QComboBox& list) {
    QStringList items;
    for (int index = 0; index < list.count(); ++index)
        items << list.itemText(index);
    return items;
}

// The settings OK stores when the user types only a name and an address.
SiteSettings NewSite(const std::string& name, const std::string& address) {
    SiteSettings site;
    site.name = name;
    site.address = address;
    return site;
}

void Type(QDialog& dialog, const char* edit, const std::string& text) {
    Child<QLineEdit>(dialog, edit).setText(QString::fromStdString(text));
}

TEST_F(SiteDialog, ANewSiteStartsWithTheInitialValuesAndStoresThemColumnForColumn) {
    driver_.Next([&](QDialog& dialog) {
        auto& form = static_cast<TForm4&>(dialog);
        EXPECT_EQ(Form4, &form);
        EXPECT_TRUE(form.AddMode());
        EXPECT_EQ(form.PageControl1->currentWidget(), form.TabSheet1);
        EXPECT_EQ(form.PageControl1->tabText(0), "Login Information");
        EXPECT_EQ(form.PageControl1->tabText(1), "Advance Option");
        EXPECT_EQ(form.focusWidget(), form.Edit5);
        EXPECT_EQ(form.Memo1->toPlainText(), "\n");  // one empty line
        EXPECT_EQ(form.Edit4->text().size(), 24);
        EXPECT_EQ(form.Edit4->echoMode(), QLineEdit::Normal);
        EXPECT_EQ(Items(*form.ComboBox1), QStringList{"None"});
        EXPECT_EQ(form.ComboBox1->currentIndex(), 0);
        EXPECT_EQ(form.ComboBox2->currentIndex(), 0);
        // The stored-only controls are hidden; the job count is off while its box is.
        EXPECT_TRUE(form.CheckBox4->isHidden());
        EXPECT_TRUE(form.SpinEdit4->isHidden());
        EXPECT_TRUE(form.Label12->isHidden());
        EXPECT_FALSE(form.SpinEdit4->isEnabled());
        EXPECT_TRUE(form.SpinEdit4->isReadOnly());
        form.Edit5->setText("alpha");
        form.Edit1->setText("ftp.alpha.test");
        ClickButton(form, "Button1");
    });
    TForm4 form(host_);
    EXPECT_EQ(form.exec(), ui::mrOk);
    EXPECT_EQ(host_.siteListLoads, 1);

    const std::optional<SiteSettings> stored = SiteTable(*dm->Tftpsite).Read("alpha");
    ASSERT_TRUE(stored);
    SiteSettings expected = NewSite("alpha", "ftp.alpha.test");
    expected.password = "anonymous@zantrope.local";
    EXPECT_EQ(*stored, expected);
    EXPECT_EQ(ColumnTexts(*dm->Tftpsite, "cdate"), std::vector<std::string>{kStamp});
    EXPECT_EQ(ColumnTexts(*dm->Tftpsite, "zdate"), std::vector<std::string>{kStamp});
    EXPECT_EQ(ColumnTexts(*dm->Tftpsite, "id"), std::vector<std::string>{"1"});
    EXPECT_TRUE(AllTablesClosed());
}

TEST_F(SiteDialog, EveryControlIsStoredInItsColumn) {
    AddRow(*dm->Tproxy, {Text("name", "corporate")});
    AddRow(*dm->Tsocks, {Text("name", "tunnel")});
    driver_.Next([&](QDialog& dialog) {
        auto& form = static_cast<TForm4&>(dialog);
        EXPECT_EQ(Items(*form.ComboBox1), (QStringList{"None", "corporate"}));
        EXPECT_EQ(Items(*form.ComboBox2), (QStringList{"None", "tunnel"}));
        form.Edit5->setText(" beta ");
        form.Edit1->setText(" ftp.beta.test ");
        form.Edit2->setText("70000");  // no bounds
        form.Edit3->setText("bob");
        form.Edit4->setText("s3cret");
        form.CheckBox1->setChecked(false);
        form.Memo1->setPlainText("line one\nline two");
        form.Edit6->setText("/home/bob");
        form.ComboBox1->setCurrentIndex(1);
        form.ComboBox2->setCurrentIndex(1);
        form.CheckBox2->setChecked(false);
        form.CheckBox3->setChecked(true);
        form.SpinEdit1->SetValue(0);
        form.SpinEdit2->SetValue(0);
        form.SpinEdit3->SetValue(5);
        form.CheckBox4->setChecked(true);
        form.SpinEdit4->SetValue(7);
        ClickButton(form, "Button1");
    });
    TForm4 form(host_);
    EXPECT_EQ(form.exec(), ui::mrOk);
    SiteSettings expected{" beta ",
                          " ftp.beta.test ",
                          70000,
                          "bob",
                          "s3cret",
                          false,
                          "line one\nline two",
                          "/home/bob",
                          "corporate",
                          "tunnel",
                          false,
                          true,
                          0,
                          0,
                          5,
                          true,
                          7};
    EXPECT_EQ(SiteTable(*dm->Tftpsite).Read(" beta "), expected);
}

// Texts longer than their columns: each single-line field takes no more bytes than its column
// holds, the multi-line comment is stored as its first 1024 bytes; the site is stored.
TEST_F(SiteDialog, TextsLongerThanTheirColumnsAreStored) {
    const std::string comment = std::string(1000, 'c') + "\n" + std::string(100, 'd');
    SiteSettings typed;
    driver_.Next([&](QDialog& dialog) {
        auto& form = static_cast<TForm4&>(dialog);
        typed.name = ExpectByteLimit(*form.Edit5, 100);
        typed.address = ExpectByteLimit(*form.Edit1, 255);
        typed.username = ExpectByteLimit(*form.Edit3, 255);
        typed.password = ExpectByteLimit(*form.Edit4, 255);
        typed.defaultpath = ExpectByteLimit(*form.Edit6, 4096);
        form.Memo1->setPlainText(QString::fromStdString(comment));
        ClickButton(form, "Button1");
    });
    TForm4 form(host_);
    EXPECT_EQ(form.exec(), ui::mrOk);
    SiteSettings expected = typed;
    expected.comment = comment.substr(0, 1024);
    EXPECT_EQ(SiteTable(*dm->Tftpsite).Read(typed.name), expected);
    EXPECT_TRUE(ui_.Calls().empty());
}

TEST_F(SiteDialog, SpinEditsKeepTheirBoundsAndThePortHasNone) {
    struct Case {
        const char* control;
        const char* typed;
        const char* column;
        int stored;
    };
    const Case cases[] = {
        {"SpinEdit1", "-5", "timeout", 0},
        {"SpinEdit1", "100000", "timeout", 99999},
        {"SpinEdit1", "x", "timeout", 0},
        {"SpinEdit2", "-3", "nor", -3},
        {"SpinEdit2", "123456", "nor", 123456},
        {"SpinEdit3", "0", "rd", 1},
        {"SpinEdit3", "10000", "rd", 9999},
        {"SpinEdit3", "", "rd", 1},
        {"SpinEdit4", "11", "maxc", 10},
        {"SpinEdit4", "0", "maxc", 1},
        {"Edit2", "0", "port", 0},
        {"Edit2", "65536", "port", 65536},
        {"Edit2", "abc", "port", 0},
    };
    int number = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.control) + " \"" + c.typed + "\"");
        const std::string name = "site" + std::to_string(++number);
        driver_.Next([&](QDialog& dialog) {
            auto& form = static_cast<TForm4&>(dialog);
            form.Edit5->setText(QString::fromStdString(name));
            form.Edit1->setText("ftp.test");
            if (auto* spin = form.findChild<ui::SpinEdit*>(c.control)) {
                spin->setEnabled(true);
                spin->setReadOnly(false);
                spin->findChild<QLineEdit*>()->setText(c.typed);
            } else {
                Type(form, c.control, c.typed);
            }
            ClickButton(form, "Button1");
        });
        TForm4 form(host_);
        EXPECT_EQ(form.exec(), ui::mrOk);
        OpenTable table(*dm->Tftpsite);
        ASSERT_TRUE(table->Locate("name", name));
        EXPECT_EQ(table->FieldByName(c.column).AsInteger(), c.stored);
    }
}

TEST_F(SiteDialog, OkRefusesWithAMessageAndTheFocusAndStoresNothing) {
    AddRow(*dm->Tftpsite, {Text("name", "alpha"), Text("address", "a.test")});
    struct Case {
        const char* name;
        const char* address;
        const char* message;
        const char* focus;
        int page;  // the page in front afterwards (the check starts on "Advance Option")
    };
    const Case cases[] = {
        {"", "ftp.test", "Please enter name.", "Edit5", 0},
        {"beta", "", "Please enter the address of the FTP site.", "Edit1", 0},
        {"", "", "Please enter name.", "Edit5", 0},
        {"alpha", "ftp.test", "The name alpha was existed, please re-enter.", "Edit5", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        ui::ScriptedUi boxes(ui::GtestFailure());
        boxes.AnswerMessage(ui::mrOk);
        driver_.Next([&](QDialog& dialog) {
            auto& form = static_cast<TForm4&>(dialog);
            Type(form, "Edit5", c.name);
            Type(form, "Edit1", c.address);
            form.PageControl1->setCurrentIndex(1);
            form.Edit6->setFocus();
            ClickButton(form, "Button1");
            EXPECT_TRUE(form.isVisible());
            EXPECT_EQ(form.PageControl1->currentIndex(), c.page);
            EXPECT_EQ(form.focusWidget()->objectName().toStdString(), c.focus);
            EXPECT_TRUE(AllTablesClosed());
            ClickButton(form, "Button2");
        });
        TForm4 form(host_);
        EXPECT_EQ(form.exec(), ui::mrCancel);
        ASSERT_EQ(boxes.Calls().size(), 1u);
        EXPECT_EQ(boxes.Calls()[0].kind, ui::MessageKind::kWarning);
        EXPECT_EQ(boxes.Calls()[0].buttons, ui::mbOK);
        EXPECT_EQ(boxes.Calls()[0].text, c.message);
        EXPECT_EQ(ColumnTexts(*dm->Tftpsite, "name"), std::vector<std::string>{"alpha"});
    }
    EXPECT_EQ(host_.siteListLoads, 0);
}

// Names are compared exactly: blanks are text, and letter case makes another site.
TEST_F(SiteDialog, NamesAreExactInAddMode) {
    AddRow(*dm->Tftpsite, {Text("name", "alpha")});
    for (const char* name : {"   ", "Alpha", "alpha "}) {
        driver_.Next([&](QDialog& dialog) {
            Type(dialog, "Edit5", name);
            Type(dialog, "Edit1", "ftp.test");
            ClickButton(dialog, "Button1");
        });
        TForm4 form(host_);
        EXPECT_EQ(form.exec(), ui::mrOk) << '"' << name << '"';
    }
    EXPECT_EQ(ColumnTexts(*dm->Tftpsite, "name"),
              (std::vector<std::string>{"alpha", "   ", "Alpha", "alpha "}));
}

class EditedSite : public SiteDialog {
  protected:
    void SetUp() override {
        SiteDialog::SetUp();
        AddRow(*dm->Tftpsite,
               {Text("name", "abc"), Text("address", "abc.test"), Int("port", 2121),
                Text("cdate", "2020-01-01 00:00:00"), Text("zdate", "2020-01-02 00:00:00"),
                Text("proxy", "gone"), Text("socks", "tunnel"), Int("rd", 3), Int("maxc", 4)});
        AddRow(*dm->Tftpsite, {Text("name", "other"), Text("address", "other.test")});
        AddRow(*dm->Tsocks, {Text("name", "tunnel")});
    }

    // Runs the site dialog in edit mode for "abc", as the site list's Edit command does;
    // `drive` works it.
    int EditAbc(const std::function<void(TForm4&)>& drive) {
        driver_.Next([&](QDialog& dialog) { drive(static_cast<TForm4&>(dialog)); });
        TForm4 form(host_);
        form.FillProxySocksLists();
        form.OldName = "abc";
        form.setWindowTitle("Edit FTP Site");
        form.ShowValues(*SiteTable(*dm->Tftpsite).Read("abc"));
        return form.exec();
    }
};

TEST_F(EditedSite, ControlsShowTheRowAndAMissingProxyShowsNone) {
    EXPECT_EQ(EditAbc([](TForm4& form) {
                  EXPECT_FALSE(form.AddMode());
                  EXPECT_EQ(form.Edit5->text(), "abc");
                  EXPECT_EQ(form.Edit2->Value(), 2121);
                  EXPECT_EQ(form.SpinEdit3->Value(), 3);
                  EXPECT_EQ(form.SpinEdit4->Value(), 4);
                  EXPECT_EQ(form.ComboBox1->currentText(), "None");
                  EXPECT_EQ(form.ComboBox2->currentText(), "tunnel");
                  // The show added nothing to the lists the caller filled.
                  EXPECT_EQ(Items(*form.ComboBox2), (QStringList{"None", "tunnel"}));
                  ClickButton(form, "Button1");
              }),
              ui::mrOk);
    const std::optional<SiteSettings> stored = SiteTable(*dm->Tftpsite).Read("abc");
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->proxy, "None");
    EXPECT_EQ(stored->socks, "tunnel");
    // Both dates become the time of the edit; the id stays.
    EXPECT_EQ(ColumnTexts(*dm->Tftpsite, "cdate"), (std::vector<std::string>{kStamp, ""}));
    EXPECT_EQ(ColumnTexts(*dm->Tftpsite, "zdate"), (std::vector<std::string>{kStamp, ""}));
    EXPECT_EQ(ColumnTexts(*dm->Tftpsite, "id"), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(host_.siteListLoads, 1);
}

TEST_F(EditedSite, RenamesFollowTheExactNameRules) {
    struct Case {
        const char* newName;
        bool refused;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"abc", false, {"abc", "other"}},
        {"ABC", false, {"ABC", "other"}},
        {"other", true, {"abc", "other"}},
        {"Other", false, {"Other", "other"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.newName);
        ui::ScriptedUi boxes(ui::GtestFailure());
        if (c.refused)
            boxes.AnswerMessage(ui::mrOk);
        EXPECT_EQ(EditAbc([&](TForm4& form) {
                      form.Edit5->setText(c.newName);
                      ClickButton(form, "Button1");
                      if (c.refused) {
                          EXPECT_EQ(form.focusWidget(), form.Edit5);
                          ClickButton(form, "Button2");
                      }
                  }),
                  c.refused ? ui::mrCancel : ui::mrOk);
        if (c.refused) {
            ASSERT_EQ(boxes.Calls().size(), 1u);
            EXPECT_EQ(boxes.Calls()[0].text, "The name other was existed, please re-enter.");
        }
        EXPECT_EQ(ColumnTexts(*dm->Tftpsite, "name"), c.names);
        // Back to "abc" for the next case.
        OpenTable table(*dm->Tftpsite);
        table->First();
        table->Edit();
        table->FieldByName("name").SetAsString("abc");
        table->Post();
    }
}

TEST_F(EditedSite, ASiteGoneMeanwhileWritesNothingAndTheDialogCloses) {
    EXPECT_EQ(EditAbc([](TForm4& form) {
                  {
                      OpenTable table(*dm->Tftpsite);
                      ASSERT_TRUE(table->Locate("name", std::string("abc")));
                      table->Delete();
                  }
                  ClickButton(form, "Button1");
              }),
              ui::mrOk);
    EXPECT_EQ(ColumnTexts(*dm->Tftpsite, "name"), std::vector<std::string>{"other"});
    EXPECT_EQ(host_.siteListLoads, 1);
}

TEST_F(SiteDialog, ViewPasswordFollowsTheBoxAlsoWhenPreset) {
    driver_.Next([&](QDialog& dialog) {
        auto& form = static_cast<TForm4&>(dialog);
        form.CheckBox1->click();
        EXPECT_EQ(form.Edit4->echoMode(), QLineEdit::Password);
        form.CheckBox1->click();
        EXPECT_EQ(form.Edit4->echoMode(), QLineEdit::Normal);
        SiteSettings hidden;
        hidden.vp = false;
        form.ShowValues(hidden);
        EXPECT_EQ(form.Edit4->echoMode(), QLineEdit::Password);
        form.CheckBox4->setChecked(true);
        EXPECT_TRUE(form.SpinEdit4->isEnabled());
        EXPECT_FALSE(form.SpinEdit4->isReadOnly());
        ClickButton(form, "Button2");
    });
    TForm4 form(host_);
    EXPECT_EQ(form.exec(), ui::mrCancel);
    EXPECT_EQ(RowCount(*dm->Tftpsite), 0);
}

TEST_F(SiteDialog, HelpShowsTheOverviewTopic) {
    driver_.Next([&](QDialog& dialog) {
        ClickButton(dialog, "Button5");
        dialog.reject();
    });
    TForm4 form(host_);
    form.exec();
    EXPECT_EQ(help_.requests,
              (std::vector<ui::HelpRequest>{{os::ProgramFolder() + "Zantrope.hlp", "Overview"}}));
}

// A proxy added through "Option..." is listed at once and stays stored after Cancel; a SOCKS
// entry removed there leaves the list, and with it the selection: OK then stores "None".
TEST_F(SiteDialog, ListsFollowTheOptionsDialogOpenedFromOption) {
    AddRow(*dm->Tsocks, {Text("name", "tunnel"), Text("host", "s.test")});
    driver_.Next([&](QDialog& dialog) {
        auto& site = static_cast<TForm4&>(dialog);
        driver_.Next([&](QDialog& options) {
            EXPECT_EQ(static_cast<TForm2&>(options).PageControl1->currentIndex(), 2);
            driver_.Next([&](QDialog& proxy) {
                EXPECT_EQ(proxy.windowTitle(), "Add Proxy");
                Type(proxy, "Edit1", "corporate");
                Type(proxy, "Edit6", "proxy.test");
                ClickButton(proxy, "Button1");
            });
            ClickButton(options, "Button1");
            ClickButton(options, "Button4");  // Cancel
        });
        ClickButton(site, "Button3");
        EXPECT_EQ(Items(*site.ComboBox1), (QStringList{"None", "corporate"}));

        site.ComboBox2->setCurrentIndex(1);
        driver_.Next([&](QDialog& dialog2) {
            auto& options = static_cast<TForm2&>(dialog2);
            EXPECT_EQ(options.PageControl1->currentIndex(), 3);
            ClickButton(options, "Button13");
            EXPECT_EQ(
                help_.requests,
                (std::vector<ui::HelpRequest>{{os::ProgramFolder() + "Zantrope.hlp", "item32"}}));
            options.ListView2->setCurrentItem(options.ListView2->topLevelItem(0));
            ClickButton(options, "Button8");  // Remove
            ClickButton(options, "Button4");
        });
        ClickButton(site, "Button4");
        EXPECT_EQ(Items(*site.ComboBox2), QStringList{"None"});
        EXPECT_EQ(site.ComboBox2->currentIndex(), -1);
        site.Edit5->setText("alpha");
        site.Edit1->setText("a.test");
        ClickButton(site, "Button1");
    });
    TForm4 form(host_);
    EXPECT_EQ(form.exec(), ui::mrOk);
    EXPECT_EQ(ColumnTexts(*dm->Tproxy, "name"), std::vector<std::string>{"corporate"});
    EXPECT_EQ(RowCount(*dm->Tsocks), 0);
    EXPECT_EQ(SiteTable(*dm->Tftpsite).Read("alpha")->socks, "None");
    EXPECT_EQ(host_.optionReloads, 0);
}

// A row the engine refuses ends OK with the error reported, the dialog open with what was
// typed, and no table left open; the corrected entry is then stored.
TEST_F(SiteDialog, ATableErrorKeepsTheDialogOpenWithWhatWasTyped) {
    std::vector<std::string> errors;
    ui::ScopedApplicationErrorHandler handler(
        [&](std::exception_ptr error) { errors.push_back(ui::ErrorText(error)); });
    const std::string longAddress(300, 'a');
    driver_.Next([&](QDialog& dialog) {
        auto& form = static_cast<TForm4&>(dialog);
        form.Edit5->setText("alpha");
        form.Edit1->setValidator(nullptr);  // a text the edit's byte limit would not let in
        form.Edit1->setText(QString::fromStdString(longAddress));
        ClickButton(form, "Button1");
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(form.Edit1->text().toStdString(), longAddress);
        EXPECT_TRUE(AllTablesClosed());
        EXPECT_EQ(RowCount(*dm->Tftpsite), 0);
        form.Edit1->setText("a.test");
        ClickButton(form, "Button1");
    });
    TForm4 form(host_);
    EXPECT_EQ(form.exec(), ui::mrOk);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("address"), std::string::npos) << errors[0];
    EXPECT_EQ(ColumnTexts(*dm->Tftpsite, "address"), std::vector<std::string>{"a.test"});
}

TEST_F(SiteDialog, AReadOnlyDatabaseFileKeepsTheDialogOpen) {
    std::vector<std::string> errors;
    ui::ScopedApplicationErrorHandler handler(
        [&](std::exception_ptr error) { errors.push_back(ui::ErrorText(error)); });
    const std::string file = folder_ + "all.dat";
    driver_.Next([&](QDialog& dialog) {
        auto& form = static_cast<TForm4&>(dialog);
        form.Edit5->setText("alpha");
        form.Edit1->setText("a.test");
        ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
        ClickButton(form, "Button1");
        EXPECT_TRUE(form.isVisible());
        EXPECT_TRUE(AllTablesClosed());
        ::chmod(file.c_str(), 0644);
        ClickButton(form, "Button2");
    });
    TForm4 form(host_);
    EXPECT_EQ(form.exec(), ui::mrCancel);
    EXPECT_EQ(errors.size(), 1u);
    EXPECT_EQ(RowCount(*dm->Tftpsite), 0);
    EXPECT_EQ(host_.siteListLoads, 0);
}

}  // namespace
}  // namespace dialogs::testing
