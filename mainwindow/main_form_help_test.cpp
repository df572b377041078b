// Every help command of the main window, of a connection page and of the dialogs they open,
// through the real help window showing the help file the build made.
#include <QTabWidget>
#include <QToolButton>

#include "connection/tfb.h"
#include "dialogs/options_dialog.h"
#include "dialogs/site_dialog.h"
#include "mainwindow/banner_bar.h"
#include "mainwindow/local_file_pane.h"
#include "mainwindow/main_form_test_support.h"
#include "platform/os/program_folder.h"
#include "platform/ui/help_viewer.h"
#include "platform/ui/shell_list_view.h"
#include "platform/ui/testing/gtest_failure.h"
#include "platform/ui/testing/modal_driver.h"
#include "platform/ui/testing/shell_list_view_wait.h"
#include "platform/ui/testing/viewed_help.h"

namespace mainwindow::testing {
namespace {

class HelpCommands : public MainFormTest {
  protected:
    // The topic the help window shows after the request; "" when it shows a message.
    std::string Shown() {
        ui::THelpViewer* viewer = help_.Viewer();
        if (viewer == nullptr)
            return "<no window>";
        EXPECT_TRUE(viewer->isVisible());
        EXPECT_EQ(viewer->Message(), "");
        return viewer->CurrentTopic();
    }

    const std::string requested_ = os::ProgramFolder() + "Zantrope.hlp";
    ui::ViewedHelp help_{ZANTROPE_APP_DIR "/Zantrope.hlp"};
    ui::ModalDriver driver_{ui::GtestFailure()};
};

TEST_F(HelpCommands, TheWindowsHelpButtonsShowTheirTopicsAndTheBannersHelpTheFinder) {
    AddSites({"alpha"});
    TForm1& form = ShowForm();
    // The banner's Help first: it sets the help file itself.
    form.ZezovozPanel1->SpeedButton5->click();
    EXPECT_EQ(Shown(), "Contents");
    EXPECT_TRUE(help_.Viewer()->FinderShown());
    EXPECT_EQ(help_.Viewer()->ListedTitles().size(), 14);
    EXPECT_EQ(help_.Viewer()->parentWidget(), &form);  // it goes with the main window

    form.ToolButton4->click();
    EXPECT_EQ(Shown(), "Newitem");
    EXPECT_FALSE(help_.Viewer()->FinderShown());
    form.ToolButton36->click();
    EXPECT_EQ(Shown(), "Newitem20");
    form.OpenSitePage("alpha", false);
    form.ActiveFrame()->ToolButton16->click();
    EXPECT_EQ(Shown(), "Newitem6");
    EXPECT_EQ(help_.requests, (std::vector<ui::HelpRequest>{{requested_, "<finder>"},
                                                            {requested_, "Newitem"},
                                                            {requested_, "Newitem20"},
                                                            {requested_, "Newitem6"}}));
    EXPECT_EQ(ui::ApplicationHelpFile(), requested_);
}

// The dialogs' Help is shown while the dialog waits, in a window the dialog owns.
TEST_F(HelpCommands, TheDialogsHelpShowsTheTopicOfTheDialogOrOfItsPage) {
    TForm1& form = ShowForm();
    std::vector<std::string> shown;
    driver_.Next([&](QDialog& dialog) {
        ui::ClickButton(dialog, "Button5");
        shown.push_back(Shown());
        EXPECT_EQ(help_.Viewer()->parentWidget(), &dialog);
        dialog.reject();
    });
    form.FTP2Click();
    driver_.Next([&](QDialog& dialog) {
        auto& options = static_cast<TForm2&>(dialog);
        for (int page = 0; page < 4; ++page) {
            options.PageControl1->setCurrentIndex(page);
            ui::ClickButton(options, "Button13");
            shown.push_back(Shown());
        }
        options.reject();
    });
    form.SpeedButton1Click();
    EXPECT_EQ(shown,
              (std::vector<std::string>{"Overview", "item29", "item30", "item31", "item32"}));
    EXPECT_EQ(help_.requests.size(), 5u);
    EXPECT_EQ(help_.requests[0], (ui::HelpRequest{requested_, "Overview"}));
}

}  // namespace
}  // namespace mainwindow::testing
