#include "platform/ui/guarded_application.h"

#include "platform/ui/handler_guard.h"

namespace ui {

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ReportApplicationError(std::current_exception());
        return false;
    }
}

}  // namespace ui
