#pragma once
// For tests only: waits until a local file view has read the folder it shows (the file-system
// model reads folders in the background) and has sorted it.
#include <QCoreApplication>
#include <QTest>

#include "platform/ui/shell_list_view.h"

namespace ui::testing {

// Whether the folder was read within the wait (ten seconds at most, a bound for a stuck
// reader, not a timing of the test).
inline bool WaitUntilLoaded(const ShellListView& view) {
    const bool loaded = QTest::qWaitFor([&] { return view.Loaded(); }, 10000);
    // The model sorts what it read on its next turn of the event loop.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    return loaded;
}

}  // namespace ui::testing
