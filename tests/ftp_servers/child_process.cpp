#include "tests/ftp_servers/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace ftptest {

namespace {

void Check(int rc, const char* what) {
    if (rc != 0) {
        throw std::runtime_error(std::string(what) + ": " + std::strerror(rc));
    }
}

// Whether the process has exited, without reaping it (its zombie keeps the group id taken).
bool LeaderExited(pid_t pid) {
    siginfo_t info{};
    return waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == pid;
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const std::string& log_path,
                           bool capture_stdout)
    : log_path_(log_path) {
    int pipe_fds[2] = {-1, -1};
    if (capture_stdout && pipe2(pipe_fds, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe: " + std::string(std::strerror(errno)));
    }
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
    // A group of its own lets the destructor stop the helper's own children too (a server that
    // forks one process per session).
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, log_path.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                     0644);
    if (capture_stdout) {
        posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], 1);
    } else {
        posix_spawn_file_actions_adddup2(&actions, 2, 1);
    }
    std::vector<char*> args;
    for (const std::string& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    const int rc = posix_spawn(&pid_, args[0], &actions, &attributes, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (capture_stdout) {
        close(pipe_fds[1]);
        stdout_fd_ = pipe_fds[0];
    }
    if (rc != 0) {
        if (stdout_fd_ >= 0) {
            close(stdout_fd_);
        }
        Check(rc, ("cannot start " + argv[0]).c_str());
    }
}

ChildProcess::~ChildProcess() {
    if (stdout_fd_ >= 0) {
        close(stdout_fd_);
    }
    if (pid_ <= 0 || reaped_) {
        return;
    }
    kill(-pid_, SIGTERM);
    for (int i = 0; i < 100 && !LeaderExited(pid_); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    // The leader is not reaped yet, so its PID still names only this group.
    kill(-pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
}

bool ChildProcess::Running() {
    if (reaped_) {
        return false;
    }
    if (LeaderExited(pid_)) {
        ReapExited();
        return false;
    }
    return true;
}

void ChildProcess::ReapExited() {
    kill(-pid_, SIGKILL);  // what the leader left of its group
    int status = 0;
    waitpid(pid_, &status, 0);
    reaped_ = true;
    exit_status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int ChildProcess::Wait() {
    if (reaped_) {
        return exit_status_;
    }
    siginfo_t info{};
    while (waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOWAIT) != 0 &&
           errno == EINTR) {
    }
    ReapExited();
    return exit_status_;
}

std::string ChildProcess::ReadLine(std::chrono::milliseconds timeout) {
    if (stdout_fd_ < 0) {
        throw std::runtime_error("the helper's stdout is not captured");
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const std::size_t end = pending_.find('\n');
        if (end != std::string::npos) {
            std::string line = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            return line;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            throw std::runtime_error("the helper printed no line in time (log " + log_path_ + ")");
        }
        pollfd p{stdout_fd_, POLLIN, 0};
        const int ready = poll(&p, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno != EINTR) {
            throw std::runtime_error("poll: " + std::string(std::strerror(errno)));
        }
        if (ready > 0) {
            char buffer[256];
            const ssize_t n = read(stdout_fd_, buffer, sizeof buffer);
            if (n <= 0) {
                throw std::runtime_error("the helper closed its output (log " + log_path_ + ")");
            }
            pending_.append(buffer, static_cast<std::size_t>(n));
        }
    }
}

}  // namespace ftptest
