#include "dialogs/duplicate_dialog.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "connection/duplicate_asker.h"
#include "connection/duplicate_presets.h"
#include "connection/new_name_check.h"
#include "platform/os/testing/temp_folder.h"
#include "platform/ui/handler_guard.h"
#include "platform/ui/modal_result.h"
#include "platform/ui/testing/gtest_failure.h"
#include "platform/ui/testing/modal_driver.h"
#include "platform/ui/testing/qt_test_environment.h"
#include "platform/ui/testing/scripted_ui.h"

namespace dialogs {
namespace {

using ui::ClickButton;

bool Contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// A page that asks: its own answers, the names in the server's current folder and in its
// remote list, and the page's real name check over that list.
class AskingPage : public TDuplicateAsker {
  public:
    TDuplicateAnswers& DuplicateAnswers() override { return answers; }
    bool RemoteItemExists(const std::string& name) override {
        calls.push_back("find " + name);
        if (listFails)
            throw std::runtime_error("LIST refused");
        return Contains(serverNames, name);
    }
    bool CheckNewName(const std::string& name) override {
        calls.push_back("check " + name);
        return ::CheckNewName(name, [this](const std::string& n) { return Contains(shown, n); });
    }

    TDuplicateAnswers answers;
    std::vector<std::string> serverNames;
    std::vector<std::string> shown;
    std::vector<std::string> calls;
    bool listFails = false;
};

bool SameAnswers(const TDuplicateAnswers& a, const TDuplicateAnswers& b) {
    return a.FRenameTo == b.FRenameTo && a.FAskDuplicate == b.FAskDuplicate &&
           a.FDuplicateAnswer == b.FDuplicateAnswer;
}

class DuplicateDialog : public ::testing::Test {
  protected:
    // Shows the question of `page` with `presets` and runs `drive` inside its modal loop.
    int Run(AskingPage& page, const TDuplicatePresets& presets,
            const std::function<void(TForm9&)>& drive) {
        driver_.Next([&](QDialog& dialog) {
            EXPECT_EQ(Form9, &dialog);
            drive(static_cast<TForm9&>(dialog));
        });
        int result = ui::mrNone;
        {
            TForm9 form(page);
            form.Preset(presets);
            result = form.exec();
        }
        EXPECT_EQ(Form9, nullptr);
        return result;
    }
    int Run(const TDuplicatePresets& presets, const std::function<void(TForm9&)>& drive) {
        return Run(page_, presets, drive);
    }

    // A file upload of "a.txt" from the test's folder, 100 bytes against 300 on the server.
    TDuplicatePresets Upload(bool folder = false) const {
        return MakeDuplicatePresets({folder_ + "a.txt", 300, "2026-01-02 03:04:05", 100}, folder,
                                    false, folder ? "Folder" : "TXT File",
                                    {true, 100, "2026-05-06 07:08:09"});
    }
    // A download of "a.txt" into the test's folder, where 100 of its 300 bytes are.
    TDuplicatePresets Download(bool folder = false) const {
        return MakeDuplicatePresets({folder_ + "a.txt", 300, "2026-01-02 03:04:05", 0}, folder,
                                    true, folder ? "Folder" : "TXT File",
                                    {true, 100, "2026-05-06 07:08:09"});
    }

    std::vector<std::string> MessageTexts() const {
        std::vector<std::string> texts;
        for (const ui::UiCall& call : ui_.Calls()) {
            if (call.service == ui::UiService::kMessage)
                texts.push_back(call.text);
        }
        return texts;
    }

