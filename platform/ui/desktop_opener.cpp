#include "platform/ui/desktop_opener.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>

#include <memory>

#include "platform/ui/message_pump.h"

namespace ui {

namespace {

// How often the wait looks at the window's messages.
constexpr int kStepMs = 10;

}  // namespace

QString FindDesktopOpener() {
    return QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
}

bool RunDesktopOpener(const QString& opener, const QString& address, int waitMs) {
    auto process = std::make_unique<QProcess>();
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    process->start(opener, {address});
    if (!process->waitForStarted())
        return false;
    QElapsedTimer clock;
    clock.start();
    while (process->state() != QProcess::NotRunning) {
        if (process->waitForFinished(kStepMs))
            break;
        if (clock.elapsed() >= waitMs) {
            // The program runs under the opener: the request was taken. The process object
            // lives on with the application until the opener ends.
            QProcess* running = process.release();
            running->setParent(QCoreApplication::instance());
            QObject::connect(running, &QProcess::finished, running, &QObject::deleteLater);
            return true;
        }
        ProcessMessages();
    }
    return process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
}

}  // namespace ui
