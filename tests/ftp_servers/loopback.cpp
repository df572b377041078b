#include "tests/ftp_servers/loopback.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>
#include <string>
#include <thread>

#include "tests/ftp_servers/child_process.h"

namespace ftptest {

namespace {

sockaddr_in LoopbackAddress(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

class Socket {
  public:
    Socket() : fd_(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        if (fd_ < 0) {
            throw std::runtime_error("socket() failed");
        }
    }
    ~Socket() { close(fd_); }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int fd() const { return fd_; }

  private:
    int fd_;
};

}  // namespace

int FreeLoopbackPort() {
    Socket s;
    sockaddr_in address = LoopbackAddress(0);
    if (bind(s.fd(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        throw std::runtime_error("cannot bind a loopback port");
    }
    socklen_t length = sizeof address;
    getsockname(s.fd(), reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}

void WaitUntilAccepting(int port, ChildProcess& server, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        {
            Socket s;
            sockaddr_in address = LoopbackAddress(port);
            if (connect(s.fd(), reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
                return;
            }
        }
        if (!server.Running()) {
            throw std::runtime_error("the server exited before it accepted connections (log " +
                                     server.log_path() + ")");
        }
        if (std::chrono::steady_clock::now() > deadline) {
            throw std::runtime_error("the server did not accept connections in time (log " +
                                     server.log_path() + ")");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

}  // namespace ftptest
