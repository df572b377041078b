#include "platform/os/testing/global_state.h"

#include <utility>

namespace os::testing {

namespace {

std::vector<GlobalStateProbe>& Probes() {
    static std::vector<GlobalStateProbe> probes;
    return probes;
}

}  // namespace

bool RegisterGlobalStateProbe(const std::string& name, std::function<std::string()> read) {
    for (const GlobalStateProbe& probe : Probes()) {
        if (probe.name == name)
            return true;
    }
    Probes().push_back({name, std::move(read)});
    return true;
}

const std::vector<GlobalStateProbe>& GlobalStateProbes() {
    return Probes();
}

std::vector<std::string> ReadGlobalState() {
    std::vector<std::string> readings;
    for (const GlobalStateProbe& probe : Probes())
        readings.push_back(probe.read());
    return readings;
}

}  // namespace os::testing
