#pragma once
// The waiting message pump: sleeps until a descriptor is ready, a window message is pending or
// a time has passed, whichever comes first, and runs the pending messages, so that a long
// call waiting for its socket serves the window at once instead of at the end of a fixed step.
#include <functional>

namespace ui {

// Waits until fd is ready for `events` (poll flags; POLLOUT watches for writing, anything else
// for reading, and an error or a hang-up counts as ready), a window message is pending or
// timeoutMs have passed, then returns with the pending messages run as ProcessMessages runs
// them (handlers guarded; posted deletions left to the outer loop). May return early. The
// descriptor is only watched, never read; a handler run inside may close it. Without an
// application object it only waits for fd. timeoutMs of 0 or less: ProcessMessages alone.
void WaitForMessages(int fd, short events, int timeoutMs);

// WaitForMessages as a call-back, for components that must not depend on Qt.
std::function<void(int fd, short events, int timeoutMs)> MessageWait();

}  // namespace ui
