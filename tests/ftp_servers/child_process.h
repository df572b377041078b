#pragma once
// A helper program started for a test and stopped by its PID when the object goes.
#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace ftptest {

class ChildProcess {
  public:
    // Starts `argv[0]` (a full path) with the given arguments in a process group of its own.
    // Its stderr goes to `log_path` (appended); its stdout to a pipe that ReadLine reads when
    // `capture_stdout` is set, otherwise to the log as well. Throws std::runtime_error when the
    // program cannot be started.
    ChildProcess(const std::vector<std::string>& argv, const std::string& log_path,
                 bool capture_stdout);
    // Stops the process group (SIGTERM, then SIGKILL after a grace period) and reaps it.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // One line of the child's stdout without its line end. Throws std::runtime_error when the
    // child closes stdout or prints nothing within `timeout`.
    std::string ReadLine(std::chrono::milliseconds timeout);
    // True while the child has not exited. Reaps it when it has.
    bool Running();
    // Blocks until the child exits; returns its exit status, or -1 when a signal ended it.
    int Wait();
    pid_t pid() const { return pid_; }
    const std::string& log_path() const { return log_path_; }

  private:
    // Stops what is left of the group of the exited leader, then reaps the leader.
    void ReapExited();

    pid_t pid_ = -1;
    int stdout_fd_ = -1;
    bool reaped_ = false;
    int exit_status_ = -1;
    std::string log_path_;
    std::string pending_;
};

}  // namespace ftptest
