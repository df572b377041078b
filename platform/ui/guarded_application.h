#pragma once
// The application object of the program and of widget tests: a QApplication whose event
// delivery runs under the handler guard, so that an exception thrown by an event handler that
// is no guarded connection (paintEvent, closeEvent, showEvent, ...) still reaches the
// application error handler instead of the event loop.
#include <QApplication>

namespace ui {

class GuardedApplication : public QApplication {
  public:
    // argc and argv must outlive the object (QApplication keeps references to them).
    GuardedApplication(int& argc, char** argv);

    // Delivers the event; an exception from the receiver goes to ReportApplicationError and
    // the event counts as not handled.
    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace ui
