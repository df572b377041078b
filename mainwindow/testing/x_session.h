#pragma once
// For tests only: the real program on an X server of its own (Xvfb): child processes stopped
// and reaped by their owner, the server's display number, shell commands' first output lines,
// waiting for a condition with a bound, and finding the program's controls through the
// accessibility tree (a private session bus per run; mainwindow/testing/atspi_find.py).
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
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace mainwindow::testing {

// A child process, stopped (SIGTERM, then SIGKILL) and reaped when the object goes.
class ChildProcess {
  public:
    // extraEnv comes before the inherited environment, so its entries win. passFd, when not
    // -1, becomes the child's descriptor 3. The child's output and errors go to `outputPath`.
    ChildProcess(const std::vector<std::string>& arguments,
                 const std::vector<std::string>& extraEnv, int passFd = -1,
                 const std::string& outputPath = "/dev/null") {
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
        posix_spawn_file_actions_addopen(&actions, 1, outputPath.c_str(),
                                         O_WRONLY | O_CREAT | O_APPEND, 0600);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
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

// The first line a child wrote to `fd` (without its line end), "" when none came in time.
inline std::string ReadFirstLine(int fd) {
    std::string text;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (std::chrono::steady_clock::now() < end) {
        pollfd wait{fd, POLLIN, 0};
        if (::poll(&wait, 1, 200) <= 0)
            continue;
        char buffer[256];
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got <= 0)
            break;
        text.append(buffer, static_cast<std::size_t>(got));
        const std::size_t lineEnd = text.find('\n');
        if (lineEnd != std::string::npos)
            return text.substr(0, lineEnd);
    }
    return "";
}

// The display number the X server wrote to `fd` (its -displayfd), -1 when none came in time.
inline int ReadDisplayNumber(int fd) {
    const std::string text = ReadFirstLine(fd);
    return text.empty() || !std::isdigit(static_cast<unsigned char>(text[0])) ? -1
                                                                              : std::stoi(text);
}

// `text` as one word for the shell.
inline std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// How long a test waits for the program's main window: a sanitized build starting beside a
// full parallel suite, with the accessibility bus started on demand, can take half a minute.
inline constexpr std::chrono::seconds kProgramStartLimit{90};

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

// A private session bus for one run, so the program's accessibility tree is the only one the
// test sees; Address() is "" when it did not start.
class SessionBus {
  public:
    SessionBus() {
        // The accessibility bus the session starts keeps its socket in the runtime folder, by
        // default one under the user's home that every run on the machine shares: the first
        // run to end would take the others' socket with it.
        std::string runtime = "/tmp/zantrope-bus-XXXXXX";
        if (::mkdtemp(runtime.data()) == nullptr)
            return;
        runtime_ = runtime;
        int addressPipe[2];
        if (::pipe(addressPipe) != 0)
            return;
        daemon_ = std::make_unique<ChildProcess>(
            std::vector<std::string>{"/usr/bin/dbus-daemon", "--session", "--nofork",
                                     "--print-address=3"},
            std::vector<std::string>{"XDG_RUNTIME_DIR=" + runtime_}, addressPipe[1]);
        ::close(addressPipe[1]);
        if (daemon_->Started())
            address_ = ReadFirstLine(addressPipe[0]);
        ::close(addressPipe[0]);
    }

    ~SessionBus() {
        daemon_.reset();
        if (!runtime_.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(runtime_, ignored);
        }
    }
    SessionBus(const SessionBus&) = delete;
    SessionBus& operator=(const SessionBus&) = delete;

    const std::string& Address() const { return address_; }

  private:
    std::string runtime_;
    std::unique_ptr<ChildProcess> daemon_;
    std::string address_;
};

// A control of the running program as the accessibility tree shows it, such as
// `Control::Of("push button", "Exit")` or `Control::Of("table cell", "a\\.txt").In("Find")`.
// name, window and description are regular expressions matching the whole text, "" for any;
// `name` matches the control's name or its text (or its hint where it has no name).
struct Control {
    std::string role;  // "push button", "page tab", "menu item", "table cell", "text", ...
    std::string name;
    std::string window;       // the name (title) of the top-level window it is in
    std::string description;  // its hint
    int index = 0;            // the index-th match, counting from 0, in tree order
    bool showing = true;      // only controls shown on the screen

    static Control Of(std::string role, std::string name) {
        Control control;
        control.role = std::move(role);
        control.name = std::move(name);
        return control;
    }
    Control In(std::string windowName) const {
        Control control = *this;
        control.window = std::move(windowName);
        return control;
    }
    Control Described(std::string hint) const {
        Control control = *this;
        control.description = std::move(hint);
        return control;
    }
    Control At(int matchIndex) const {
        Control control = *this;
        control.index = matchIndex;
        return control;
    }
    // Hidden controls too (a page behind another, a closed menu's items).
    Control EvenHidden() const {
        Control control = *this;
        control.showing = false;
        return control;
    }
};

// A control's place on the screen.
struct ScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int CentreX() const { return x + width / 2; }
    int CentreY() const { return y + height / 2; }
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
              std::string("ASAN_OPTIONS=detect_leaks=0"),
              "DBUS_SESSION_BUS_ADDRESS=" + bus_.Address(),
              std::string("QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1")})
            extraEnv.push_back(std::move(entry));
        std::string log = "/tmp/zantrope-program-XXXXXX";
        const int logFd = ::mkstemp(log.data());
        if (logFd != -1) {
            ::close(logFd);
            log_ = log;
        }
        window_ = std::make_unique<ChildProcess>(std::vector<std::string>{program}, extraEnv, -1,
                                                 log_.empty() ? "/dev/null" : log_);
    }
    ~ProgramOnXvfb() {
        window_.reset();
        if (!log_.empty())
            ::unlink(log_.c_str());
    }
    ProgramOnXvfb(const ProgramOnXvfb&) = delete;
    ProgramOnXvfb& operator=(const ProgramOnXvfb&) = delete;

    // What the program wrote to its output and errors so far (its last 8 KiB), for explaining
    // a failure such as a window that never came.
    std::string ProgramOutput() const {
        std::string text;
        if (FILE* file = log_.empty() ? nullptr : std::fopen(log_.c_str(), "rb")) {
            char buffer[4096];
            std::size_t got = 0;
            while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
                text.append(buffer, got);
            std::fclose(file);
        }
        constexpr std::size_t kTail = 8192;
        return "program output:\n" +
               (text.size() > kTail ? text.substr(text.size() - kTail) : text) +
               (Running() ? "\n(still running)" : "\n(not running)");
    }

    bool Started() const { return window_ && window_->Started(); }
    bool Running() const { return window_ && window_->Running(); }
    // The prefix that runs a shell command on this display and the run's session bus.
    std::string Env() const {
        return server_.Env() + "DBUS_SESSION_BUS_ADDRESS=" + ShellQuoted(bus_.Address()) + " ";
    }

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

    // Where `control` is on the screen, waiting up to `limit` for it to appear.
    std::optional<ScreenRect> Locate(const Control& control, std::chrono::seconds limit) const {
        std::optional<ScreenRect> place;
        WaitFor(
            [&] {
                const std::string line = FirstLine(Find("locate", control));
                ScreenRect rect;
                if (std::sscanf(line.c_str(), "%d %d %d %d", &rect.x, &rect.y, &rect.width,
                                &rect.height) != 4)
                    return false;
                place = rect;
                return true;
            },
            limit);
        return place;
    }
    // Moves the pointer onto the centre of `control` and clicks it with `button` (`clicks`
    // times); false when the control did not appear within `limit`.
    bool Click(const Control& control, std::chrono::seconds limit = std::chrono::seconds(10),
               int button = 1, int clicks = 1) const {
        const std::optional<ScreenRect> place = Locate(control, limit);
        return place && Run("mousemove " + std::to_string(place->CentreX()) + " " +
                            std::to_string(place->CentreY()) + " click --repeat " +
                            std::to_string(clicks) + " --delay 80 " + std::to_string(button));
    }
    // The text `control` shows (its name where it has no text); "" when it is not there.
    std::string Text(const Control& control) const { return FirstLine(Find("text", control)); }
    // The states of `control`, blank-separated ("focusable selected showing ..."); "" when it
    // is not there.
    std::string States(const Control& control) const { return FirstLine(Find("states", control)); }
    // How many controls match; -1 when the finder gave no count (no bus, a failed run), so that
    // a check for none cannot pass on a finder that did not answer.
    int Count(const Control& control) const {
        const std::string line = FirstLine(Find("count", control));
        return line.empty() || !std::isdigit(static_cast<unsigned char>(line[0])) ? -1
                                                                                  : std::stoi(line);
    }
    // The accessibility tree, one control a line ("role | name | description | text"), for
    // writing a test or explaining a failure.
    std::string Dump() const {
        std::string tree;
        if (FILE* pipe = ::popen(Find("dump", Control().EvenHidden()).c_str(), "r")) {
            char buffer[4096];
            std::size_t got = 0;
            while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
                tree.append(buffer, got);
            ::pclose(pipe);
        }
        return tree;
    }

  private:
    // The finder's command line for `verb` on `control`.
    std::string Find(const std::string& verb, const Control& control) const {
        std::string command =
            Env() + "/usr/bin/python3 " +
            ShellQuoted(std::string(ZANTROPE_SOURCE_DIR) + "/mainwindow/testing/atspi_find.py") +
            " " + verb;
        const std::pair<const char*, const std::string*> filters[] = {
            {"--role", &control.role},
            {"--name", &control.name},
            {"--window", &control.window},
            {"--description", &control.description}};
        for (const auto& [flag, value] : filters)
            if (!value->empty())
                command += std::string(" ") + flag + " " + ShellQuoted(*value);
        if (control.showing && verb != "dump")
            command += " --showing";
        if (control.index != 0)
            command += " --index " + std::to_string(control.index);
        return command + " 2>/dev/null";
    }

    XServer server_;
    SessionBus bus_;
    std::string log_;
    std::unique_ptr<ChildProcess> window_;
};

}  // namespace mainwindow::testing
