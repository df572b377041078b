#pragma once
// For tests only: the global-state probes of the user-interface layer (the services in use
// and the application error hook) on top of those of the layer below.
#include <sstream>
#include <string>

#include "platform/os/testing/os_probes.h"
#include "platform/ui/handler_guard.h"
#include "platform/ui/help_service.h"
#include "platform/ui/ui_services.h"

namespace ui::testing {

inline const bool kServicesProbe =
    os::testing::RegisterGlobalStateProbe("the UI services (ScopedUiServices)", [] {
        const UiServices& services = CurrentUiServices();
        std::ostringstream text;
        text << "messages " << services.messages << ", input " << services.input << ", folders "
             << services.folders << ", save " << services.saveFile << ", shell " << services.shell;
        return text.str();
    });

inline const bool kErrorHookProbe = os::testing::RegisterGlobalStateProbe(
    "the application error handler",
    [] { return std::string(ApplicationErrorHandlerInstalled() ? "installed" : "the fallback"); });

inline const bool kHelpProbe =
    os::testing::RegisterGlobalStateProbe("the help service and help file name", [] {
        std::ostringstream text;
        text << &CurrentHelpService() << " \"" << ApplicationHelpFile() << "\"";
        return text.str();
    });

}  // namespace ui::testing
