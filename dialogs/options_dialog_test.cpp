#include "dialogs/options_dialog.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QItemSelectionModel>
#include <QListWidget>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeWidget>

#include <functional>

#include "dialogs/testing/dialogs_rig.h"
#include "platform/os/program_folder.h"
#include "platform/ui/handler_guard.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/spin_edit.h"

namespace dialogs::testing {
namespace {

using ui::ClickButton;

class OptionsDialog : public DialogsTest {
  protected:
    // Shows the options dialog (on `page`) and runs `drive` in it; returns the modal result.
    int Run(const std::function<void(TForm2&)>& drive, int page = -1) {
        driver_.Next([&](QDialog& dialog) { drive(static_cast<TForm2&>(dialog)); });
        TForm2 options(host_);
        if (page >= 0)
            options.PageControl1->setCurrentIndex(page);
        return options.exec();
    }

    void SeedLists() {
        AddRow(*dm->Tantiidle, {Text("command", "NOOP"), Flag("tf", true)});
        AddRow(*dm->Tantiidle, {Text("command", "PWD"), Flag("tf", false)});
        AddRow(*dm->Tascext, {Text("ext", "TXT"), Flag("tf", true)});
    }

    static std::vector<CheckedText> Entries(vesk::TVeskTable& table, const char* column) {
        return OptionsTables().ReadList(table, column);
    }
};

TEST_F(OptionsDialog, WithoutAnOptionsRowOkCreatesItWithTheValuesShown) {
    EXPECT_EQ(Run([](TForm2& options) {
                  EXPECT_EQ(options.PageControl1->currentIndex(), 0);
                  EXPECT_EQ(options.PageControl1->tabText(0), "Anti-Idle");
                  EXPECT_EQ(options.PageControl1->tabText(1), "Transfer");
                  EXPECT_EQ(options.PageControl1->tabText(2), "Proxy");
                  EXPECT_EQ(options.PageControl1->tabText(3), "Socks");
                  EXPECT_FALSE(options.CheckBox1->isChecked());
                  EXPECT_EQ(options.SpinEdit1->Value(), 1);  // 0 brought to the lower bound
                  EXPECT_TRUE(options.RadioButton1->isChecked());
                  EXPECT_TRUE(options.RadioButton4->isChecked());
                  EXPECT_TRUE(options.GroupBox6->isHidden());
                  EXPECT_TRUE(options.CheckBox2->isHidden());
                  ClickButton(options, "Button3");
              }),
              ui::mrOk);
    EXPECT_EQ(OptionsTables().ReadOptions(*dm->Toption),
              (OptionsValues{false, 1, "auto", "none", 0, 0, false}));
    EXPECT_EQ(RowCount(*dm->Toption), 1);
    EXPECT_EQ(host_.optionReloads, 1);
    EXPECT_TRUE(AllTablesClosed());
}

TEST_F(OptionsDialog, ShowsTheStoredValuesAndOkWritesEveryChoiceBack) {
    SeedLists();
    AddRow(*dm->Toption,
           {Flag("eanti", true), Int("interval", 150), Text("transfermode", "binary"),
            Text("transferc", "quit"), Int("recvb", 8192), Int("sendb", -4), Flag("appe", true)});
    AddRow(*dm->Tproxy, {Text("name", "p1"), Text("server", "p.test"), Text("typename", "Site")});
    AddRow(*dm->Tsocks, {Text("name", "s1"), Text("host", "s.test"), Text("svname", "Socks5")});
    Run([](TForm2& options) {
        EXPECT_TRUE(options.CheckBox1->isChecked());
        EXPECT_EQ(options.SpinEdit1->Value(), 99);
        EXPECT_TRUE(options.RadioButton3->isChecked());
        EXPECT_TRUE(options.RadioButton6->isChecked());
        EXPECT_EQ(options.SpinEdit2->Value(), 8192);
        EXPECT_EQ(options.SpinEdit3->Value(), -4);
        EXPECT_TRUE(options.CheckBox2->isChecked());
        EXPECT_EQ(options.Commands(), (std::vector<CheckedText>{{"NOOP", true}, {"PWD", false}}));
        EXPECT_EQ(options.Extensions(), (std::vector<CheckedText>{{"TXT", true}}));
        EXPECT_EQ(options.ListView1->topLevelItem(0)->text(1), "p.test");
        EXPECT_EQ(options.ListView1->topLevelItem(0)->text(2), "Site");
        EXPECT_EQ(options.ListView2->topLevelItem(0)->text(2), "Socks5");
        options.CheckBox1->setChecked(false);
        options.RadioButton2->setChecked(true);
        options.RadioButton7->setChecked(true);
        options.CheckBox2->setChecked(false);
        options.SpinEdit2->SetValue(0);
        ClickButton(options, "Button3");
    });
    EXPECT_EQ(OptionsTables().ReadOptions(*dm->Toption),
              (OptionsValues{false, 99, "ascii", "exit", 0, -4, false}));
}

// A stored text that is none of the choices leaves the design choice.
TEST_F(OptionsDialog, AnUnknownModeLeavesTheChoice) {
    AddRow(*dm->Toption, {Text("transfermode", "Binary"), Text("transferc", "")});
    Run([](TForm2& options) {
        EXPECT_TRUE(options.RadioButton1->isChecked());
        EXPECT_TRUE(options.RadioButton4->isChecked());
        options.reject();
    });
}

TEST_F(OptionsDialog, AddingACommandOrExtensionFollowsTheCaseAndBlankRules) {
    SeedLists();
    struct Case {
        const char* button;
        std::optional<std::string> typed;  // nullopt: the input box is cancelled
        int selected;                      // the current row afterwards (an addition: none)
    };
    const Case cases[] = {
        {"Button9", "noop", 0},        {"Button9", " noop", -1}, {"Button9", "  \t", -1},
        {"Button9", std::nullopt, -1}, {"Button9", "pwd", 1},    {"Button11", ".txt", -1},
        {"Button11", "Txt", 0},
    };
    Run([&](TForm2& options) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.typed.value_or("<cancel>"));
            ui_.AnswerInput(c.typed);
            options.CheckListBox1->setCurrentRow(-1);
            options.CheckListBox2->setCurrentRow(-1);
            ClickButton(options, c.button);
            QListWidget* list =
                std::string(c.button) == "Button9" ? options.CheckListBox1 : options.CheckListBox2;
            EXPECT_EQ(list->currentRow(), c.selected);
        }
        EXPECT_EQ(options.Commands(),
                  (std::vector<CheckedText>{{"NOOP", true}, {"PWD", false}, {" NOOP", true}}));
        EXPECT_EQ(options.Extensions(), (std::vector<CheckedText>{{"TXT", true}, {".TXT", true}}));
        ClickButton(options, "Button4");
    });
    ASSERT_EQ(ui_.Calls().size(), 7u);
    EXPECT_EQ(ui_.Calls()[0].caption, "Input Command");
    EXPECT_EQ(ui_.Calls()[0].text, "");
    EXPECT_EQ(ui_.Calls()[6].caption, "Input filename extension");
    // Cancel writes no list.
    EXPECT_EQ(Entries(*dm->Tantiidle, kCommandColumn),
              (std::vector<CheckedText>{{"NOOP", true}, {"PWD", false}}));
    EXPECT_EQ(host_.optionReloads, 0);
}

