// The program's real window on an X server of its own (Xvfb): the window appears with its
// title, and a screenshot of it is kept in the build folder (zantrope-window.png).
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <thread>

#include "mainwindow/main_form_test_support.h"

extern char** environ;

namespace mainwindow::testing {
namespace {

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
std::string FirstLine(const std::string& command) {
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
int ReadDisplayNumber(int fd) {
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

using Screenshot = MainFormTest;

TEST_F(Screenshot, ProgramWindowShowsUnderXvfb) {
    // The sites go in as a user's file would hold them, through the database tool.
    dm->VeskDatabase1->SetConnected(false);
    const std::string rows = folder_ + "sites.tsv";
    std::ofstream(rows) << "name\taddress\tport\tcdate\tzdate\n"
                        << "Example mirror\tftp.example.org\t21\t2026-01-02 03:04:05\t"
                           "2026-02-03 04:05:06\n"
                        << "Backup server\tbackup.example.net\t2121\t2026-03-04 05:06:07\t"
                           "2026-04-05 06:07:08\n";
    const std::string import = std::string("\"") + ZANTROPE_BIN_DIR + "/vesk\" import \"" +
                               folder_ + "all.dat\" ftpsite \"" + rows + "\" > /dev/null";
    ASSERT_EQ(std::system(import.c_str()), 0) << import;
    const std::string program = folder_ + "zantrope";
    std::filesystem::copy_file(std::string(ZANTROPE_APP_DIR) + "/zantrope", program);

    // The server picks a free display itself and tells its number.
    int numberPipe[2];
    ASSERT_EQ(::pipe(numberPipe), 0);
    ChildProcess server(
        {"/usr/bin/Xvfb", "-displayfd", "3", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"},
        {}, numberPipe[1]);
    ::close(numberPipe[1]);
    ASSERT_TRUE(server.Started());
    const int display = ReadDisplayNumber(numberPipe[0]);
    ::close(numberPipe[0]);
    ASSERT_GE(display, 0) << "the X server told no display";
    const std::string name = ":" + std::to_string(display);

    const std::string displayEnv = "DISPLAY=" + name;
    ChildProcess window({program},
                        {displayEnv, "QT_QPA_PLATFORM=xcb", "ASAN_OPTIONS=detect_leaks=0"});
    ASSERT_TRUE(window.Started());
    const std::string env = "env " + displayEnv + " ";
    std::string id;
    ASSERT_TRUE(WaitFor(
        [&] {
            id = FirstLine(env + "xdotool search --name 'Zantrope FREE Edition' 2>/dev/null");
            return !id.empty();
        },
        std::chrono::seconds(30)))
        << "no window appeared";
    EXPECT_EQ(FirstLine(env + "xdotool getwindowname " + id), "Zantrope FREE Edition");
    std::this_thread::sleep_for(std::chrono::seconds(2));  // let it paint
    EXPECT_TRUE(window.Running());

    const std::string png = std::string(ZANTROPE_BIN_DIR) + "/../zantrope-window.png";
    ASSERT_EQ(std::system((env + "import -window root '" + png + "'").c_str()), 0);
    // Not blank: a painted window has many colours, an empty screen one.
    const std::string colours = FirstLine("identify -format '%k' '" + png + "'");
    ASSERT_FALSE(colours.empty());
    EXPECT_GT(std::stoi(colours), 50) << png;
}

}  // namespace
}  // namespace mainwindow::testing
