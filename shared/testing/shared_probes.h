#pragma once
// For tests only: the global-state probes of the shared layer (the data module `dm`) on top
// of those of the engine and the user-interface layer.
#include <sstream>
#include <string>

#include "engine/testing/engine_probes.h"
#include "platform/ui/testing/ui_probes.h"
#include "shared/tdm.h"

namespace shared::testing {

inline const bool kDataModuleProbe =
    os::testing::RegisterGlobalStateProbe("the data module global `dm`", [] {
        std::ostringstream text;
        text << static_cast<const void*>(dm);
        return text.str();
    });

}  // namespace shared::testing
