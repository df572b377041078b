#pragma once
// The engine's exceptions. Every failure of the engine is one of these; the message is the
// exact text the user or a caller sees.
#include <stdexcept>
#include <string>

namespace vesk {

// A database error. Raised for a named database, session or data set, its text begins with
// the component's name, a colon and a blank; errors of the storage and file layer carry the
// bare message.
class EDatabaseError : public std::runtime_error {
  public:
    explicit EDatabaseError(const std::string& message) : std::runtime_error(message) {}
};

// A stream could not deliver or take the bytes asked for ("Stream read error",
// "Stream write error"), or the operating system refused a file operation.
class EStreamError : public std::runtime_error {
  public:
    explicit EStreamError(const std::string& message) : std::runtime_error(message) {}
};

// Formats a message with one "%s" (the engine's texts carry at most one argument).
std::string FormatMessage(const std::string& pattern, const std::string& argument);

}  // namespace vesk
