#pragma once
// Drives modal dialogs in tests inside their real modal loop (QDialog::exec, message boxes,
// file dialogs): a test queues one driver per dialog it expects; when the next modal dialog is
// shown, the driver runs from within that dialog's loop, works its controls by object name
// (Child below) and closes it.
//
// Failures, reported through the reporter: a modal dialog shown with no driver queued (it is
// rejected at once), a dialog still open once its time-out has passed after its driver ran
// (it is rejected then, so the test ends instead of hanging), a driver that threw (its dialog
// is rejected), and drivers still queued when the object is destroyed.
#include <QDialog>
#include <QObject>
#include <QPointer>

#include <chrono>
#include <deque>
#include <functional>
#include <stdexcept>
#include <string>

#include "platform/ui/testing/failure_reporter.h"

namespace ui {

class ModalDriver : public QObject {
  public:
    using Driver = std::function<void(QDialog& dialog)>;

    // Watches every modal dialog the application shows while the object lives. Needs the
    // application object.
    explicit ModalDriver(FailureReporter reporter,
                         std::chrono::milliseconds timeout = std::chrono::seconds(10));
    ~ModalDriver() override;

    // Queues `driver` for the next modal dialog that is shown.
    void Next(Driver driver);

    int DialogsDriven() const { return driven_; }
    std::size_t Pending() const { return drivers_.size(); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Drive(QPointer<QDialog> dialog, Driver driver);

    FailureReporter reporter_;
    std::chrono::milliseconds timeout_;
    std::deque<Driver> drivers_;
    int driven_ = 0;
};

// The descendant of `root` of type T with that object name; throws std::runtime_error when
// there is none (inside a driver, the ModalDriver reports it).
template <class T>
T& Child(QObject& root, const char* objectName) {
    T* child = root.findChild<T*>(QString::fromUtf8(objectName));
    if (child == nullptr) {
        throw std::runtime_error(std::string("no control named \"") + objectName + "\" in \"" +
                                 root.objectName().toStdString() + "\"");
    }
    return *child;
}

// Clicks the button of that object name (QAbstractButton) below `root`.
void ClickButton(QObject& root, const char* objectName);

}  // namespace ui