    os::testing::TempFolder temp_{"duplicate"};
    std::string folder_ = temp_.path() + "/";
    AskingPage page_;
    ui::ScriptedUi ui_{ui::GtestFailure()};
    ui::ModalDriver driver_{ui::GtestFailure()};
};

TEST_F(DuplicateDialog, UploadOfAFileShowsBothSides) {
    Run(Upload(), [](TForm9& form) {
        EXPECT_EQ(form.windowTitle(), "Duplicate file found");
        EXPECT_EQ(form.Label16->text(), "Local file");
        EXPECT_EQ(form.Label9->text(), "Remote file");
        EXPECT_EQ(form.Label1->text(), "a.txt");
        EXPECT_EQ(form.Label4->text(), "100");
        EXPECT_EQ(form.Label6->text(), "2026-05-06 07:08:09");
        EXPECT_EQ(form.Label8->text(), "TXT File");
        EXPECT_EQ(form.Label2->text(), "a.txt");
        EXPECT_EQ(form.Label11->text(), "300");
        EXPECT_EQ(form.Label13->text(), "2026-01-02 03:04:05");
        EXPECT_EQ(form.Label15->text(), "TXT File");
        EXPECT_TRUE(form.Image1->isVisible());
        EXPECT_TRUE(form.Image2->isVisible());
        EXPECT_FALSE(form.Image3->isVisible());
        EXPECT_FALSE(form.Image4->isVisible());
        EXPECT_FALSE(form.Button9->isEnabled());       // uploads never resume
        EXPECT_FALSE(form.RadioButton2->isEnabled());  // Append: folders only
        EXPECT_FALSE(form.RadioButton4->isVisible());
        EXPECT_TRUE(form.RadioButton1->isChecked());
        EXPECT_EQ(form.Edit1->text(), "a.txt");
        EXPECT_FALSE(form.Edit1->isEnabled());
        form.reject();
    });
}

TEST_F(DuplicateDialog, DownloadOfAFolderSwapsTheHeadingsAndShowsFolders) {
    Run(Download(/*folder=*/true), [](TForm9& form) {
        EXPECT_EQ(form.Label16->text(), "Remote file");
        EXPECT_EQ(form.Label9->text(), "Local file");
        EXPECT_EQ(form.Label8->text(), "Folder");
        EXPECT_TRUE(form.Image3->isVisible());
        EXPECT_TRUE(form.Image4->isVisible());
        EXPECT_FALSE(form.Image1->isVisible());
        EXPECT_FALSE(form.Image2->isVisible());
        EXPECT_FALSE(form.Button9->isEnabled());
        EXPECT_TRUE(form.RadioButton2->isEnabled());
        form.reject();
    });
}

TEST_F(DuplicateDialog, ResumeIsEnabledAsOffered) {
    const struct {
        const char* what;
        TDuplicatePresets presets;
        bool enabled;
    } cases[] = {
        {"file download, local shorter", Download(), true},
        {"folder download", Download(true), false},
        {"file upload", Upload(), false},
        {"file download, same length",
         MakeDuplicatePresets({folder_ + "a.txt", 100, "", 0}, false, true, "", {true, 100, ""}),
         false},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        Run(test.presets, [&](TForm9& form) {
            EXPECT_EQ(form.Button9->isEnabled(), test.enabled);
            form.reject();
        });
    }
}

// Each answer closes the dialog with its number and writes nothing into the page, except the
// two "all" answers.
TEST_F(DuplicateDialog, EachAnswerIsItsModalResult) {
    const struct {
        const char* what;
        std::function<void(TForm9&)> answer;
        bool folder;
        int result;
        bool standing;  // switches the page's question off with the result
    } cases[] = {
        {"Overwrite", [](TForm9& f) { ClickButton(f, "Button3"); }, false, ui::mrYes, false},
        {"Skip", [](TForm9& f) { ClickButton(f, "Button6"); }, false, ui::mrNo, false},
        {"Resume", [](TForm9& f) { ClickButton(f, "Button9"); }, false, ui::mrRetry, false},
        {"Cancel", [](TForm9& f) { ClickButton(f, "Button2"); }, false, ui::mrCancel, false},
        {"close box", [](TForm9& f) { f.close(); }, false, ui::mrCancel, false},
        {"Overwrite all", [](TForm9& f) { ClickButton(f, "Button5"); }, false, ui::mrYes, true},
        {"Skip all", [](TForm9& f) { ClickButton(f, "Button7"); }, true, ui::mrNo, true},
        {"Help",
         [](TForm9& f) {
             ClickButton(f, "Button1");
             EXPECT_TRUE(f.isVisible());
             f.reject();
         },
         false, ui::mrCancel, false},
        {"OK, Overwrite chosen", [](TForm9& f) { ClickButton(f, "Button4"); }, false, ui::mrYes,
         false},
        {"OK, Skip chosen",
         [](TForm9& f) {
             f.RadioButton3->click();
             ClickButton(f, "Button4");
         },
         false, ui::mrNo, false},
        {"OK, Append chosen for a folder",
         [](TForm9& f) {
             f.RadioButton2->click();
             ClickButton(f, "Button4");
         },
         true, ui::mrIgnore, false},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        AskingPage page;
        page.answers.FRenameTo = "kept";
        EXPECT_EQ(Run(page, Download(test.folder), test.answer), test.result);
        TDuplicateAnswers expected;
        expected.FRenameTo = "kept";
        if (test.standing) {
            expected.FAskDuplicate = false;
            expected.FDuplicateAnswer = test.result;
        }
        EXPECT_TRUE(SameAnswers(page.answers, expected))
            << page.answers.FAskDuplicate << " " << page.answers.FDuplicateAnswer;
        EXPECT_TRUE(page.calls.empty());
    }
}

// A question of one page while another page exists answers only the page that asked.
TEST_F(DuplicateDialog, AllAnswersGoToTheAskingPageOnly) {
    AskingPage asking;
    AskingPage other;
    EXPECT_EQ(Run(asking, Upload(), [](TForm9& form) { ClickButton(form, "Button5"); }), ui::mrYes);
    EXPECT_FALSE(asking.answers.FAskDuplicate);
    EXPECT_EQ(asking.answers.FDuplicateAnswer, 6);
    EXPECT_TRUE(SameAnswers(other.answers, TDuplicateAnswers{}));
    EXPECT_EQ(Run(other, Upload(), [](TForm9& form) { ClickButton(form, "Button7"); }), ui::mrNo);
    EXPECT_EQ(other.answers.FDuplicateAnswer, 7);
    EXPECT_EQ(asking.answers.FDuplicateAnswer, 6);
    asking.answers.Reset();
    EXPECT_TRUE(SameAnswers(asking.answers, TDuplicateAnswers{}));
}

TEST_F(DuplicateDialog, RenameOfAnUploadLooksOnTheServerThenChecksTheName) {
    page_.serverNames = {"a.txt", "dir"};
    ui_.AnswerInput("b.txt");
    EXPECT_EQ(Run(Upload(), [](TForm9& form) { ClickButton(form, "Button8"); }), ui::mrOk);
    EXPECT_EQ(page_.answers.FRenameTo, "b.txt");
    EXPECT_TRUE(page_.answers.FAskDuplicate);
    EXPECT_EQ(page_.calls, (std::vector<std::string>{"find b.txt", "check b.txt"}));
    ASSERT_EQ(ui_.Calls().size(), 1u);
    EXPECT_EQ(ui_.Calls()[0].caption, "New name");
    EXPECT_EQ(ui_.Calls()[0].text, "Enter a new filename");
    EXPECT_EQ(ui_.Calls()[0].preset, "a.txt");
}

// A cancelled input box offers the clashing name itself, which exists; as does a remote folder.
TEST_F(DuplicateDialog, RenameOfAnUploadToATakenRemoteNameIsRefused) {
    page_.serverNames = {"a.txt", "dir"};
    ui_.AnswerInput(std::nullopt).AnswerMessage(ui::mrOk);
    ui_.AnswerInput("dir").AnswerMessage(ui::mrOk);
    Run(Upload(), [](TForm9& form) {
        ClickButton(form, "Button8");
        EXPECT_TRUE(form.isVisible());
        ClickButton(form, "Button8");
        EXPECT_TRUE(form.isVisible());
        ClickButton(form, "Button2");
    });
    EXPECT_EQ(page_.answers.FRenameTo, "");
    EXPECT_EQ(page_.calls, (std::vector<std::string>{"find a.txt", "find dir"}));
    EXPECT_EQ(MessageTexts(),
              (std::vector<std::string>{"The name a.txt was existed, please re-enter.",
                                        "The name dir was existed, please re-enter."}));
    EXPECT_EQ(ui_.Calls()[1].kind, ui::MessageKind::kWarning);
    EXPECT_EQ(ui_.Calls()[1].buttons, ui::mbOK);
}

TEST_F(DuplicateDialog, RenameOfADownloadToATakenLocalNameIsRefused) {
    std::ofstream(folder_ + "file.txt") << "x";
    std::filesystem::create_directory(folder_ + "folder");
    std::filesystem::create_symlink(folder_ + "nowhere", folder_ + "dangling");
    ui_.AnswerInput("file.txt").AnswerMessage(ui::mrOk);
    ui_.AnswerInput("folder").AnswerMessage(ui::mrOk);
    ui_.AnswerInput("dangling").AnswerMessage(ui::mrOk);
    ui_.AnswerInput("new.txt");
    EXPECT_EQ(Run(Download(),
                  [](TForm9& form) {
                      for (int refused = 0; refused < 3; ++refused) {
                          ClickButton(form, "Button8");
                          EXPECT_TRUE(form.isVisible());
                      }
                      ClickButton(form, "Button8");
                  }),
              ui::mrOk);
    EXPECT_EQ(page_.answers.FRenameTo, "new.txt");
    // A download's target is local: the server is not asked; the page's name check still is.
    EXPECT_EQ(page_.calls, (std::vector<std::string>{"check new.txt"}));
    EXPECT_EQ(MessageTexts(),
              (std::vector<std::string>{"The name file.txt was existed, please re-enter.",
                                        "The name folder was existed, please re-enter.",
                                        "The name dangling was existed, please re-enter."}));
}

// The page's name check: a forbidden character, a name its remote list shows, or both.
TEST_F(DuplicateDialog, RenameRefusedByTheNameCheckKeepsTheDialogOpen) {
    page_.shown = {"shown.txt", "a:b"};
    const std::string characters =
        "The following characters can not be contained in the name of files: \\/:*?\"<>|";
    ui_.AnswerInput("x:y").AnswerMessage(ui::mrOk);
    ui_.AnswerInput("shown.txt").AnswerMessage(ui::mrOk);
    ui_.AnswerInput("a:b").AnswerMessage(ui::mrOk).AnswerMessage(ui::mrOk);
    Run(Upload(), [](TForm9& form) {
        for (int refused = 0; refused < 3; ++refused) {
            ClickButton(form, "Button8");
            EXPECT_TRUE(form.isVisible());
        }
        form.reject();
    });
    EXPECT_EQ(page_.answers.FRenameTo, "");
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{
                                  characters, "The name shown.txt was existed, please re-enter.",
                                  characters, "The name a:b was existed, please re-enter."}));
    for (const ui::UiCall& call : ui_.Calls()) {
        if (call.service == ui::UiService::kMessage) {
            EXPECT_EQ(call.kind, ui::MessageKind::kError);
        }
    }
}

