#include "engine/component_error.h"

#include "engine/db_error.h"

namespace vesk {

std::string ComponentMessage(const std::string& componentName, const std::string& message) {
    if (componentName.empty())
        return message;
    return componentName + ": " + message;
}

void RaiseComponentError(const std::string& componentName, const std::string& message) {
    throw EDatabaseError(ComponentMessage(componentName, message));
}

}  // namespace vesk
