#include "platform/ui/testing/scripted_ui.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ui/modal_result.h"

namespace {

using ui::MessageKind;
using ui::UiService;

TEST(ScriptedUi, RecordsEveryCallAndAnswersFromTheScriptInOrder) {
    std::vector<std::string> failures;
    const ui::UiServices before = ui::CurrentUiServices();
    {
        ui::ScriptedUi script([&](const std::string& m) { failures.push_back(m); });
        script.AnswerMessage(ui::mrNo)
            .AnswerInput(std::nullopt)
            .AnswerInput("docs")
            .AnswerFolder("/home/u/in")
            .AnswerSaveFile("/tmp/log.txt")
            .AnswerShellOpen();

        EXPECT_EQ(ui::MessageDlg("Delete?", MessageKind::kConfirmation, ui::mbYesNo), ui::mrNo);
        EXPECT_EQ(ui::InputBox("New name", "Enter a new filename", "a.txt"), "a.txt");
        EXPECT_EQ(ui::InputQuery("Make new directory", "Name", ""), "docs");
        EXPECT_EQ(ui::BrowseForFolder("", "/home/u"), "/home/u/in");
        EXPECT_EQ(ui::ExecuteSaveDialog({"Save", "/tmp", "", "txt", "*.txt|*.txt"}),
                  "/tmp/log.txt");
        EXPECT_TRUE(ui::ShellOpen("mailto:x@example.org?subject="));

        const auto& calls = script.Calls();
        ASSERT_EQ(calls.size(), 6u);
        EXPECT_EQ(calls[0].service, UiService::kMessage);
        EXPECT_EQ(calls[0].kind, MessageKind::kConfirmation);
        EXPECT_EQ(calls[0].caption, "Confirm");
        EXPECT_EQ(calls[0].text, "Delete?");
        EXPECT_EQ(calls[0].buttons, ui::mbYes | ui::mbNo);
        EXPECT_EQ(calls[1].service, UiService::kInput);
        EXPECT_EQ(calls[1].caption, "New name");
        EXPECT_EQ(calls[1].text, "Enter a new filename");
        EXPECT_EQ(calls[1].preset, "a.txt");
        EXPECT_EQ(calls[3].service, UiService::kFolder);
        EXPECT_EQ(calls[3].preset, "/home/u");
        EXPECT_EQ(calls[4].save.defaultExtension, "txt");
        EXPECT_EQ(calls[4].save.filter, "*.txt|*.txt");
        EXPECT_EQ(calls[5].service, UiService::kShellOpen);
        EXPECT_EQ(calls[5].text, "mailto:x@example.org?subject=");
        EXPECT_EQ(ui::CurrentUiServices().messages, &script);
    }
    EXPECT_TRUE(failures.empty()) << failures.front();
    EXPECT_EQ(ui::CurrentUiServices().messages, before.messages);
    EXPECT_EQ(ui::CurrentUiServices().shell, before.shell);
}

// An input box's byte limit is recorded with its call.
TEST(ScriptedUi, RecordsTheByteLimitOfAnInputBox) {
    ui::ScriptedUi script([](const std::string& m) { ADD_FAILURE() << m; });
    script.AnswerInput("abcd").AnswerInput("abcdef");
    EXPECT_EQ(ui::InputBox("Input Command", "", "", 4), "abcd");
    EXPECT_EQ(ui::InputBox("New name", "", ""), "abcdef");
    ASSERT_EQ(script.Calls().size(), 2u);
    EXPECT_EQ(script.Calls()[0].maxBytes, 4u);
    EXPECT_EQ(script.Calls()[1].maxBytes, ui::kNoByteLimit);
}

TEST(ScriptedUi, MisuseFailsClearlyAndIsAnsweredNeutrally) {
    std::vector<std::string> failures;
    {
        ui::ScriptedUi script([&](const std::string& m) { failures.push_back(m); });
        // Nothing scripted.
        EXPECT_EQ(ui::MessageDlg("Can not create folder.", MessageKind::kError, ui::mbOK),
                  ui::mrCancel);
        // Scripted for another service: the answer stays for a later call.
        script.AnswerFolder("/x");
        EXPECT_EQ(ui::InputQuery("Input Command", "", ""), std::nullopt);
        // An answer that is none of the box's buttons.
        EXPECT_EQ(ui::BrowseForFolder("", ""), "/x");
        script.AnswerMessage(ui::mrYes);
        EXPECT_EQ(ui::MessageDlg("x", MessageKind::kWarning, ui::mbOK), ui::mrCancel);
        // Left unused.
        script.AnswerSaveFile(std::nullopt);
        EXPECT_EQ(script.Calls().size(), 4u);
    }
    ASSERT_EQ(failures.size(), 4u);
    EXPECT_EQ(failures[0],
              "unscripted message box (caption \"Error\", text \"Can not create folder.\")");
    EXPECT_EQ(failures[1],
              "expected a folder browser, got input box (caption \"Input Command\", text \"\")");
    EXPECT_EQ(failures[2],
              "scripted answer 6 is none of the buttons of message box (caption \"Warning\", "
              "text \"x\")");
    EXPECT_EQ(failures[3], "scripted save dialog was never shown");
}

TEST(ScriptedUi, DefaultCaptionsAndButtonResults) {
    EXPECT_EQ(ui::DefaultCaption(MessageKind::kWarning), "Warning");
    EXPECT_EQ(ui::DefaultCaption(MessageKind::kError), "Error");
    EXPECT_EQ(ui::DefaultCaption(MessageKind::kInformation), "Information");
    EXPECT_EQ(ui::DefaultCaption(MessageKind::kConfirmation), "Confirm");
    const std::pair<ui::MessageButtons, int> results[] = {
        {ui::mbOK, 1},     {ui::mbCancel, 2}, {ui::mbAbort, 3}, {ui::mbRetry, 4},
        {ui::mbIgnore, 5}, {ui::mbYes, 6},    {ui::mbNo, 7},    {ui::mbYesNo, 0},
    };
    for (const auto& [button, result] : results) {
        EXPECT_EQ(ui::ModalResultOf(button), result) << button;
    }
}

}  // namespace
