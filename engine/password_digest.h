#pragma once
// The text an enciphered database file holds for its password: the SHA digest (in its SHA-0
// form) of the password's bytes as the engine's own base-64-style digest text (format 64, at
// most 28 characters, never a zero byte). An empty password is digested like any other text.
#include <string>

namespace vesk {

std::string PasswordDigestText(const std::string& password);

}  // namespace vesk
