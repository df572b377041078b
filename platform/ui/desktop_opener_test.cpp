// The desktop's opener as the shell seam runs it: stand-in openers (scripts on the search
// path) that end as xdg-open does when it found a program, when it found none, and when the
// program stays in the foreground.
#include "platform/ui/desktop_opener.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTimer>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

#include "platform/os/testing/temp_folder.h"
#include "platform/ui/qt_ui_services.h"
#include "platform/ui/testing/qt_test_environment.h"

namespace {

class DesktopOpener : public ::testing::Test {
  protected:
    // An opener named xdg-open that records its argument and runs `body`.
    std::string WriteOpener(const std::string& body) {
        const std::string path = folder_.File("xdg-open");
        std::ofstream(path) << "#!/bin/sh\nprintf '%s' \"$1\" > '" << folder_.File("argument")
                            << "'\n"
                            << body << "\n";
        ::chmod(path.c_str(), 0755);
        return path;
    }
    std::string Argument() const {
        std::ifstream in(folder_.File("argument"));
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    os::testing::TempFolder folder_{"opener"};
};

TEST_F(DesktopOpener, TheOpenersExitTellsWhetherAProgramTookTheAddress) {
    struct Case {
        const char* body;
        bool taken;
    };
    const Case cases[] = {
        {"exit 0", true},
        {"exit 3", false},  // xdg-open: no program for the address
        {"exit 4", false},  // xdg-open: the program failed
        {"kill -9 $$", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        const std::string opener = WriteOpener(c.body);
        EXPECT_EQ(ui::RunDesktopOpener(QString::fromStdString(opener),
                                       QStringLiteral("https://www.example.org/zantrope/"), 5000),
                  c.taken);
        EXPECT_EQ(Argument(), "https://www.example.org/zantrope/");
    }
    EXPECT_FALSE(ui::RunDesktopOpener(QString::fromStdString(folder_.File("none")),
                                      QStringLiteral("https://www.example.org/"), 5000));
}

// A program that stays in the foreground keeps the opener running: the request counts as
// taken once the wait is over, the window is served meanwhile, and the opener is left to end.
TEST_F(DesktopOpener, AnOpenerStillRunningAfterTheWaitHasTakenTheAddress) {
    const std::string opener = WriteOpener("sleep 1");
    bool served = false;
    QTimer::singleShot(0, [&] { served = true; });
    EXPECT_TRUE(ui::RunDesktopOpener(QString::fromStdString(opener),
                                     QStringLiteral("mailto:zantrope@example.org?subject="), 200));
    EXPECT_TRUE(served);
    // The opener left running ends on its own and its process object goes with it.
    QElapsedTimer clock;
    clock.start();
    while (!QCoreApplication::instance()->findChildren<QProcess*>().isEmpty() &&
           clock.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    EXPECT_TRUE(QCoreApplication::instance()->findChildren<QProcess*>().isEmpty());
    EXPECT_EQ(Argument(), "mailto:zantrope@example.org?subject=");
}

// The seam finds the opener on the search path and passes the address as it stands.
TEST_F(DesktopOpener, TheShellSeamRunsTheOpenerOnTheSearchPath) {
    WriteOpener("exit 3");
    const char* const previous = std::getenv("PATH");
    const std::optional<std::string> path =
        previous == nullptr ? std::nullopt : std::optional<std::string>(previous);
    ::setenv("PATH", (folder_.path() + ":/usr/bin:/bin").c_str(), 1);
    EXPECT_EQ(ui::FindDesktopOpener().toStdString(), folder_.File("xdg-open"));
    ui::QtUiServices services;
    EXPECT_FALSE(services.Open("mailto:zantrope@example.org?subject="));
    EXPECT_EQ(Argument(), "mailto:zantrope@example.org?subject=");
    WriteOpener("exit 0");
    EXPECT_TRUE(services.Open("https://www.example.org/zantrope/"));
    EXPECT_EQ(Argument(), "https://www.example.org/zantrope/");
    if (path)
        ::setenv("PATH", path->c_str(), 1);
    else
        ::unsetenv("PATH");
}

}  // namespace
