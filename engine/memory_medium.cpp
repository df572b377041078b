#include "engine/memory_medium.h"

#include <atomic>
#include <cctype>
#include <cstdio>
#include <map>
#include <mutex>

#include "engine/db_error.h"

namespace vesk {

namespace {

struct Registry {
    std::mutex mutex;
    std::map<std::string, TStream*> images;
    std::uint64_t nextId = 1;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

// The key of a valid name: its digits in upper case without leading zeros, so that ":0aB" and
// ":AB" find the same image, as two spellings of one number would.
std::string KeyOf(std::string_view name) {
    std::string key;
    for (size_t i = 1; i < name.size(); ++i) {
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(name[i])));
        if (key.empty() && c == '0')
            continue;
        key += c;
    }
    return key.empty() ? "0" : key;
}

}  // namespace

bool TMemoryMedium::IsValidName(std::string_view name) {
    if (name.size() < 2 || name[0] != ':')
        return false;
    for (size_t i = 1; i < name.size(); ++i)
        if (!std::isxdigit(static_cast<unsigned char>(name[i])))
            return false;
    return true;
}

std::string TMemoryMedium::Register(TStream& image) {
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> guard(registry.mutex);
    for (;;) {
        char name[24];
        std::snprintf(name, sizeof name, ":%llX",
                      static_cast<unsigned long long>(registry.nextId++));
        if (registry.images.emplace(KeyOf(name), &image).second)
            return name;
    }
}

void TMemoryMedium::Register(const std::string& name, TStream& image) {
    if (!IsValidName(name))
        throw EDatabaseError(FormatMessage("Invalid database name '%s'", name));
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> guard(registry.mutex);
    registry.images[KeyOf(name)] = &image;
}

void TMemoryMedium::Unregister(const std::string& name) {
    if (!IsValidName(name))
        return;
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> guard(registry.mutex);
    registry.images.erase(KeyOf(name));
}

TStream* TMemoryMedium::Find(std::string_view name) {
    if (!IsValidName(name))
        return nullptr;
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> guard(registry.mutex);
    const auto found = registry.images.find(KeyOf(name));
    return found == registry.images.end() ? nullptr : found->second;
}

}  // namespace vesk
