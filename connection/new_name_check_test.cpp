#include "connection/new_name_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ui/modal_result.h"
#include "platform/ui/testing/gtest_failure.h"
#include "platform/ui/testing/scripted_ui.h"

namespace {

const std::string kCharacterMessage =
    "The following characters can not be contained in the name of files: \\/:*?\"<>|";

class NewNameCheck : public ::testing::Test {
  protected:
    bool Check(const std::string& name) {
        return CheckNewName(name, [this](const std::string& candidate) {
            for (const std::string& row : rows_) {
                if (row == candidate)
                    return true;
            }
            return false;
        });
    }
    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const ui::UiCall& call : ui_.Calls()) {
            EXPECT_EQ(call.kind, ui::MessageKind::kError);
            EXPECT_EQ(call.buttons, ui::mbOK);
            texts.push_back(call.text);
        }
        return texts;
    }

    std::vector<std::string> rows_{"shown.txt", "Dir"};
    ui::ScriptedUi ui_{ui::GtestFailure()};
};

TEST_F(NewNameCheck, EachForbiddenCharacterIsRefused) {
    for (const char character : std::string("\\/:*?\"<>|")) {
        const std::string name = std::string("a") + character + "b";
        SCOPED_TRACE(name);
        ui_.AnswerMessage(ui::mrOk);
        EXPECT_FALSE(Check(name));
    }
    EXPECT_EQ(Messages(), std::vector<std::string>(9, kCharacterMessage));
}

TEST_F(NewNameCheck, ANameTheListShowsIsRefusedCaseCounting) {
    ui_.AnswerMessage(ui::mrOk);
    EXPECT_FALSE(Check("shown.txt"));
    EXPECT_TRUE(Check("Shown.txt"));
    EXPECT_TRUE(Check("dir"));
    EXPECT_TRUE(Check("plain name (2).txt"));
    EXPECT_EQ(Messages(),
              std::vector<std::string>{"The name shown.txt was existed, please re-enter."});
}

TEST_F(NewNameCheck, BothReasonsGiveBothMessages) {
    rows_.push_back("a|b");
    ui_.AnswerMessage(ui::mrOk).AnswerMessage(ui::mrOk);
    EXPECT_FALSE(Check("a|b"));
    EXPECT_EQ(Messages(), (std::vector<std::string>{kCharacterMessage,
                                                    "The name a|b was existed, please re-enter."}));
}

}  // namespace
