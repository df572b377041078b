#pragma once
// For tests only: the program's global state that every test must leave as it found it (the
// main window and data module globals, the UI services, the error hook, the clock, the
// registries). Each module registers probes for its globals; the test programs' main checks
// after every test that each probe reads as before the test, and fails the test naming the
// probe that reads otherwise.
#include <functional>
#include <string>
#include <vector>

namespace os::testing {

struct GlobalStateProbe {
    std::string name;
    // A text that differs whenever the state differs (a pointer, a count, a fixed moment).
    std::function<std::string()> read;
};

// Adds a probe; returns true (for registering from a static initializer). A second probe of
// the same name is ignored (headers register from every test program that includes them).
bool RegisterGlobalStateProbe(const std::string& name, std::function<std::string()> read);

const std::vector<GlobalStateProbe>& GlobalStateProbes();

// The probes' readings, in probe order.
std::vector<std::string> ReadGlobalState();

}  // namespace os::testing
