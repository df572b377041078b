#pragma once
// For tests only: the real program on an X server of its own (Xvfb): child processes stopped
// and reaped by their owner, the server's display number, shell commands' first output lines,
// and waiting for a condition with a bound.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace mainwindow::testing {

// A child process, stopped (SIGTERM, then SIGKILL) and reaped when the object goes.
class ChildProcess {
  public:
    // extraEnv comes before the inherited environment, so its entries win. passFd, when not
    // -1, becomes the child's descriptor 3.
    ChildProcess(const std::vector<std::string>& arguments,
                 const std::vector<std::string>& extraEnv, int passFd = -1) {
        std::vector<char*> argv;
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        std::vector<std::string> environment(extraEnv);
        for (char** entry = environ; *entry != nullptr; ++entry)
            environment.emplace_back(*entry);
        std::vector<char*> envp;
        for (std::string& entry : environment)
            envp.push_back(entry.data());
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        if (passFd != -1)
            posix_spawn_file_actions_adddup2(&actions, passFd, 3);
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~ChildProcess() {
        if (pid_ <= 0)
            return;
        ::kill(pid_, SIGTERM);
        for (int i = 0; i < 50; ++i) {
            if (::waitpid(pid_, nullptr, WNOHANG) == pid_)
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return pid_ > 0; }
    bool Running() const { return pid_ > 0 && ::waitpid(pid_, nullptr, WNOHANG) == 0; }

  private:
    pid_t pid_ = -1;
};

// The first output line of a shell command, "" when it gives none.
inline std::string FirstLine(const std::string& command) {
    std::string line;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[512];
        if (std::fgets(buffer, sizeof buffer, pipe) != nullptr)
            line = buffer;
        ::pclose(pipe);
    }
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
    return line;
}

// The display number the X server wrote to `fd` (its -displayfd), -1 when none came in time.
inline int ReadDisplayNumber(int fd) {
    std::string text;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (std::chrono::steady_clock::now() < end) {
        pollfd wait{fd, POLLIN, 0};
        if (::poll(&wait, 1, 200) <= 0)
            continue;
        char buffer[16];
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got <= 0)
            break;
        text.append(buffer, static_cast<std::size_t>(got));
        if (text.find('\n') != std::string::npos)
            break;
    }
    return text.empty() || !std::isdigit(static_cast<unsigned char>(text[0])) ? -1
                                                                              : std::stoi(text);
}

template <class Condition>
bool WaitFor(Condition condition, std::chrono::seconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return condition();
}

// An Xvfb server of 1280x1024 pixels on a free display it picks itself; Display() is ""
// when it did not start.
class XServer {
  public:
    XServer() {
        int numberPipe[2];
        if (::pipe(numberPipe) != 0)
            return;
        server_ = std::make_unique<ChildProcess>(
            std::vector<std::string>{"/usr/bin/Xvfb", "-displayfd", "3", "-screen", "0",
                                     "1280x1024x24", "-nolisten", "tcp"},
            std::vector<std::string>{}, numberPipe[1]);
        ::close(numberPipe[1]);
        const int number = server_->Started() ? ReadDisplayNumber(numberPipe[0]) : -1;
        ::close(numberPipe[0]);
        if (number >= 0)
            display_ = ":" + std::to_string(number);
    }

    const std::string& Display() const { return display_; }
    // The prefix that runs a shell command on this display.
    std::string Env() const { return "env DISPLAY=" + display_ + " "; }

  private:
    std::unique_ptr<ChildProcess> server_;
    std::string display_;
};

// The program running on an X server of its own, driven with xdotool.
class ProgramOnXvfb {
  public:
    // `extraEnv` (such as "HOME=...") comes before the display settings and the inherited
    // environment.
    explicit ProgramOnXvfb(const std::string& program, std::vector<std::string> extraEnv = {}) {
        if (server_.Display().empty())
            return;
        for (std::string entry :
             {"DISPLAY=" + server_.Display(), std::string("QT_QPA_PLATFORM=xcb"),
              std::string("ASAN_OPTIONS=detect_leaks=0")})
            extraEnv.push_back(std::move(entry));
        window_ = std::make_unique<ChildProcess>(std::vector<std::string>{program}, extraEnv);
    }

    bool Started() const { return window_ && window_->Started(); }
    bool Running() const { return window_ && window_->Running(); }
    // The prefix that runs a shell command on this display.
    std::string Env() const { return server_.Env(); }

    // The id of the first window with that title, waiting up to `limit` for it; "" if none.
    std::string FindWindow(const std::string& title, std::chrono::seconds limit) const {
        std::string id;
        WaitFor(
            [&] {
                id = FirstLine(Env() + "xdotool search --name '" + title + "' 2>/dev/null");
                return !id.empty();
            },
            limit);
        return id;
    }
    bool Run(const std::string& xdotoolArguments) const {
        return std::system((Env() + "xdotool " + xdotoolArguments).c_str()) == 0;
    }
    // A screenshot of the whole screen at `png`; the number of its colours (0 on failure).
    int Screenshot(const std::string& png) const {
        if (std::system((Env() + "import -window root '" + png + "'").c_str()) != 0)
            return 0;
        const std::string colours = FirstLine("identify -format '%k' '" + png + "'");
        return colours.empty() ? 0 : std::stoi(colours);
    }

  private:
    XServer server_;
    std::unique_ptr<ChildProcess> window_;
};

}  // namespace mainwindow::testing
