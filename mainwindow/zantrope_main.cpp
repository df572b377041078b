// The program's entry point: the application, the main window, the data module, the message
// loop.
#include <memory>

#include <QGuiApplication>
#include <QScreen>

#include "mainwindow/engine_lifetime.h"
#include "mainwindow/main_form.h"
#include "mainwindow/vesk_db_login_form.h"
#include "platform/os/program_folder.h"
#include "platform/ui/guarded_application.h"
#include "shared/tdm.h"

int main(int argc, char** argv) {
    const EngineLifetime engine;
    ui::GuardedApplication application(argc, argv);
    const QString title = QStringLiteral("Zantrope FREE Edition");
    // The name only: a display name set on its own would be appended to the title of every
    // other window under X11 ("Edit FTP Site — ..."), and dialogs show their captions as set.
    QApplication::setApplicationName(title);
    InstallVeskLoginPrompt();  // an enciphered database file asks for its password

    // The main window first: it exists before the data module, which its creation never uses.
    auto window = std::make_unique<TForm1>(os::ProgramFolder());
    Form1 = window.get();
    auto data = std::make_unique<Tdm>();
    dm = data.get();

    // Maximised; without a window manager to do it, the window takes the screen's free area.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window->setGeometry(screen->availableGeometry());
    window->showMaximized();
    const int result = QApplication::exec();
    // The window's children (pages) go before the data module.
    window.reset();
    Form1 = nullptr;
    data.reset();
    dm = nullptr;
    return result;
}
