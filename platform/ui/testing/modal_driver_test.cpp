#include "platform/ui/testing/modal_driver.h"

#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ui/input_dialog.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/testing/gtest_failure.h"
#include "platform/ui/testing/qt_test_environment.h"

namespace {

using namespace std::chrono_literals;

// A dialog whose "Button1" opens a nested input box, as a rename button does.
class OuterDialog : public QDialog {
  public:
    OuterDialog() {
        setObjectName("Form9");
        auto* button = new QPushButton("Rename", this);
        button->setObjectName("Button1");
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(button);
        connect(button, &QPushButton::clicked, this, [this] {
            ui::InputDialog input("New name", "Enter a new filename", "a.txt", this);
            if (input.exec() == ui::mrOk) {
                answer = input.Text();
                done(ui::mrOk);
            }
        });
    }
    QString answer;
};

TEST(ModalDriver, DrivesNestedDialogsInsideTheirModalLoops) {
    ui::ModalDriver driver(ui::GtestFailure());
    std::vector<std::string> order;
    driver.Next([&](QDialog& dialog) {
        order.push_back("outer " + dialog.objectName().toStdString());
        ui::ClickButton(dialog, "Button1");  // runs the nested modal loop right here
        order.push_back("outer done");
    });
    driver.Next([&](QDialog& dialog) {
        order.push_back("inner " + dialog.windowTitle().toStdString());
        ui::Child<QLineEdit>(dialog, "Value").setText("b.txt");
        ui::ClickButton(dialog, "OkButton");
    });
    OuterDialog outer;
    EXPECT_EQ(outer.exec(), ui::mrOk);
    EXPECT_EQ(outer.answer, "b.txt");
    EXPECT_EQ(order, (std::vector<std::string>{"outer Form9", "inner New name", "outer done"}));
    EXPECT_EQ(driver.DialogsDriven(), 2);
}

TEST(ModalDriver, ADialogNobodyClosesFailsInsteadOfHanging) {
    std::vector<std::string> failures;
    auto collect = [&](const std::string& m) { failures.push_back(m); };
    {
        ui::ModalDriver driver(collect, 100ms);
        ui::InputDialog unexpected("Input Command", "", "");
        EXPECT_EQ(unexpected.exec(), ui::mrCancel);  // no driver: closed at once

        driver.Next([](QDialog&) {});  // leaves the dialog open
        ui::InputDialog leftOpen("New name", "", "");
        EXPECT_EQ(leftOpen.exec(), ui::mrCancel);

        driver.Next([](QDialog& dialog) { ui::ClickButton(dialog, "NoSuchButton"); });
        ui::InputDialog badDriver("Edit", "", "");
        EXPECT_EQ(badDriver.exec(), ui::mrCancel);

        driver.Next([](QDialog&) {});  // never used
    }
    ASSERT_EQ(failures.size(), 4u);
    EXPECT_EQ(failures[0], "modal dialog \"Input Command\" (ui::InputDialog) shown with no driver");
    EXPECT_EQ(failures[1], "modal dialog \"New name\" (ui::InputDialog) left open by its driver");
    EXPECT_EQ(failures[2],
              "driver of \"Edit\" (ui::InputDialog) failed: no control named \"NoSuchButton\" in "
              "\"\"");
    EXPECT_EQ(failures[3], "1 modal dialog driver(s) never ran");
}

TEST(ModalDriver, LeavesModelessWindowsAlone) {
    ui::ModalDriver driver(ui::GtestFailure());
    ui::InputDialog modeless("Find", "", "");
    modeless.show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(modeless.isVisible());
    EXPECT_EQ(driver.DialogsDriven(), 0);
}

}  // namespace
