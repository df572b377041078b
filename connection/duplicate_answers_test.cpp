#include "connection/duplicate_answers.h"

#include <gtest/gtest.h>

#include "platform/ui/modal_result.h"

namespace {

TEST(DuplicateAnswers, ModalResultsMapToThePagesCodes) {
    const struct {
        int modalResult;
        TDuplicateCode code;
    } cases[] = {
        {ui::mrOk, TDuplicateCode::kRename},     {ui::mrCancel, TDuplicateCode::kCancel},
        {ui::mrYes, TDuplicateCode::kOverwrite}, {ui::mrNo, TDuplicateCode::kSkip},
        {ui::mrIgnore, TDuplicateCode::kAppend}, {ui::mrRetry, TDuplicateCode::kResume},
        {ui::mrNone, TDuplicateCode::kCancel},   {ui::mrAbort, TDuplicateCode::kCancel},
    };
    for (const auto& test : cases)
        EXPECT_EQ(DuplicateCodeOf(test.modalResult), test.code) << test.modalResult;
}

TEST(DuplicateAnswers, StartAskingAndResetToAskingKeepingTheRenameTarget) {
    TDuplicateAnswers answers;
    EXPECT_TRUE(answers.FAskDuplicate);
    EXPECT_EQ(answers.FDuplicateAnswer, -1);
    answers.FAskDuplicate = false;
    answers.FDuplicateAnswer = ui::mrNo;
    answers.FRenameTo = "b.txt";
    answers.Reset();
    EXPECT_TRUE(answers.FAskDuplicate);
    EXPECT_EQ(answers.FDuplicateAnswer, -1);
    EXPECT_EQ(answers.FRenameTo, "b.txt");
}

}  // namespace
