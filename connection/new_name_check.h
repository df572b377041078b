#pragma once
// The check of a new name for an entry of the current remote folder (rename in place, make
// folder, the duplicate-file dialog's rename).
#include <functional>
#include <string>

// True when `name` may be used: it holds none of the characters \ / : * ? " < > | and
// `shown(name)` is false (no row of the remote list is captioned exactly `name`). A refusal
// shows its message box (error, OK): the character message first when both apply, then the
// taken-name message. Throws only what the message service throws.
bool CheckNewName(const std::string& name, const std::function<bool(const std::string&)>& shown);

// The characters a new name may not hold, in the order the message lists them.
inline constexpr const char* kForbiddenNameCharacters = "\\/:*?\"<>|";
