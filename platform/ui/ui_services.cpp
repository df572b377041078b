#include "platform/ui/ui_services.h"

#include "platform/ui/modal_result.h"
#include "platform/ui/qt_ui_services.h"

namespace ui {

namespace {

UiServices& InUse() {
    static QtUiServices qt;
    static UiServices services{&qt, &qt, &qt, &qt, &qt};
    return services;
}

}  // namespace

int ModalResultOf(MessageButtons button) {
    switch (button) {
        case mbYes:
            return mrYes;
        case mbNo:
            return mrNo;
        case mbOK:
            return mrOk;
        case mbCancel:
            return mrCancel;
        case mbAbort:
            return mrAbort;
        case mbRetry:
            return mrRetry;
        case mbIgnore:
            return mrIgnore;
        default:
            return mrNone;
    }
}

std::string DefaultCaption(MessageKind kind) {
    switch (kind) {
        case MessageKind::kWarning:
            return "Warning";
        case MessageKind::kError:
            return "Error";
        case MessageKind::kInformation:
            return "Information";
        case MessageKind::kConfirmation:
            return "Confirm";
    }
    return {};
}

const UiServices& CurrentUiServices() {
    return InUse();
}

ScopedUiServices::ScopedUiServices(const UiServices& services) : previous_(InUse()) {
    UiServices& current = InUse();
    if (services.messages)
        current.messages = services.messages;
    if (services.input)
        current.input = services.input;
    if (services.folders)
        current.folders = services.folders;
    if (services.saveFile)
        current.saveFile = services.saveFile;
    if (services.shell)
        current.shell = services.shell;
}

ScopedUiServices::~ScopedUiServices() {
    InUse() = previous_;
}

int MessageDlg(const std::string& text, MessageKind kind, MessageButtons buttons) {
    return InUse().messages->Show(kind, DefaultCaption(kind), text, buttons);
}

std::string InputBox(const std::string& caption, const std::string& prompt,
                     const std::string& defaultText, std::size_t maxBytes) {
    return InputQuery(caption, prompt, defaultText, maxBytes).value_or(defaultText);
}

std::optional<std::string> InputQuery(const std::string& caption, const std::string& prompt,
                                      const std::string& defaultText, std::size_t maxBytes) {
    return InUse().input->Ask(caption, prompt, defaultText, maxBytes);
}

std::optional<std::string> BrowseForFolder(const std::string& caption,
                                           const std::string& startFolder) {
    return InUse().folders->Browse(caption, startFolder);
}

std::optional<std::string> ExecuteSaveDialog(const SaveFileRequest& request) {
    return InUse().saveFile->Execute(request);
}

bool ShellOpen(const std::string& target) {
    return InUse().shell->Open(target);
}

std::string NoProgramText(const std::string& shown) {
    return "There is no program on this desktop to open " + shown + ".";
}

bool ShellOpenOrSay(const std::string& target, const std::string& shown) {
    if (ShellOpen(target))
        return true;
    // Without a word the click would seem to do nothing at all.
    MessageDlg(NoProgramText(shown), MessageKind::kError, mbOK);
    return false;
}

}  // namespace ui
