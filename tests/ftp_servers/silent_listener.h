#pragma once
// A loopback listener that never accepts, its backlog filled: further connects get no answer,
// as from a server that does not answer (for connect time-outs and waits).
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

#include "tests/ftp_servers/loopback_listen.h"

namespace ftptest {

class SilentListener {
  public:
    // Throws std::runtime_error when the listener cannot be set up: a test would otherwise
    // connect to port 0 and be refused at once instead of kept waiting.
    SilentListener() {
        sockaddr_in address{};
        listener_ = ListenOnLoopback(0, port_, address);
        if (listener_ < 0)
            throw std::runtime_error("the silent listener could not be set up");
        for (int& filler : fillers_) {
            filler = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            if (filler < 0) {
                Close();
                throw std::runtime_error("the silent listener's backlog could not be filled");
            }
            ::connect(filler, reinterpret_cast<sockaddr*>(&address),
                      sizeof address);  // in progress
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