// The input boxes take no more bytes than the columns the lists are stored in (a command 255,
// an extension 64), so OK stores what was entered.
TEST_F(OptionsDialog, TheInputBoxesTakeNoMoreThanTheirColumns) {
    Run([&](TForm2& options) {
        ui_.AnswerInput(std::string(255, 'c')).AnswerInput(std::string(64, 'e'));
        ClickButton(options, "Button9");
        ClickButton(options, "Button11");
        ClickButton(options, "Button3");
    });
    ASSERT_EQ(ui_.Calls().size(), 2u);
    EXPECT_EQ(ui_.Calls()[0].maxBytes, 255u);
    EXPECT_EQ(ui_.Calls()[1].maxBytes, 64u);
    EXPECT_EQ(Entries(*dm->Tantiidle, kCommandColumn),
              (std::vector<CheckedText>{{std::string(255, 'C'), true}}));
    EXPECT_EQ(Entries(*dm->Tascext, kExtensionColumn),
              (std::vector<CheckedText>{{std::string(64, 'E'), true}}));
}

// A check mark of a stored entry is written at once and stays after Cancel; an entry added
// meanwhile gets nothing written.
TEST_F(OptionsDialog, CheckMarksOfStoredEntriesAreWrittenAtOnce) {
    SeedLists();
    Run([&](TForm2& options) {
        ui_.AnswerInput("SYST");
        ClickButton(options, "Button9");
        options.CheckListBox1->item(0)->setCheckState(Qt::Unchecked);
        options.CheckListBox1->item(1)->setCheckState(Qt::Checked);
        options.CheckListBox1->item(2)->setCheckState(Qt::Unchecked);
        options.CheckListBox1->item(2)->setCheckState(Qt::Checked);
        options.CheckListBox2->item(0)->setCheckState(Qt::Unchecked);
        EXPECT_TRUE(AllTablesClosed());
        ClickButton(options, "Button4");
    });
    EXPECT_EQ(Entries(*dm->Tantiidle, kCommandColumn),
              (std::vector<CheckedText>{{"NOOP", false}, {"PWD", true}}));
    EXPECT_EQ(Entries(*dm->Tascext, kExtensionColumn), (std::vector<CheckedText>{{"TXT", false}}));
}

