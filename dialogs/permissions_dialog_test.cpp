#include "dialogs/permissions_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include <functional>
#include <string>

#include "dialogs/permission_boxes.h"
#include "platform/ui/integer_edit.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/testing/gtest_failure.h"
#include "platform/ui/testing/modal_driver.h"
#include "platform/ui/testing/qt_test_environment.h"

namespace dialogs {
namespace {

using ui::ClickButton;

TEST(PermissionBoxes, PermissionTextsGiveTheModeNumber) {
    const struct {
        const char* owner;
        const char* group;
        const char* other;
        int mode;
    } cases[] = {
        {"-rw", "r--", "r--", 644},
        {"drwx", "r-x", "r-x", 755},
        {"-RW", "R--", "r--", 644},
        {"-rwx", "rwx", "rwx", 777},
        {"----", "---", "---", 0},
        {"-rw", "", "", 600},
        {"", "", "", 0},
        {"-r", "r", "", 440},
        {"lrws", "r-s", "r-t", 644},
        {"-xwr", "xwr", "xwr", 222},  // letters count only in their own place
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(std::string(test.owner) + " " + test.group + " " + test.other);
        EXPECT_EQ(ModeNumber(BoxesOfPermissionTexts(test.owner, test.group, test.other)),
                  test.mode);
    }
    EXPECT_EQ(ModeNumber(BoxesOfModeString("-rw-r--r--")), 644);
    EXPECT_EQ(ModeNumber(BoxesOfModeString("drwxr-x---")), 750);
    EXPECT_EQ(ModeNumber(BoxesOfModeString("-rw")), 600);
    EXPECT_EQ(ModeNumber(BoxesOfModeString("")), 0);
}

TEST(PermissionBoxes, EachBoxAddsItsValue) {
    for (int box = 0; box < 9; ++box) {
        PermissionBoxes boxes{};
        boxes[box] = true;
        EXPECT_EQ(ModeNumber(boxes), kPermissionBoxValues[box]) << box;
        EXPECT_EQ(BoxesOfMode(kPermissionBoxValues[box]), boxes) << box;
    }
    EXPECT_EQ(ModeNumber(BoxesOfMode(kSeveralEntriesMode)), 666);
}

// Every mode of three octal digits goes to the boxes and back unchanged.
TEST(PermissionBoxes, ModesAndBoxesRoundTrip) {
    for (int owner = 0; owner < 8; ++owner) {
        for (int group = 0; group < 8; ++group) {
            for (int other = 0; other < 8; ++other) {
                const int mode = owner * 100 + group * 10 + other;
                EXPECT_EQ(ModeNumber(BoxesOfMode(mode)), mode);
            }
        }
    }
}

TEST(PermissionBoxes, SelectionCaption) {
    EXPECT_EQ(SelectionCountText(2, 3), "2 Folders , 3 Files .");
    EXPECT_EQ(SelectionCountText(0, 12), "0 Folders , 12 Files .");
}

class PermissionsDialog : public ::testing::Test {
  protected:
    // Shows the dialog with `preset` applied, runs `drive` inside its modal loop, and returns
    // the modal result. OK writes into `chmodMode_` unless `noPage` is set.
    int Run(const std::function<void(TForm18&)>& preset, const std::function<void(TForm18&)>& drive,
            bool noPage = false) {
        driver_.Next([&](QDialog& dialog) {
            EXPECT_EQ(Form18, &dialog);
            drive(static_cast<TForm18&>(dialog));
        });
        int result = ui::mrNone;
        {
            TForm18 form([this, noPage]() { return noPage ? nullptr : &chmodMode_; });
            preset(form);
            result = form.exec();
        }
        EXPECT_EQ(Form18, nullptr);
        return result;
    }

    static std::function<void(TForm18&)> Entry(const char* ownerText, const char* groupText,
                                               const char* otherText, bool folder = false) {
        return [=](TForm18& form) {
            form.PresetEntry("notes.txt", folder, "ann", "staff",
                             BoxesOfPermissionTexts(ownerText, groupText, otherText));
        };
    }

