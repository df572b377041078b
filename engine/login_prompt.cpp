#include "engine/login_prompt.h"

#include <utility>

namespace vesk {

namespace {
TLoginPrompt& InstalledPrompt() {
    static TLoginPrompt prompt;
    return prompt;
}
}  // namespace

TLoginPrompt SetLoginPrompt(TLoginPrompt prompt) {
    return std::exchange(InstalledPrompt(), std::move(prompt));
}

bool RunLoginPrompt(const std::string& fileName, std::string& password) {
    const TLoginPrompt& prompt = InstalledPrompt();
    if (!prompt)
        return false;
    return prompt(fileName, password);
}

}  // namespace vesk
