#pragma once
// The test double of every user-interface service: it records each call (service, kind,
// caption, text, buttons, preset) and answers from a script, in order. While it lives it is
// the set of services in use.
//
// A call with no scripted answer left, or whose answer is scripted for another service, or a
// message answer that is none of the box's buttons, is reported as a failure and answered
// neutrally (mrCancel, cancelled, false). Answers still unused when the double is destroyed are
// reported too.
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/testing/failure_reporter.h"
#include "platform/ui/ui_services.h"

namespace ui {

enum class UiService { kMessage, kInput, kFolder, kSaveFile, kShellOpen };

// What one call asked for. Fields a service has no use for stay empty.
struct UiCall {
    UiService service = UiService::kMessage;
    MessageKind kind = MessageKind::kInformation;  // message boxes
    std::string caption;
    std::string text;  // message text, input prompt, shell target
    MessageButtons buttons = 0;
    std::string preset;  // input default, start folder, save dialog's initial folder
    std::size_t maxBytes = kNoByteLimit;  // input boxes: the most bytes the edit takes
    SaveFileRequest save;                 // the whole request of a save dialog
};

const char* ServiceName(UiService service);

class ScriptedUi : public MessageService,
                   public InputService,
                   public FolderBrowser,
                   public SaveFileService,
                   public ShellService {
  public:
    explicit ScriptedUi(FailureReporter reporter);
    ~ScriptedUi() override;
    ScriptedUi(const ScriptedUi&) = delete;
    ScriptedUi& operator=(const ScriptedUi&) = delete;

    // The script, in the order the calls are expected.
    ScriptedUi& AnswerMessage(int modalResult);
    ScriptedUi& AnswerInput(std::optional<std::string> text);
    ScriptedUi& AnswerFolder(std::optional<std::string> folder);
    ScriptedUi& AnswerSaveFile(std::optional<std::string> path);
    ScriptedUi& AnswerShellOpen(bool accepted = true);

    const std::vector<UiCall>& Calls() const { return calls_; }
    std::size_t UnusedAnswers() const { return script_.size(); }

    int Show(MessageKind kind, const std::string& caption, const std::string& text,
             MessageButtons buttons) override;
    // The scripted text as it stands (the limit is only recorded).
    std::optional<std::string> Ask(const std::string& caption, const std::string& prompt,
                                   const std::string& defaultText, std::size_t maxBytes) override;
    std::optional<std::string> Browse(const std::string& caption,
                                      const std::string& startFolder) override;
    std::optional<std::string> Execute(const SaveFileRequest& request) override;
    bool Open(const std::string& target) override;

  private:
    struct Answer {
        UiService service;
        int modalResult = 0;
        std::optional<std::string> text;
        bool accepted = false;
    };

    // Records `call` and takes the next answer when it is one for the call's service.
    std::optional<Answer> Take(UiCall call);

    FailureReporter reporter_;
    std::deque<Answer> script_;
    std::vector<UiCall> calls_;
    ScopedUiServices installed_;
};

}  // namespace ui
