#include "dialogs/entry_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTreeWidget>

#include <functional>

#include "dialogs/options_dialog.h"
#include "dialogs/proxy_dialog.h"
#include "dialogs/site_dialog.h"
#include "dialogs/socks_dialog.h"
#include "dialogs/testing/dialogs_rig.h"
#include "platform/ui/handler_guard.h"
#include "platform/ui/integer_edit.h"
#include "platform/ui/modal_result.h"

namespace dialogs::testing {
namespace {

using ui::Child;
using ui::ClickButton;

// What tells the twins apart, as the tests use it.
struct Twin {
    EntryKind kind;
    const char* addCaption;
    const char* editCaption;
    const char* nameEdit;
    const char* addressEdit;
    const char* portEdit;
    const char* typeList;
    int designPort;
    int designType;
    const char* emptyAddress;
    const char* optionsList;  // the options dialog's list
    const char* addButton;    // the options dialog's buttons
    const char* editButton;
    QStringList types;
};

const Twin kTwins[] = {
    {EntryKind::kProxy,
     "Add Proxy",
     "Edit Proxy",
     "Edit1",
     "Edit6",
     "Edit4",
     "ComboBox1",
     0,
     -1,
     "Please enter the address of proxy.",
     "ListView1",
     "Button1",
     "Button2",
     {"None", "UserSite", "Site", "Open", "UserPass", "Transparent"}},
    {EntryKind::kSocks,
     "Add Socks",
     "Edit Socks",
     "Edit4",
     "Edit1",
     "Edit5",
     "ComboBox2",
     1080,
     0,
     "Please enter the host.",
     "ListView2",
     "Button6",
     "Button7",
     {"NoSocks", "Socks4", "Socks4A", "Socks5"}},
};

class EntryDialogs : public DialogsTest, public ::testing::WithParamInterface<Twin> {
  protected:
    const Twin& twin() const { return GetParam(); }
    vesk::TVeskTable& Table() const {
        return twin().kind == EntryKind::kProxy ? *dm->Tproxy : *dm->Tsocks;
    }
    EntryTable Entries() const { return EntryTable(Table(), ColumnsOf(twin().kind)); }

    // Opens the options dialog on the twin's page and runs `drive` in it.
    void InOptions(const std::function<void(TForm2&)>& drive) {
        driver_.Next([&](QDialog& dialog) {
            drive(static_cast<TForm2&>(dialog));
            ClickButton(dialog, "Button4");  // Cancel: what the entry dialogs stored stays
        });
        TForm2 options(host_);
        options.PageControl1->setCurrentIndex(twin().kind == EntryKind::kProxy ? 2 : 3);
        options.exec();
    }

    QTreeWidget& OptionsList(TForm2& options) const {
        return Child<QTreeWidget>(options, twin().optionsList);
    }

    static std::vector<std::vector<std::string>> Rows(const QTreeWidget& list) {
        std::vector<std::vector<std::string>> rows;
        for (int row = 0; row < list.topLevelItemCount(); ++row) {
            const QTreeWidgetItem* item = list.topLevelItem(row);
            rows.push_back({item->text(0).toStdString(), item->text(1).toStdString(),
                            item->text(2).toStdString()});
        }
        return rows;
    }

