#include "platform/ui/testing/modal_driver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QTimer>

#include <exception>
#include <utility>

namespace ui {

namespace {

std::string NameOf(const QDialog& dialog) {
    std::string name =
        "\"" + dialog.windowTitle().toStdString() + "\" (" + dialog.metaObject()->className();
    if (!dialog.objectName().isEmpty())
        name += " " + dialog.objectName().toStdString();
    return name + ")";
}

}  // namespace

ModalDriver::ModalDriver(FailureReporter reporter, std::chrono::milliseconds timeout)
    : reporter_(std::move(reporter)), timeout_(timeout) {
    qApp->installEventFilter(this);
}

ModalDriver::~ModalDriver() {
    qApp->removeEventFilter(this);
    if (!drivers_.empty()) {
        reporter_(std::to_string(drivers_.size()) + " modal dialog driver(s) never ran");
    }
}

void ModalDriver::Next(Driver driver) {
    drivers_.push_back(std::move(driver));
}

bool ModalDriver::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Show)
        return false;
    auto* dialog = qobject_cast<QDialog*>(watched);
    if (dialog == nullptr || !dialog->isWindow() || dialog->windowModality() == Qt::NonModal) {
        return false;
    }
    QPointer<QDialog> guard(dialog);
    if (drivers_.empty()) {
        reporter_("modal dialog " + NameOf(*dialog) + " shown with no driver");
        QTimer::singleShot(0, dialog, [guard] {
            if (guard)
                guard->reject();
        });
        return false;
    }
    Driver driver = std::move(drivers_.front());
    drivers_.pop_front();
    // Queued, so the driver runs inside the dialog's own modal loop, after the show is over.
    QTimer::singleShot(0, this, [this, guard, driver = std::move(driver)]() mutable {
        Drive(guard, std::move(driver));
    });
    return false;
}

void ModalDriver::Drive(QPointer<QDialog> dialog, Driver driver) {
    if (!dialog)
        return;
    ++driven_;
    const std::string name = NameOf(*dialog);
    try {
        driver(*dialog);
    } catch (const std::exception& error) {
        reporter_("driver of " + name + " failed: " + error.what());
        if (dialog)
            dialog->reject();
        return;
    }
    if (!dialog || !dialog->isVisible())
        return;
    // Left open: the driver may have started something that closes it later (a nested dialog,
    // a timer); give it the time-out, then fail the test and close the dialog.
    QTimer::singleShot(timeout_, dialog, [reporter = reporter_, dialog, name] {
        if (!dialog || !dialog->isVisible())
            return;
        reporter("modal dialog " + name + " left open by its driver");
        dialog->reject();
    });
}

void ClickButton(QObject& root, const char* objectName) {
    Child<QAbstractButton>(root, objectName).click();
}

}  // namespace ui
