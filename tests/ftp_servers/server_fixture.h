#pragma once
// Test servers on random loopback ports, each started by its object and stopped by PID when
// the object goes: pyftpdlib, microsocks, our scripted FTP/SOCKS 4 server, and the rule that
// picks the FTP server the integration tests run against.
//
// Every constructor blocks until its server accepts connections and throws
// std::runtime_error (naming the server's log) when it does not come up.
#include <memory>
#include <string>
#include <vector>

#include "tests/ftp_servers/child_process.h"
#include "tests/ftp_servers/ftp_account.h"
#include "tests/ftp_servers/temp_folder.h"

namespace ftptest {

// pyftpdlib serving a new temporary folder with write rights for one user.
class PyftpdlibServer {
  public:
    PyftpdlibServer(const std::string& user, const std::string& password);
    // remote_folder "/", local_folder the served temporary folder.
    const FtpAccount& account() const { return account_; }
    // Stops (SIGSTOP) and continues (SIGCONT) the server process: a server that stops
    // answering while its connections stay open.
    void Pause();
    void Resume();
    // The server's log (its stderr): pyftpdlib writes each login and command outcome there.
    const std::string& LogPath() const { return process_->log_path(); }

  private:
    TempFolder folder_;
    FtpAccount account_;
    std::unique_ptr<ChildProcess> process_;
};

// microsocks (SOCKS 5) requiring the given user and password.
class MicrosocksServer {
  public:
    MicrosocksServer(const std::string& user, const std::string& password);
    int port() const { return port_; }

  private:
    TempFolder folder_;
    int port_ = 0;
    std::unique_ptr<ChildProcess> process_;
};

// Our scripted server (tests/ftp_servers/scripted_ftp_server.py, whose header describes the
// script). "@DIR@" in the script stands for the server's private folder, e.g. for the file a
// "data_recv" action writes.
class ScriptedServer {
  public:
    enum class Mode { kFtp, kSocks4 };
    ScriptedServer(Mode mode, const std::string& script_json);
    int port() const { return port_; }
    // The private folder, without a trailing "/".
    const std::string& folder() const { return folder_.path(); }
    // The requests received so far, one per element, as the record file holds them.
    std::vector<std::string> Recorded() const;

  private:
    TempFolder folder_;
    int port_ = 0;
    std::unique_ptr<ChildProcess> process_;
};

// The FTP server of the integration tests: the one named by FTP_TEST_URL and FTP_TEST_ROOT
// when set, otherwise a pyftpdlib of its own.
class FtpTestServer {
  public:
    FtpTestServer();
    // Whether the server is an outside one named by the environment.
    bool external() const { return pyftpdlib_ == nullptr; }
    const FtpAccount& account() const { return account_; }
    // The own pyftpdlib, or nullptr for an outside server.
    PyftpdlibServer* pyftpdlib() { return pyftpdlib_.get(); }
    // A new empty folder under the account's folder for one test, writable by the server;
    // both paths end in "/". Outside servers may be shared by tests running at once, so the
    // name is unique to this process and call.
    FtpAccount NewWorkFolder();

  private:
    std::unique_ptr<PyftpdlibServer> pyftpdlib_;
    FtpAccount account_;
};

}  // namespace ftptest
