#include "tests/ftp_servers/server_fixture.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <fstream>
#include <stdexcept>
#include <thread>

#include "tests/ftp_servers/file_bytes.h"
#include "tests/ftp_servers/loopback.h"

namespace ftptest {

namespace {

constexpr auto kStartTimeout = std::chrono::seconds(15);
const char* const kPython = "/usr/bin/python3";

std::string ScriptedServerPath() {
    return std::string(ZANTROPE_SOURCE_DIR) + "/tests/ftp_servers/scripted_ftp_server.py";
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

// Starts a server on a port picked just before; another process may take that port in
// between, so a server that exits at once is tried again on another port.
template <typename Start>
std::unique_ptr<ChildProcess> StartOnFreePort(int& port, Start start) {
    for (int attempt = 0;; ++attempt) {
        port = FreeLoopbackPort();
        std::unique_ptr<ChildProcess> process = start(port);
        try {
            WaitUntilAccepting(port, *process, kStartTimeout);
            return process;
        } catch (const std::runtime_error&) {
            if (attempt == 2 || process->Running()) {
                throw;
            }
        }
    }
}

// Waits until the server's log holds `marker` followed by a port number and returns it.
int PortFromLog(ChildProcess& server, const std::string& marker) {
    const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
    for (;;) {
        const std::string log = ReadFileBytes(server.log_path());
        const std::size_t at = log.find(marker);
        if (at != std::string::npos) {
            const std::size_t digits = at + marker.size();
            const std::size_t end = log.find_first_not_of("0123456789", digits);
            if (end != std::string::npos && end > digits && end - digits <= 5) {
                return std::stoi(log.substr(digits, end - digits));
            }
        }
        if (!server.Running()) {
            throw std::runtime_error("the server exited before it was ready (log " +
                                     server.log_path() + ")");
        }
        if (std::chrono::steady_clock::now() > deadline) {
            throw std::runtime_error("the server did not get ready in time (log " +
                                     server.log_path() + ")");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

}  // namespace

PyftpdlibServer::PyftpdlibServer(const std::string& user, const std::string& password)
    : folder_("pyftpdlib") {
    const std::string root = folder_.File("root");
    mkdir(root.c_str(), 0755);
    account_.host = "127.0.0.1";
    account_.user = user;
    account_.password = password;
    account_.remote_folder = std::string(1, '/');  // (a literal trips a GCC 12 -O2 false warning)
    account_.local_folder = root + "/";
    // Port 0 lets the kernel choose; the server names the port it got in its log, so no
    // other process can take it in between.
    process_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{kPython, "-m", "pyftpdlib", "-i", "127.0.0.1", "-p", "0", "-d",
                                 root, "-u", user, "-P", password, "-w"},
        folder_.File("server.log"), false);
    account_.port = PortFromLog(*process_, "starting FTP server on 127.0.0.1:");
    WaitUntilAccepting(account_.port, *process_, kStartTimeout);
}

void PyftpdlibServer::Pause() {
    kill(process_->pid(), SIGSTOP);
}

void PyftpdlibServer::Resume() {
    kill(process_->pid(), SIGCONT);
}

MicrosocksServer::MicrosocksServer(const std::string& user, const std::string& password)
    : folder_("microsocks") {
    process_ = StartOnFreePort(port_, [&](int port) {
        return std::make_unique<ChildProcess>(
            std::vector<std::string>{"/usr/bin/microsocks", "-i", "127.0.0.1", "-p",
                                     std::to_string(port), "-u", user, "-P", password},
            folder_.File("server.log"), false);
    });
}

ScriptedServer::ScriptedServer(Mode mode, const std::string& script_json) : folder_("scripted") {
    const std::string script = folder_.File("script.json");
    WriteFileBytes(script, ReplaceAll(script_json, "@DIR@", folder_.path()));
    WriteFileBytes(folder_.File("record.txt"), "");
    process_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{kPython, ScriptedServerPath(), "--mode",
                                 mode == Mode::kFtp ? "ftp" : "socks4", "--script", script,
                                 "--record", folder_.File("record.txt")},
        folder_.File("server.log"), true);
    const std::string line = process_->ReadLine(kStartTimeout);
    try {
        port_ = std::stoi(line);
    } catch (const std::exception&) {
        throw std::runtime_error("scripted server printed \"" + line + "\" instead of its port");
    }
}

std::vector<std::string> ScriptedServer::Recorded() const {
    std::vector<std::string> lines;
    std::ifstream in(folder_.File("record.txt"), std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

FtpTestServer::FtpTestServer() {
    if (std::optional<FtpAccount> outside = AccountFromEnvironment()) {
        account_ = *outside;
        return;
    }
    pyftpdlib_ = std::make_unique<PyftpdlibServer>("tester", "pass-word");
    account_ = pyftpdlib_->account();
}

FtpAccount FtpTestServer::NewWorkFolder() {
    static std::atomic<int> counter{0};
    // The folders stay for a look after a run; a process id comes round again on a long-lived
    // server, so a name already taken is passed over.
    FtpAccount work;
    for (;;) {
        const std::string name = "zt-" + std::to_string(getpid()) + "-" + std::to_string(++counter);
        work = account_;
        work.local_folder += name + "/";
        work.remote_folder += name + "/";
        if (mkdir(work.local_folder.c_str(), 0777) == 0)
            break;
        if (errno != EEXIST)
            throw std::runtime_error("cannot create " + work.local_folder);
    }
    // The umask cut the mode; a server running as another user must still write here.
    chmod(work.local_folder.c_str(), 0777);
    return work;
}

}  // namespace ftptest
