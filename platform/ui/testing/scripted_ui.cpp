#include "platform/ui/testing/scripted_ui.h"

#include <utility>

#include "platform/ui/modal_result.h"

namespace ui {

namespace {

std::string Describe(const UiCall& call) {
    std::string text = std::string(ServiceName(call.service)) + " (caption \"" + call.caption +
                       "\", text \"" + call.text + "\"";
    if (!call.preset.empty())
        text += ", preset \"" + call.preset + "\"";
    return text + ")";
}

}  // namespace

const char* ServiceName(UiService service) {
    switch (service) {
        case UiService::kMessage:
            return "message box";
        case UiService::kInput:
            return "input box";
        case UiService::kFolder:
            return "folder browser";
        case UiService::kSaveFile:
            return "save dialog";
        case UiService::kShellOpen:
            return "shell open";
    }
    return "?";
}

ScriptedUi::ScriptedUi(FailureReporter reporter)
    : reporter_(std::move(reporter)), installed_(UiServices{this, this, this, this, this}) {}

ScriptedUi::~ScriptedUi() {
    for (const Answer& answer : script_) {
        reporter_(std::string("scripted ") + ServiceName(answer.service) + " was never shown");
    }
}

ScriptedUi& ScriptedUi::AnswerMessage(int modalResult) {
    script_.push_back({UiService::kMessage, modalResult, std::nullopt, false});
    return *this;
}

ScriptedUi& ScriptedUi::AnswerInput(std::optional<std::string> text) {
    script_.push_back({UiService::kInput, 0, std::move(text), false});
    return *this;
}

ScriptedUi& ScriptedUi::AnswerFolder(std::optional<std::string> folder) {
    script_.push_back({UiService::kFolder, 0, std::move(folder), false});
    return *this;
}

ScriptedUi& ScriptedUi::AnswerSaveFile(std::optional<std::string> path) {
    script_.push_back({UiService::kSaveFile, 0, std::move(path), false});
    return *this;
}

ScriptedUi& ScriptedUi::AnswerShellOpen(bool accepted) {
    script_.push_back({UiService::kShellOpen, 0, std::nullopt, accepted});
    return *this;
}

std::optional<ScriptedUi::Answer> ScriptedUi::Take(UiCall call) {
    calls_.push_back(std::move(call));
    const UiCall& recorded = calls_.back();
    if (script_.empty()) {
        reporter_("unscripted " + Describe(recorded));
        return std::nullopt;
    }
    if (script_.front().service != recorded.service) {
        reporter_("expected a " + std::string(ServiceName(script_.front().service)) + ", got " +
                  Describe(recorded));
        return std::nullopt;
    }
    Answer answer = std::move(script_.front());
    script_.pop_front();
    return answer;
}

int ScriptedUi::Show(MessageKind kind, const std::string& caption, const std::string& text,
                     MessageButtons buttons) {
    UiCall call;
    call.service = UiService::kMessage;
    call.kind = kind;
    call.caption = caption;
    call.text = text;
    call.buttons = buttons;
    const auto answer = Take(std::move(call));
    if (!answer)
        return mrCancel;
    const MessageButtons offered = buttons == 0 ? mbOK : buttons;  // as the real box shows it
    for (MessageButtons button = 1; button <= mbIgnore; button <<= 1) {
        if ((offered & button) != 0 && ModalResultOf(button) == answer->modalResult) {
            return answer->modalResult;
        }
    }
    reporter_("scripted answer " + std::to_string(answer->modalResult) +
              " is none of the buttons of " + Describe(calls_.back()));
    return mrCancel;
}

std::optional<std::string> ScriptedUi::Ask(const std::string& caption, const std::string& prompt,
                                           const std::string& defaultText, std::size_t maxBytes) {
    UiCall call;
    call.service = UiService::kInput;
    call.caption = caption;
    call.text = prompt;
    call.preset = defaultText;
    call.maxBytes = maxBytes;
    const auto answer = Take(std::move(call));
    return answer ? answer->text : std::nullopt;
}

std::optional<std::string> ScriptedUi::Browse(const std::string& caption,
                                              const std::string& startFolder) {
    UiCall call;
    call.service = UiService::kFolder;
    call.caption = caption;
    call.preset = startFolder;
    const auto answer = Take(std::move(call));
    return answer ? answer->text : std::nullopt;
}

std::optional<std::string> ScriptedUi::Execute(const SaveFileRequest& request) {
    UiCall call;
    call.service = UiService::kSaveFile;
    call.caption = request.caption;
    call.preset = request.initialFolder;
    call.save = request;
    const auto answer = Take(std::move(call));
    return answer ? answer->text : std::nullopt;
}

bool ScriptedUi::Open(const std::string& target) {
    UiCall call;
    call.service = UiService::kShellOpen;
    call.text = target;
    const auto answer = Take(std::move(call));
    return answer && answer->accepted;
}

}  // namespace ui
