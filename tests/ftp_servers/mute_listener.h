#pragma once
// A loopback listener that lets clients connect and never says a word: the connection is
// made, and the client's wait for the server's greeting runs into its time-out (a server that
// hangs before it greets). Nothing is ever accepted or read.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace ftptest {

class MuteListener {
  public:
    // Throws std::runtime_error when the listener cannot be set up.
    MuteListener() {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        // The kernel completes the handshakes of the backlog on its own.
        if (listener_ < 0 ||
            ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            ::listen(listener_, 16) != 0 ||
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            if (listener_ >= 0)
                ::close(listener_);
            throw std::runtime_error("the mute listener could not be set up");
        }
        port_ = ntohs(address.sin_port);
    }
    MuteListener(const MuteListener&) = delete;
    MuteListener& operator=(const MuteListener&) = delete;
    ~MuteListener() { ::close(listener_); }
    int port() const { return port_; }

  private:
    int listener_ = -1;
    int port_ = 0;
};

}  // namespace ftptest
