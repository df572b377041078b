#pragma once
// For tests only: the global-state probes of the dialogs (their `FormN` globals) on top of
// those of the layers below.
#include <sstream>
#include <string>

#include "dialogs/bookmark_manager.h"
#include "shared/testing/shared_probes.h"

namespace dialogs::testing {

inline const bool kBookmarkManagerProbe =
    os::testing::RegisterGlobalStateProbe("the bookmark manager global `Form17`", [] {
        std::ostringstream text;
        text << static_cast<const void*>(Form17);
        return text.str();
    });

}  // namespace dialogs::testing