TEST_F(OptionsDialog, OkRewritesTheListsInTheOrderShown) {
    SeedLists();
    Run([&](TForm2& options) {
        ui_.AnswerInput("stat");
        ClickButton(options, "Button9");
        options.CheckListBox1->setCurrentRow(0);
        ClickButton(options, "Button10");  // deletes NOOP
        options.CheckListBox2->setCurrentRow(-1);
        ClickButton(options, "Button12");  // nothing selected: nothing happens
        options.CheckListBox2->setCurrentRow(0);
        ClickButton(options, "Button12");
        ClickButton(options, "Button3");
    });
    EXPECT_EQ(Entries(*dm->Tantiidle, kCommandColumn),
              (std::vector<CheckedText>{{"PWD", false}, {"STAT", true}}));
    EXPECT_TRUE(Entries(*dm->Tascext, kExtensionColumn).empty());
    EXPECT_EQ(host_.optionReloads, 1);
}

TEST_F(OptionsDialog, RemovingAProxyAsksNothingAndCancelDoesNotUndoIt) {
    AddRow(*dm->Tproxy, {Text("name", "p1")});
    AddRow(*dm->Tproxy, {Text("name", "p2")});
    AddRow(*dm->Tftpsite, {Text("name", "site"), Text("proxy", "p1")});
    Run(
        [&](TForm2& options) {
            options.ListView1->setCurrentItem(nullptr);
            ClickButton(options, "Button5");  // nothing selected
            options.ListView1->setCurrentItem(options.ListView1->topLevelItem(0));
            ClickButton(options, "Button5");
            EXPECT_EQ(options.ListView1->topLevelItemCount(), 1);
            // A row no longer stored stays in the list.
            OpenTable(*dm->Tproxy)->Delete();
            options.ListView1->setCurrentItem(options.ListView1->topLevelItem(0));
            ClickButton(options, "Button5");
            EXPECT_EQ(options.ListView1->topLevelItemCount(), 1);
            ClickButton(options, "Button4");
        },
        2);
    EXPECT_EQ(RowCount(*dm->Tproxy), 0);
    EXPECT_EQ(ColumnTexts(*dm->Tftpsite, "proxy"), std::vector<std::string>{"p1"});
}

// Edit with no row selected, or on a row no longer stored, opens no entry dialog (the modal
// driver fails a dialog it has no driver for).
TEST_F(OptionsDialog, EditNeedsASelectedStoredRow) {
    AddRow(*dm->Tproxy, {Text("name", "p1")});
    AddRow(*dm->Tsocks, {Text("name", "s1")});
    Run([&](TForm2& options) {
        options.ListView1->setCurrentItem(nullptr);
        ClickButton(options, "Button2");
        options.ListView2->setCurrentItem(nullptr);
        ClickButton(options, "Button7");
        OpenTable(*dm->Tproxy)->Delete();
        OpenTable(*dm->Tsocks)->Delete();
        options.ListView1->setCurrentItem(options.ListView1->topLevelItem(0));
        ClickButton(options, "Button2");
        options.ListView2->setCurrentItem(options.ListView2->topLevelItem(0));
        ClickButton(options, "Button7");
        EXPECT_EQ(driver_.DialogsDriven(), 1);
        EXPECT_TRUE(AllTablesClosed());
        options.reject();
    });
}

