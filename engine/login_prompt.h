#pragma once
// The password prompt a database shows when its file is enciphered and no known password
// grants access. The engine has no windowing toolkit of its own: the program installs its
// dialog here ("Database Login"), tests install a scripted answer.
#include <functional>
#include <string>

namespace vesk {

// Asks for the password of fileName. Returns true with the entered text in password when the
// user confirmed, false when the user cancelled.
using TLoginPrompt = std::function<bool(const std::string& fileName, std::string& password)>;

// Replaces the prompt; an empty function restores the default, which cancels (no toolkit).
// Returns the prompt that was installed before.
TLoginPrompt SetLoginPrompt(TLoginPrompt prompt);

// Runs the installed prompt (the default cancels).
bool RunLoginPrompt(const std::string& fileName, std::string& password);

}  // namespace vesk
