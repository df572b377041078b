#pragma once
// The user-interface services the program asks for: message boxes, one-line input boxes, the
// folder browser, the save-file dialog and the shell's "open". Each is a small interface; the
// program uses the Qt implementations (qt_ui_services.h), tests install scripted ones
// (testing/scripted_ui.h). Texts are UTF-8 bytes.
#include <cstddef>
#include <limits>
#include <optional>
#include <string>

namespace ui {

// The byte limit of an input box that takes any length.
inline constexpr std::size_t kNoByteLimit = std::numeric_limits<std::size_t>::max();

enum class MessageKind { kWarning, kError, kInformation, kConfirmation };

// Buttons of a message box, combined with |.
using MessageButtons = unsigned;
inline constexpr MessageButtons mbYes = 1u << 0;
inline constexpr MessageButtons mbNo = 1u << 1;
inline constexpr MessageButtons mbOK = 1u << 2;
inline constexpr MessageButtons mbCancel = 1u << 3;
inline constexpr MessageButtons mbAbort = 1u << 4;
inline constexpr MessageButtons mbRetry = 1u << 5;
inline constexpr MessageButtons mbIgnore = 1u << 6;
inline constexpr MessageButtons mbYesNo = mbYes | mbNo;
inline constexpr MessageButtons mbOKCancel = mbOK | mbCancel;

// The modal result a button gives (mrYes for mbYes, ...); mrNone for anything else.
int ModalResultOf(MessageButtons button);

// The caption a message box of that kind has when the caller gives none: "Warning", "Error",
// "Information" or "Confirm".
std::string DefaultCaption(MessageKind kind);

class MessageService {
  public:
    virtual ~MessageService() = default;
    // Shows a modal message box; returns the modal result of the button chosen (mrCancel when
    // it was closed without one).
    virtual int Show(MessageKind kind, const std::string& caption, const std::string& text,
                     MessageButtons buttons) = 0;
};

class InputService {
  public:
    virtual ~InputService() = default;
    // Asks for one line of text, preset with `defaultText`, of at most `maxBytes` UTF-8 bytes
    // (the edit takes no more, as byte_limit.h says); nullopt when cancelled.
    virtual std::optional<std::string> Ask(const std::string& caption, const std::string& prompt,
                                           const std::string& defaultText,
                                           std::size_t maxBytes) = 0;
};

class FolderBrowser {
  public:
    virtual ~FolderBrowser() = default;
    // Lets the user choose a folder, starting at `startFolder` (empty: the user's home); the
    // chosen folder's path without a trailing "/", or nullopt when cancelled.
    virtual std::optional<std::string> Browse(const std::string& caption,
                                              const std::string& startFolder) = 0;
};

struct SaveFileRequest {
    std::string caption;
    std::string initialFolder;     // empty: the current folder
    std::string fileName;          // preset file name, may be empty
    std::string defaultExtension;  // without the dot, added when the name has none ("txt")
    std::string filter;            // pairs "description|patterns|...", e.g. "*.txt|*.txt"
};

class SaveFileService {
  public:
    virtual ~SaveFileService() = default;
    // The full path of the file chosen to save to, or nullopt when cancelled.
    virtual std::optional<std::string> Execute(const SaveFileRequest& request) = 0;
};

class ShellService {
  public:
    virtual ~ShellService() = default;
    // Asks the desktop to "open" a web or mail address or a local path. The result tells
    // whether the desktop took the request: false when it has no program for the address.
    virtual bool Open(const std::string& target) = 0;
};

// The services in use. Never null: at start they are the Qt implementations.
struct UiServices {
    MessageService* messages;
    InputService* input;
    FolderBrowser* folders;
    SaveFileService* saveFile;
    ShellService* shell;
};

const UiServices& CurrentUiServices();

// Puts `services` in use for its lifetime (null members keep the service in use) and restores
// the previous set afterwards. The services must outlive the object.
class ScopedUiServices {
  public:
    explicit ScopedUiServices(const UiServices& services);
    ~ScopedUiServices();
    ScopedUiServices(const ScopedUiServices&) = delete;
    ScopedUiServices& operator=(const ScopedUiServices&) = delete;

  private:
    UiServices previous_;
};

// The calls the program makes, through the services in use.

// A message box of `kind` with `text` and `buttons`; its caption is DefaultCaption(kind).
int MessageDlg(const std::string& text, MessageKind kind, MessageButtons buttons);

// A one-line input box of at most `maxBytes` bytes (for a text stored in a column of that
// size); Cancel gives `defaultText`.
std::string InputBox(const std::string& caption, const std::string& prompt,
                     const std::string& defaultText, std::size_t maxBytes = kNoByteLimit);

// A one-line input box; nullopt when cancelled.
std::optional<std::string> InputQuery(const std::string& caption, const std::string& prompt,
                                      const std::string& defaultText,
                                      std::size_t maxBytes = kNoByteLimit);

std::optional<std::string> BrowseForFolder(const std::string& caption,
                                           const std::string& startFolder);

std::optional<std::string> ExecuteSaveDialog(const SaveFileRequest& request);

bool ShellOpen(const std::string& target);

// ShellOpen, and when the desktop has no program for `target`, an error box that says so,
// naming `shown` (the address as the user reads it, such as a mail address without its
// "mailto:"). Returns whether the desktop took the request.
bool ShellOpenOrSay(const std::string& target, const std::string& shown);

// The text of that error box.
std::string NoProgramText(const std::string& shown);

}  // namespace ui