// OK with the Rename choice takes the typed name, checks it first, then looks it up.
TEST_F(DuplicateDialog, OkWithTheRenameChoiceChecksThenLooksUp) {
    page_.serverNames = {"taken"};
    ui_.AnswerMessage(ui::mrOk).AnswerMessage(ui::mrOk);
    EXPECT_EQ(Run(Upload(),
                  [](TForm9& form) {
                      form.CheckBox1->click();
                      EXPECT_TRUE(form.Edit1->isEnabled());
                      form.Edit1->setText("x*y");
                      ClickButton(form, "Button4");
                      EXPECT_TRUE(form.isVisible());
                      form.Edit1->setText("taken");
                      ClickButton(form, "Button4");
                      EXPECT_TRUE(form.isVisible());
                      form.Edit1->setText("free");
                      ClickButton(form, "Button4");
                  }),
              ui::mrOk);
    EXPECT_EQ(page_.answers.FRenameTo, "free");
    EXPECT_EQ(page_.calls, (std::vector<std::string>{"check x*y", "check taken", "find taken",
                                                     "check free", "find free"}));
}

TEST_F(DuplicateDialog, EditIsEnabledOnlyWhileRenameIsChosen) {
    Run(Download(true), [](TForm9& form) {
        const struct {
            QRadioButton* choice;
            bool enabled;
        } steps[] = {{form.CheckBox1, true}, {form.RadioButton3, false},
                     {form.CheckBox1, true}, {form.RadioButton2, false},
                     {form.CheckBox1, true}, {form.RadioButton1, false}};
        for (const auto& step : steps) {
            step.choice->click();
            EXPECT_EQ(form.Edit1->isEnabled(), step.enabled)
                << step.choice->objectName().toStdString();
        }
        form.reject();
    });
}