    void Select(TForm2& options, int row) {
        OptionsList(options).setCurrentItem(OptionsList(options).topLevelItem(row));
    }
};

QStringList Items(const QComboBox& list) {
    QStringList items;
    for (int index = 0; index < list.count(); ++index)
        items << list.itemText(index);
    return items;
}

TEST_P(EntryDialogs, AddStoresEveryColumnAndExtendsTheOptionsAndSiteLists) {
    TForm4 site(host_);  // an open site dialog
    site.FillProxySocksLists();
    InOptions([&](TForm2& options) {
        driver_.Next([&](QDialog& dialog) {
            EXPECT_EQ(dialog.windowTitle(), twin().addCaption);
            auto& name = Child<QLineEdit>(dialog, twin().nameEdit);
            auto& type = Child<QComboBox>(dialog, twin().typeList);
            auto& login = Child<QCheckBox>(dialog, "CheckBox1");
            auto& user = Child<QLineEdit>(dialog, "Edit2");
            auto& password = Child<QLineEdit>(dialog, "Edit3");
            EXPECT_EQ(dialog.focusWidget(), &name);
            EXPECT_EQ(Child<ui::IntegerEdit>(dialog, twin().portEdit).Value(), twin().designPort);
            EXPECT_EQ(Items(type), twin().types);
            EXPECT_EQ(type.currentIndex(), twin().designType);
            EXPECT_FALSE(login.isChecked());
            EXPECT_FALSE(user.isEnabled());
            EXPECT_FALSE(password.isEnabled());
            login.click();
            EXPECT_TRUE(user.isEnabled());
            EXPECT_TRUE(password.isEnabled());
            EXPECT_EQ(password.echoMode(), QLineEdit::Normal);
            name.setText("office");
            Child<QLineEdit>(dialog, twin().addressEdit).setText("gate.test");
            Child<QLineEdit>(dialog, twin().portEdit).setText("70000");
            type.setCurrentIndex(2);
            user.setText("ann");
            password.setText("pw");
            ClickButton(dialog, "Button1");
        });
        ClickButton(options, twin().addButton);
        EXPECT_EQ(Rows(OptionsList(options)),
                  (std::vector<std::vector<std::string>>{
                      {"office", "gate.test", twin().types[2].toStdString()}}));
    });
    EXPECT_EQ(Entries().Read("office"), (EntryValues{"office", "gate.test", 70000, true, "ann",
                                                     "pw", 2, twin().types[2].toStdString()}));
    EXPECT_EQ(Items(site.EntryList(twin().kind)), (QStringList{"None", "office"}));
    EXPECT_TRUE(AllTablesClosed());
}

// Each text field takes no more bytes than its column holds (name 100, the others 255), so
// the entry is stored.
TEST_P(EntryDialogs, FieldsTakeNoMoreThanTheirColumns) {
    EntryValues typed;
    InOptions([&](TForm2& options) {
        driver_.Next([&](QDialog& dialog) {
            Child<QCheckBox>(dialog, "CheckBox1").click();
            typed.name = ExpectByteLimit(Child<QLineEdit>(dialog, twin().nameEdit), 100);
            typed.address = ExpectByteLimit(Child<QLineEdit>(dialog, twin().addressEdit), 255);
            typed.user = ExpectByteLimit(Child<QLineEdit>(dialog, "Edit2"), 255);
            typed.password = ExpectByteLimit(Child<QLineEdit>(dialog, "Edit3"), 255);
            ClickButton(dialog, "Button1");
        });
        ClickButton(options, twin().addButton);
    });
    const std::optional<EntryValues> stored = Entries().Read(typed.name);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->address, typed.address);
    EXPECT_EQ(stored->user, typed.user);
    EXPECT_EQ(stored->password, typed.password);
    EXPECT_TRUE(ui_.Calls().empty());
}

// Without a type the row has -1 and an empty type name; with "Login" off the user name and
// password are stored all the same.
TEST_P(EntryDialogs, NoTypeAndLoginOffAreStoredAsTheyStand) {
    InOptions([&](TForm2& options) {
        driver_.Next([&](QDialog& dialog) {
            Child<QLineEdit>(dialog, twin().nameEdit).setText("bare");
            Child<QLineEdit>(dialog, twin().addressEdit).setText("h.test");
            Child<QComboBox>(dialog, twin().typeList).setCurrentIndex(-1);
            Child<QLineEdit>(dialog, "Edit2").setText("kept");
            ClickButton(dialog, "Button1");
        });
        ClickButton(options, twin().addButton);
    });
    EXPECT_EQ(Entries().Read("bare"),
              (EntryValues{"bare", "h.test", twin().designPort, false, "kept", "", -1, ""}));
}

TEST_P(EntryDialogs, OkRefusesWithAMessageAndTheFocus) {
    Entries().Add({"taken", "t.test", 1, false, "", "", 0, ""});
    Entries().Add({"mine", "m.test", 1, false, "", "", 0, ""});
    struct Case {
        bool edit;
        const char* name;
        const char* address;
        std::string message;
        const char* focus;
    };
    const Case cases[] = {
        {false, "", "a.test", "Please enter the name.", twin().nameEdit},
        {false, "new", "", twin().emptyAddress, twin().addressEdit},
        {false, "taken", "a.test", "The name taken was existed, please re-enter.", twin().nameEdit},
        {true, "taken", "a.test", "The name taken was existed, please re-enter.", twin().nameEdit},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        ui::ScriptedUi boxes(ui::GtestFailure());
        boxes.AnswerMessage(ui::mrOk);
        InOptions([&](TForm2& options) {
            driver_.Next([&](QDialog& dialog) {
                Child<QLineEdit>(dialog, twin().nameEdit).setText(c.name);
                Child<QLineEdit>(dialog, twin().addressEdit).setText(c.address);
                ClickButton(dialog, "Button1");
                EXPECT_TRUE(dialog.isVisible());
                EXPECT_EQ(dialog.focusWidget()->objectName().toStdString(), c.focus);
                EXPECT_TRUE(AllTablesClosed());
                ClickButton(dialog, "Button2");
            });
            if (c.edit) {
                Select(options, 1);  // "mine"
                ClickButton(options, twin().editButton);
            } else {
                ClickButton(options, twin().addButton);
            }
        });
        ASSERT_EQ(boxes.Calls().size(), 1u);
        EXPECT_EQ(boxes.Calls()[0].kind, ui::MessageKind::kWarning);
        EXPECT_EQ(boxes.Calls()[0].text, c.message);
        EXPECT_EQ(Entries().Rows().size(), 2u);
        EXPECT_TRUE(Entries().Read("mine"));
    }
}

// Renaming replaces the entry among the stored ones in the site dialog's list, never the
// built-in "None" at its head, even for a row named "None".
TEST_P(EntryDialogs, EditPresetsTheRowAndARenameKeepsTheBuiltInNoneInPlace) {
    Entries().Add({"None", "n.test", 21, true, "u", "p", 1, twin().types[1].toStdString()});
    Entries().Add({"Office", "o.test", 21, false, "", "", 0, twin().types[0].toStdString()});
    TForm4 site(host_);
    site.FillProxySocksLists();
    QComboBox& list = site.EntryList(twin().kind);
    ASSERT_EQ(Items(list), (QStringList{"None", "None", "Office"}));
    list.setCurrentIndex(2);
    struct Rename {
        int row;
        const char* oldName;
        const char* newName;
        QStringList items;
    };
    const Rename renames[] = {
        {0, "None", "Proxy A", {"None", "Proxy A", "Office"}},
        {1, "Office", "office", {"None", "Proxy A", "office"}},
    };
    for (const Rename& r : renames) {
        SCOPED_TRACE(r.newName);
        InOptions([&](TForm2& options) {
            driver_.Next([&](QDialog& dialog) {
                auto& entry = static_cast<TEntryDialog&>(dialog);
                EXPECT_EQ(entry.windowTitle(), twin().editCaption);
                EXPECT_EQ(entry.OldName, r.oldName);
                const EntryValues stored = *Entries().Read(r.oldName);
                EXPECT_EQ(entry.Values(), stored);
                EXPECT_EQ(entry.Edit2->isEnabled(), stored.login);
                Child<QLineEdit>(dialog, twin().nameEdit).setText(r.newName);
                ClickButton(dialog, "Button1");
            });
            Select(options, r.row);
            ClickButton(options, twin().editButton);
            EXPECT_EQ(OptionsList(options).topLevelItem(r.row)->text(0).toStdString(), r.newName);
        });
        EXPECT_EQ(Items(list), r.items);
        EXPECT_TRUE(Entries().Read(r.newName));
        EXPECT_FALSE(Entries().Read(r.oldName));
    }
    EXPECT_EQ(list.currentIndex(), 2);
}

TEST_P(EntryDialogs, AnEntryGoneBeforeOkWritesNothingAndCloses) {
    Entries().Add({"old", "o.test", 21, false, "", "", 0, ""});
    InOptions([&](TForm2& options) {
        driver_.Next([&](QDialog& dialog) {
            Entries().Remove("old");
            ClickButton(dialog, "Button1");
        });
        Select(options, 0);
        ClickButton(options, twin().editButton);
        EXPECT_EQ(driver_.DialogsDriven(), 2);
    });
    EXPECT_TRUE(Entries().Rows().empty());
}

// A row the table refuses ends OK with the error reported, the dialog open with what was
// typed and no table left open.
TEST_P(EntryDialogs, ATableErrorKeepsTheDialogOpen) {
    std::vector<std::string> errors;
    ui::ScopedApplicationErrorHandler handler(
        [&](std::exception_ptr error) { errors.push_back(ui::ErrorText(error)); });
    const std::string longName(101, 'n');
    InOptions([&](TForm2& options) {
        driver_.Next([&](QDialog& dialog) {
            auto& name = Child<QLineEdit>(dialog, twin().nameEdit);
            name.setValidator(nullptr);  // a text the edit's byte limit would not let in
            name.setText(QString::fromStdString(longName));
            Child<QLineEdit>(dialog, twin().addressEdit).setText("h.test");
            ClickButton(dialog, "Button1");
            EXPECT_TRUE(dialog.isVisible());
            EXPECT_EQ(name.text().toStdString(), longName);
            EXPECT_TRUE(AllTablesClosed());
            ClickButton(dialog, "Button2");
        });
        ClickButton(options, twin().addButton);
        EXPECT_EQ(OptionsList(options).topLevelItemCount(), 0);
    });
    EXPECT_EQ(errors.size(), 1u);
    EXPECT_TRUE(Entries().Rows().empty());
}

INSTANTIATE_TEST_SUITE_P(Twins, EntryDialogs, ::testing::ValuesIn(kTwins),
                         [](const ::testing::TestParamInfo<Twin>& info) {
                             return info.param.kind == EntryKind::kProxy ? std::string("Proxy")
                                                                         : std::string("Socks");
                         });

}  // namespace
}  // namespace dialogs::testing
