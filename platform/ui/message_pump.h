#pragma once
// The message pump: lets pending window messages (events, timers, repaints) run while a long
// call waits, as the FTP component does between its waiting steps.
#include <functional>

namespace ui {

// Processes the pending events of the user-interface thread once and returns. Handlers run
// inside it (guarded as anywhere else). Does nothing when no application object exists.
void ProcessMessages();

// ProcessMessages as a call-back, for components that must not depend on Qt.
std::function<void()> MessagePump();

}  // namespace ui
