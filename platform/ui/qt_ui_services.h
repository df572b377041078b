#pragma once
// The Qt implementations of the user-interface services. Every dialog is modal to the active
// window and runs its own modal loop (so tests drive it with a ModalDriver).
//
// Object names for tests: message box buttons "OK", "Cancel", "Abort", "Retry", "Ignore",
// "Yes", "No"; the input box as in input_dialog.h.
#include <QStringList>
#include <QUrl>

#include "platform/ui/ui_services.h"

namespace ui {

class QtUiServices : public MessageService,
                     public InputService,
                     public FolderBrowser,
                     public SaveFileService,
                     public ShellService {
  public:
    int Show(MessageKind kind, const std::string& caption, const std::string& text,
             MessageButtons buttons) override;
    std::optional<std::string> Ask(const std::string& caption, const std::string& prompt,
                                   const std::string& defaultText, std::size_t maxBytes) override;
    std::optional<std::string> Browse(const std::string& caption,
                                      const std::string& startFolder) override;
    std::optional<std::string> Execute(const SaveFileRequest& request) override;
    bool Open(const std::string& target) override;
};

// "description|patterns|..." pairs as file-dialog name filters ("Text (*.txt)"); patterns
// separated by ";" become blank-separated. An empty filter gives no name filter.
QStringList QtNameFilters(const std::string& filter);

// The address the shell opens: a text with a scheme ("https:", "mailto:", ...) as it stands,
// anything else as a local file path.
QUrl ShellTargetUrl(const std::string& target);

}  // namespace ui
