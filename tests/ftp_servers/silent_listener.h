#pragma once
// A loopback listener that never accepts, its backlog filled: further connects get no answer,
// as from a server that does not answer (for connect time-outs and waits).
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace ftptest {

class SilentListener {
  public:
    SilentListener() {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length);
        ::listen(listener_, 0);
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        for (int& filler : fillers_) {
            filler = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            ::connect(filler, reinterpret_cast<sockaddr*>(&address), length);
        }
        ::usleep(100 * 1000);  // let the handshakes of the fillers settle
    }
    SilentListener(const SilentListener&) = delete;
    SilentListener& operator=(const SilentListener&) = delete;
    ~SilentListener() {
        for (int filler : fillers_)
            ::close(filler);
        ::close(listener_);
    }
    int port() const { return port_; }

  private:
    int listener_ = -1;
    int fillers_[3] = {-1, -1, -1};
    int port_ = 0;
};

}  // namespace ftptest
