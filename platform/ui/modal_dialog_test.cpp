#include "platform/ui/modal_dialog.h"

#include <QKeyEvent>
#include <QPushButton>

#include <gtest/gtest.h>

#include "platform/ui/modal_result.h"
#include "platform/ui/testing/gtest_failure.h"
#include "platform/ui/testing/modal_driver.h"
#include "platform/ui/testing/qt_test_environment.h"

namespace {

class Form9 : public ui::ModalDialog {
  public:
    Form9() {
        auto* skip = new QPushButton("&Skip", this);
        skip->setObjectName("Button6");
        SetButtonModalResult(skip, ui::mrNo);
        auto* none = new QPushButton("Nothing", this);
        none->setObjectName("Button7");
        SetButtonModalResult(none, ui::mrNone);
    }
};

TEST(ModalDialog, ClosesWithTheModalResultNumbers) {
    const struct {
        const char* how;
        std::function<void(QDialog&)> close;
        int result;
    } cases[] = {
        {"button with a result", [](QDialog& d) { ui::ClickButton(d, "Button6"); }, ui::mrNo},
        {"close box", [](QDialog& d) { d.close(); }, ui::mrCancel},
        {"reject", [](QDialog& d) { d.reject(); }, ui::mrCancel},
        {"Escape",
         [](QDialog& d) {
             QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
             QCoreApplication::sendEvent(&d, &escape);
         },
         ui::mrCancel},
        {"result set by code",
         [](QDialog& d) {
             ui::ClickButton(d, "Button7");  // mrNone keeps it open
             EXPECT_TRUE(d.isVisible());
             static_cast<ui::ModalDialog&>(d).SetModalResult(ui::mrRetry);
         },
         ui::mrRetry},
    };
    for (const auto& c : cases) {
        ui::ModalDriver driver(ui::GtestFailure());
        driver.Next(c.close);
        Form9 dialog;
        EXPECT_EQ(dialog.exec(), c.result) << c.how;
        EXPECT_EQ(dialog.ModalResult(), c.result) << c.how;
    }
}

}  // namespace