    int chmodMode_ = -1;
    ui::ModalDriver driver_{ui::GtestFailure()};
};

TEST_F(PermissionsDialog, OneFileShowsItsModeAndOkWithoutSubfoldersGivesThree) {
    EXPECT_EQ(Run(Entry("-rw", "r--", "r--"),
                  [](TForm18& form) {
                      EXPECT_EQ(form.windowTitle(), "Properties");
                      EXPECT_EQ(form.Edit2->text(), "644");
                      EXPECT_EQ(form.Label1->text(), "notes.txt");
                      EXPECT_EQ(form.Label3->text(), "ann");
                      EXPECT_EQ(form.Label5->text(), "staff");
                      EXPECT_TRUE(form.Image1->isVisible());
                      EXPECT_FALSE(form.Image2->isVisible());
                      EXPECT_FALSE(form.CheckBox10->isChecked());
                      EXPECT_EQ(form.focusWidget(), static_cast<QWidget*>(form.Button1));
                      ClickButton(form, "Button1");
                  }),
              ui::mrAbort);
    EXPECT_EQ(chmodMode_, 644);
}

TEST_F(PermissionsDialog, AllSubfoldersGivesOne) {
    EXPECT_EQ(Run(Entry("drwx", "r-x", "r-x", /*folder=*/true),
                  [](TForm18& form) {
                      EXPECT_FALSE(form.Image1->isVisible());
                      EXPECT_TRUE(form.Image2->isVisible());
                      EXPECT_EQ(form.Image2->pos(), QPoint(0, 0));
                      ClickButton(form, "CheckBox10");
                      EXPECT_EQ(form.Edit2->text(), "755");  // not a permission box
                      ClickButton(form, "Button1");
                  }),
              ui::mrOk);
    EXPECT_EQ(chmodMode_, 755);
}

TEST_F(PermissionsDialog, SeveralEntriesStartFrom666) {
    EXPECT_EQ(Run([](TForm18& form) { form.PresetSeveral(2, 3); },
                  [](TForm18& form) {
                      EXPECT_EQ(form.Label1->text(), "2 Folders , 3 Files .");
                      EXPECT_TRUE(form.Image1->isVisible());
                      EXPECT_TRUE(form.Image2->isVisible());
                      EXPECT_EQ(form.Image2->pos() - form.Image1->pos(), QPoint(8, 8));
                      EXPECT_EQ(form.Edit2->text(), "666");
                      ClickButton(form, "Button1");
                  }),
              ui::mrAbort);
    EXPECT_EQ(chmodMode_, 666);
}

// Clicking each box alone, from all clear, shows its value; the boxes add up.
TEST_F(PermissionsDialog, ClickedBoxesMakeTheNumber) {
    Run(Entry("----", "---", "---"), [](TForm18& form) {
        EXPECT_EQ(form.Edit2->text(), "0");
        const char* names[9] = {"CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4", "CheckBox5",
                                "CheckBox6", "CheckBox7", "CheckBox8", "CheckBox9"};
        for (int box = 0; box < 9; ++box) {
            ClickButton(form, names[box]);
            EXPECT_EQ(form.Edit2->Value(), kPermissionBoxValues[box]) << names[box];
            ClickButton(form, names[box]);
            EXPECT_EQ(form.Edit2->Value(), 0) << names[box];
        }
        ClickButton(form, "CheckBox1");
        ClickButton(form, "CheckBox5");
        ClickButton(form, "CheckBox9");
        EXPECT_EQ(form.Edit2->text(), "421");
        form.reject();
    });
}

// A typed number is what OK hands over; a box changed after typing replaces it.
TEST_F(PermissionsDialog, TypedNumberGoesUnlessABoxChangesAfterwards) {
    Run(Entry("-rw", "r--", "r--"), [](TForm18& form) {
        form.Edit2->setText("600");
        ClickButton(form, "Button1");
    });
    EXPECT_EQ(chmodMode_, 600);
    Run(Entry("-rw", "r--", "r--"), [](TForm18& form) {
        form.Edit2->setText("600");
        ClickButton(form, "CheckBox3");
        EXPECT_EQ(form.Edit2->text(), "744");
        ClickButton(form, "Button1");
    });
    EXPECT_EQ(chmodMode_, 744);
}

TEST_F(PermissionsDialog, AllBoxesClearGivesZero) {
    Run(Entry("-rw", "r--", "r--"), [](TForm18& form) {
        form.SetBoxes({});
        ClickButton(form, "Button1");
    });
    EXPECT_EQ(chmodMode_, 0);
}

TEST_F(PermissionsDialog, CancelAndTheCloseBoxWriteNothing) {
    EXPECT_EQ(Run(Entry("-rw", "r--", "r--"),
                  [](TForm18& form) {
                      ClickButton(form, "CheckBox3");
                      ClickButton(form, "Button2");
                  }),
              ui::mrCancel);
    EXPECT_EQ(Run(Entry("-rw", "r--", "r--"), [](TForm18& form) { form.close(); }), ui::mrCancel);
    EXPECT_EQ(chmodMode_, -1);
}

TEST_F(PermissionsDialog, OkWithNoActivePageStaysOpen) {
    EXPECT_EQ(Run(
                  Entry("-rw", "r--", "r--"),
                  [](TForm18& form) {
                      ClickButton(form, "Button1");
                      EXPECT_TRUE(form.isVisible());
                      EXPECT_EQ(form.ModalResult(), ui::mrNone);
                      form.reject();
                  },
                  /*noPage=*/true),
              ui::mrCancel);
    EXPECT_EQ(chmodMode_, -1);
}

}  // namespace
}  // namespace dialogs
