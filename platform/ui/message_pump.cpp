#include "platform/ui/message_pump.h"

#include <QCoreApplication>

namespace ui {

void ProcessMessages() {
    if (QCoreApplication::instance() == nullptr)
        return;
    // Posted deletions (deleteLater) wait for the outer loop: an object must not vanish under
    // the call that is pumping.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

std::function<void()> MessagePump() {
    return [] { ProcessMessages(); };
}

}  // namespace ui
