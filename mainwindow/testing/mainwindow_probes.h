#pragma once
// For tests only: the global-state probes of the main window (the `Form1` global) on top of
// those of the layers below.
#include <sstream>
#include <string>

#include "dialogs/testing/dialogs_probes.h"
#include "mainwindow/main_form.h"

namespace mainwindow::testing {

inline const bool kMainWindowProbe =
    os::testing::RegisterGlobalStateProbe("the main window global `Form1`", [] {
        std::ostringstream text;
        text << static_cast<const void*>(Form1);
        return text.str();
    });

}  // namespace mainwindow::testing
