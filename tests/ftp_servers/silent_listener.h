#pragma once
// A loopback listener that never accepts, its backlog filled: further connects get no answer,
// as from a server that does not answer (for connect time-outs and waits).
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace ftptest {

class SilentListener {
  public:
    // Throws std::runtime_error when the listener cannot be set up: a test would otherwise
    // connect to port 0 and be refused at once instead of kept waiting.
    SilentListener() {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (listener_ < 0 ||
            ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            ::listen(listener_, 0) != 0 ||
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            Close();
            throw std::runtime_error("the silent listener could not be set up");
        }
        port_ = ntohs(address.sin_port);
        for (int& filler : fillers_) {
            filler = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            if (filler < 0) {
                Close();
                throw std::runtime_error("the silent listener's backlog could not be filled");
            }
            ::connect(filler, reinterpret_cast<sockaddr*>(&address), length);  // in progress
        }
        ::usleep(100 * 1000);  // let the handshakes of the fillers settle
    }
    SilentListener(const SilentListener&) = delete;
    SilentListener& operator=(const SilentListener&) = delete;
    ~SilentListener() { Close(); }
    int port() const { return port_; }

  private:
    void Close() {
        for (int filler : fillers_) {
            if (filler >= 0)
                ::close(filler);
        }
        if (listener_ >= 0)
            ::close(listener_);
    }

    int listener_ = -1;
    int fillers_[3] = {-1, -1, -1};
    int port_ = 0;
};

}  // namespace ftptest
