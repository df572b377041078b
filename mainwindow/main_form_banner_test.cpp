// The banner's Feedback, Homepage, About and Exit.
#include <QCloseEvent>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include <functional>

#include "dialogs/about_dialog.h"
#include "mainwindow/banner_bar.h"
#include "mainwindow/main_form_test_support.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/testing/gtest_failure.h"
#include "platform/ui/testing/modal_driver.h"
#include "platform/ui/testing/scripted_ui.h"

namespace mainwindow::testing {
namespace {

class Banner : public MainFormTest {
  protected:
    // Opens two pages, closes the window the way `close` does and checks the shut-down: no
    // question, every page shut down and freed by the event loop, the layout written.
    void ExpectShutDownBy(const std::function<void(TForm1&)>& close) {
        AddSites({"A", "B"});
        TForm1& form = ShowForm();
        form.OpenSitePage("A", false);
        form.OpenSitePage("B", false);
        form.FindFrame(1)->SetLogHeight(57);
        close(form);
        QApplication::processEvents();
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(form.FindFrame(1), nullptr);
        EXPECT_EQ(form.FindFrame(2), nullptr);
        FlushDeferredDeletes();
        EXPECT_EQ(form.PageControl1->count(), 1);
        EXPECT_EQ(LayoutValue("FTP", "INFO"), "57");
        EXPECT_EQ(LayoutValue("MAIN", "WELCOMEH"), "0");
        EXPECT_TRUE(ui_.Calls().empty());
    }

    ui::ScriptedUi ui_{ui::GtestFailure()};
    ui::ModalDriver driver_{ui::GtestFailure()};
};

// The two stretched pictures fill the banner inside its one-pixel border: no layout margin
// leaves the window's colour around them, at the left picture's corner as at the right one's.
TEST_F(Banner, TheTwoPicturesFillTheBanner) {
    TForm1& form = ShowForm();
    TBannerBar& banner = *form.ZezovozPanel1;
    EXPECT_EQ(banner.mapTo(&form, QPoint(0, 0)), QPoint(0, 0));
    EXPECT_EQ(banner.height(), 34);
    EXPECT_EQ(banner.Image3->geometry(), QRect(1, 1, banner.width() - 2 - 303, 32));
    EXPECT_EQ(banner.Image2->geometry(), QRect(banner.width() - 1 - 303, 1, 303, 32));
    const QImage shown = form.grab().toImage();
    const QColor window = form.palette().color(QPalette::Window);
    for (const QPoint& point : {QPoint(3, 3), QPoint(1, 32), QPoint(banner.width() - 2, 1),
                                QPoint(banner.width() - 3, 30)}) {
        const QColor pixel = shown.pixelColor(point);
        EXPECT_NE(pixel.rgb(), window.rgb()) << point.x() << "," << point.y();
        EXPECT_GT(pixel.blue(), pixel.red()) << point.x() << "," << point.y();  // the artwork
    }
}

// Both ask the shell for the program's addresses (the mail with an empty subject); when the
// desktop took the request nothing is shown, when it has no program for the address an error
// box names it.
TEST_F(Banner, FeedbackAndHomepageOpenTheProgramsAddresses) {
    TForm1& form = ShowForm();
    struct Case {
        QToolButton* button;
        const char* target;
        const char* shown;
    };
    const Case cases[] = {
        {form.ZezovozPanel1->SpeedButton3,
         "mailto:zantrope@example.org?subject=", "zantrope@example.org"},
        {form.ZezovozPanel1->SpeedButton4, "https://www.example.org/zantrope/",
         "https://www.example.org/zantrope/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        ui::ScriptedUi ui(ui::GtestFailure());
        ui.AnswerShellOpen(true);
        c.button->click();
        ASSERT_EQ(ui.Calls().size(), 1u);
        EXPECT_EQ(ui.Calls()[0].service, ui::UiService::kShellOpen);
        EXPECT_EQ(ui.Calls()[0].text, c.target);

        ui.AnswerShellOpen(false).AnswerMessage(ui::mrOk);
        c.button->click();
        ASSERT_EQ(ui.Calls().size(), 3u);
        EXPECT_EQ(ui.Calls()[1].text, c.target);
        EXPECT_EQ(ui.Calls()[2].service, ui::UiService::kMessage);
        EXPECT_EQ(ui.Calls()[2].kind, ui::MessageKind::kError);
        EXPECT_EQ(ui.Calls()[2].buttons, ui::mbOK);
        EXPECT_EQ(ui.Calls()[2].text,
                  "There is no program on this desktop to open " + std::string(c.shown) + ".");
    }
    EXPECT_EQ(form.LastErrorText(), "");
}

TEST_F(Banner, AboutShowsTheAboutBoxOverTheWindow) {
    TForm1& form = ShowForm();
    driver_.Next([](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "About");
        EXPECT_EQ(dialog.parentWidget(), Form1);
        EXPECT_EQ(Form16, &dialog);
        ui::ClickButton(dialog, "Button1");
    });
    form.ZezovozPanel1->SpeedButton6->click();
    EXPECT_EQ(driver_.DialogsDriven(), 1);
    EXPECT_EQ(Form16, nullptr);
}

TEST_F(Banner, ExitShutsDownAsTheCloseBoxDoes) {
    ExpectShutDownBy([](TForm1& form) { form.ZezovozPanel1->SpeedButton2->click(); });
}

TEST_F(Banner, TheCloseBoxShutsDown) {
    ExpectShutDownBy([](TForm1& form) {
        QCloseEvent event;
        QApplication::sendEvent(&form, &event);
        form.hide();  // the window system hides a window whose close was accepted
    });
}

}  // namespace
}  // namespace mainwindow::testing
