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

// An X server of its own with the program running on it, started in `folder`.
class ProgramOnXvfb {
  public:
    explicit ProgramOnXvfb(const std::string& program) {
        // The server picks a free display itself and tells its number.
        int numberPipe[2];
        if (::pipe(numberPipe) != 0)
            return;
        server_ = std::make_unique<ChildProcess>(
            std::vector<std::string>{"/usr/bin/Xvfb", "-displayfd", "3", "-screen", "0",
                                     "1280x1024x24", "-nolisten", "tcp"},
            std::vector<std::string>{}, numberPipe[1]);
        ::close(numberPipe[1]);
        display_ = ReadDisplayNumber(numberPipe[0]);
        ::close(numberPipe[0]);
        if (!server_->Started() || display_ < 0)
            return;
        const std::string displayEnv = "DISPLAY=:" + std::to_string(display_);
        env_ = "env " + displayEnv + " ";
        window_ = std::make_unique<ChildProcess>(
            std::vector<std::string>{program},
            std::vector<std::string>{displayEnv, "QT_QPA_PLATFORM=xcb",
                                     "ASAN_OPTIONS=detect_leaks=0"});
    }

    bool Started() const { return window_ && window_->Started(); }
    bool Running() const { return window_ && window_->Running(); }
    // The command line prefix that runs a command on this display.
    const std::string& Env() const { return env_; }

    // The id of the first window with that title, waiting up to `limit` for it; "" if none.
    std::string FindWindow(const std::string& title, std::chrono::seconds limit) const {
        std::string id;
        WaitFor(
            [&] {
                id = FirstLine(env_ + "xdotool search --name '" + title + "' 2>/dev/null");
                return !id.empty();
            },
            limit);
        return id;
    }
    bool Run(const std::string& xdotoolArguments) const {
        return std::system((env_ + "xdotool " + xdotoolArguments).c_str()) == 0;
    }
    // A screenshot of the whole screen at `png`; the number of its colours (0 on failure).
    int Screenshot(const std::string& png) const {
        if (std::system((env_ + "import -window root '" + png + "'").c_str()) != 0)
            return 0;
        const std::string colours = FirstLine("identify -format '%k' '" + png + "'");
        return colours.empty() ? 0 : std::stoi(colours);
    }

  private:
    std::unique_ptr<ChildProcess> server_;
    int display_ = -1;
    std::string env_;
    std::unique_ptr<ChildProcess> window_;
};

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

// On a freshly built "all.dat" without sites, a site is made through the new-site dialog with
// the keyboard; it is stored and listed, and a double click on it opens its page (which the
// layout file written at exit shows). Screenshots are kept in the build folder
// (zantrope-new-site.png with the dialog filled in, zantrope-site-page.png with the page).
TEST_F(Screenshot, ASiteIsMadeWithTheKeyboardAndOpenedWithADoubleClick) {
    dm->VeskDatabase1->SetConnected(false);
    const std::string program = folder_ + "zantrope";
    std::filesystem::copy_file(std::string(ZANTROPE_APP_DIR) + "/zantrope", program);
    ProgramOnXvfb x(program);
    ASSERT_TRUE(x.Started());
    ASSERT_FALSE(x.FindWindow("Zantrope FREE Edition", std::chrono::seconds(30)).empty())
        << "no window appeared";
    std::this_thread::sleep_for(std::chrono::seconds(1));

    // The site list fills the window's right side (no window manager: the window fills the
    // screen); its items are large icons, "NewFTPSite" first.
    constexpr const char* kNewSiteItem = "369 123";
    constexpr const char* kFirstSiteItem = "482 123";
    ASSERT_TRUE(x.Run(std::string("mousemove ") + kNewSiteItem + " click --repeat 2 --delay 80 1"));
    const std::string dialog = x.FindWindow("New FTP Site", std::chrono::seconds(10));
    ASSERT_FALSE(dialog.empty()) << "the double click on NewFTPSite opened no dialog";
    ASSERT_TRUE(x.Run("windowfocus --sync " + dialog));
    // The name has the focus; Tab goes on to the address, port, user name and password.
    ASSERT_TRUE(x.Run("type --delay 20 'Local test'"));
    ASSERT_TRUE(x.Run("key Tab"));
    ASSERT_TRUE(x.Run("type --delay 20 '127.0.0.1'"));
    ASSERT_TRUE(x.Run("key Tab ctrl+a"));
    ASSERT_TRUE(x.Run("type --delay 20 '2121'"));
    ASSERT_TRUE(x.Run("key Tab ctrl+a"));
    ASSERT_TRUE(x.Run("type --delay 20 'user'"));
    ASSERT_TRUE(x.Run("key Tab ctrl+a"));
    ASSERT_TRUE(x.Run("type --delay 20 'secret'"));
    const std::string build = std::string(ZANTROPE_BIN_DIR) + "/../";
    EXPECT_GT(x.Screenshot(build + "zantrope-new-site.png"), 50);
    ASSERT_TRUE(x.Run("key Return"));  // OK is the default button
    ASSERT_TRUE(WaitFor(
        [&] {
            return FirstLine(x.Env() + "xdotool search --name 'New FTP Site' 2>/dev/null").empty();
        },
        std::chrono::seconds(10)))
        << "the dialog stayed open";

    dm->VeskDatabase1->SetConnected(true);
    EXPECT_EQ(Column(*dm->Tftpsite, "name"), std::vector<std::string>{"Local test"});
    EXPECT_EQ(Column(*dm->Tftpsite, "address"), std::vector<std::string>{"127.0.0.1"});
    EXPECT_EQ(Column(*dm->Tftpsite, "port"), std::vector<std::string>{"2121"});
    EXPECT_EQ(Column(*dm->Tftpsite, "username"), std::vector<std::string>{"user"});
    EXPECT_EQ(Column(*dm->Tftpsite, "password"), std::vector<std::string>{"secret"});
    dm->VeskDatabase1->SetConnected(false);

    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ASSERT_TRUE(
        x.Run(std::string("mousemove ") + kFirstSiteItem + " click --repeat 2 --delay 80 1"));
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_GT(x.Screenshot(build + "zantrope-site-page.png"), 50);
    EXPECT_TRUE(x.Running());

    // "Exit" on the banner: the shut-down saves the page layout only when a page exists.
    ASSERT_TRUE(x.Run("mousemove 402 17 click 1"));
    ASSERT_TRUE(WaitFor([&] { return !x.Running(); }, std::chrono::seconds(20)));
    EXPECT_EQ(LayoutValue("FTP", "INFO") != "<none>", true) << "no page was opened";
}

}  // namespace
}  // namespace mainwindow::testing