// The list's current row without a selection (tabbed into, or Ctrl+clicked off): "&Remove",
// "&Delete" and "&Edit..." act on the selected row only, so they do nothing.
TEST_F(OptionsDialog, TheButtonsLeaveACurrentRowThatIsNotSelected) {
    SeedLists();
    AddRow(*dm->Tproxy, {Text("name", "p1")});
    AddRow(*dm->Tsocks, {Text("name", "s1")});
    Run([&](TForm2& options) {
        const auto currentOnly = [](QAbstractItemView& list) {
            list.selectionModel()->setCurrentIndex(list.model()->index(0, 0),
                                                   QItemSelectionModel::Clear);
            ASSERT_TRUE(list.selectionModel()->selectedIndexes().isEmpty());
        };
        for (QAbstractItemView* list : {static_cast<QAbstractItemView*>(options.ListView1),
                                        static_cast<QAbstractItemView*>(options.ListView2),
                                        static_cast<QAbstractItemView*>(options.CheckListBox1),
                                        static_cast<QAbstractItemView*>(options.CheckListBox2)})
            currentOnly(*list);
        for (const char* button :
             {"Button5", "Button8", "Button2", "Button7", "Button10", "Button12"})
            ClickButton(options, button);
        EXPECT_EQ(options.ListView1->topLevelItemCount(), 1);
        EXPECT_EQ(options.ListView2->topLevelItemCount(), 1);
        EXPECT_EQ(options.CheckListBox1->count(), 2);
        EXPECT_EQ(options.CheckListBox2->count(), 1);
        EXPECT_EQ(driver_.DialogsDriven(), 1);  // no entry dialog opened
        options.reject();
    });
    EXPECT_EQ(RowCount(*dm->Tproxy), 1);
    EXPECT_EQ(RowCount(*dm->Tsocks), 1);
}

TEST_F(OptionsDialog, HelpShowsTheTopicOfThePageInFront) {
    Run([](TForm2& options) {
        for (int page = 0; page < 4; ++page) {
            options.PageControl1->setCurrentIndex(page);
            ClickButton(options, "Button13");
        }
        options.reject();
    });
    const std::string file = os::ProgramFolder() + "Zantrope.hlp";
    EXPECT_EQ(help_.requests,
              (std::vector<ui::HelpRequest>{
                  {file, "item29"}, {file, "item30"}, {file, "item31"}, {file, "item32"}}));
}

// A text the table refuses ends OK with the dialog open and the lists as they were; a second
// OK after the correction writes everything.
TEST_F(OptionsDialog, ATableErrorInOkKeepsTheDialogOpenAndTheStoredListsWhole) {
    SeedLists();
    std::vector<std::string> errors;
    ui::ScopedApplicationErrorHandler handler(
        [&](std::exception_ptr error) { errors.push_back(ui::ErrorText(error)); });
    EXPECT_EQ(Run([&](TForm2& options) {
                  ui_.AnswerInput(std::string(300, 'x'));
                  ClickButton(options, "Button9");
                  ClickButton(options, "Button3");
                  EXPECT_TRUE(options.isVisible());
                  EXPECT_TRUE(AllTablesClosed());
                  EXPECT_EQ(Entries(*dm->Tantiidle, kCommandColumn),
                            (std::vector<CheckedText>{{"NOOP", true}, {"PWD", false}}));
                  options.CheckListBox1->setCurrentRow(2);
                  ClickButton(options, "Button10");
                  ClickButton(options, "Button3");
              }),
              ui::mrOk);
    EXPECT_EQ(errors.size(), 1u);
    EXPECT_EQ(host_.optionReloads, 1);
    EXPECT_EQ(RowCount(*dm->Toption), 1);
}

}  // namespace
}  // namespace dialogs::testing
