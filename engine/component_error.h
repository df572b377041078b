#pragma once
// Errors raised for a named component (database, session, data set): the text begins with the
// component's name, a colon and a blank; a component without a name gives the bare message.
#include <string>

namespace vesk {

// The message as it reads for the component named componentName.
std::string ComponentMessage(const std::string& componentName, const std::string& message);

// Throws EDatabaseError with ComponentMessage(componentName, message).
[[noreturn]] void RaiseComponentError(const std::string& componentName, const std::string& message);

}  // namespace vesk