// The folder itself and its parent are never a new name: nothing is asked of the server, and
// a folder transfer can never land one level up.
TEST_F(DuplicateDialog, DotNamesAndAnEmptyNameAreTaken) {
    for (const char* name : {"", ".", ".."}) {
        SCOPED_TRACE(name);
        ui_.AnswerInput(name).AnswerMessage(ui::mrOk);
        Run(Upload(true), [](TForm9& form) {
            ClickButton(form, "Button8");
            EXPECT_TRUE(form.isVisible());
            form.reject();
        });
        EXPECT_EQ(MessageTexts().back(),
                  std::string("The name ") + name + " was existed, please re-enter.");
    }
    EXPECT_TRUE(page_.calls.empty());
    EXPECT_EQ(page_.answers.FRenameTo, "");
}

// A listing that fails during the remote look-up ends the click; the dialog stays open and
// the page gets nothing.
TEST_F(DuplicateDialog, AFailedLookUpReachesTheErrorHandlerAndKeepsTheDialogOpen) {
    std::vector<std::string> errors;
    ui::ScopedApplicationErrorHandler handler(
        [&](std::exception_ptr error) { errors.push_back(ui::ErrorText(error)); });
    page_.listFails = true;
    ui_.AnswerInput("b.txt");
    EXPECT_EQ(Run(Upload(),
                  [](TForm9& form) {
                      ClickButton(form, "Button8");
                      EXPECT_TRUE(form.isVisible());
                      ClickButton(form, "Button2");
                  }),
              ui::mrCancel);
    EXPECT_EQ(errors, std::vector<std::string>{"LIST refused"});
    EXPECT_EQ(page_.answers.FRenameTo, "");
    EXPECT_TRUE(page_.answers.FAskDuplicate);
}

}  // namespace
}  // namespace dialogs
