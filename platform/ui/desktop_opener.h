#pragma once
// The desktop's opener of addresses (xdg-open on Linux desktops): it finds the program the
// user chose for a web or mail address and starts it. Its exit status is the only word on
// whether such a program exists, and Qt's own shell call reports only that the opener started,
// so the shell seam runs the opener itself and reads how it ended.
#include <QString>

namespace ui {

// Runs `opener` with `address` as its one argument and tells whether the desktop took it:
// true when the opener ended with status 0 within `waitMs`, or is still running then (it runs
// the chosen program in the foreground; it is left running and its end is reaped later);
// false when it ended otherwise (no program for the address, the program failed at once) or
// could not be started. The window is served while it waits. Needs the application object.
bool RunDesktopOpener(const QString& opener, const QString& address, int waitMs);

// The opener found on the program search path, empty when there is none.
QString FindDesktopOpener();

}  // namespace ui
