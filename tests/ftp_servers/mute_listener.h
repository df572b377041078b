#pragma once
// A loopback listener that lets clients connect and never says a word: the connection is
// made, and the client's wait for the server's greeting runs into its time-out (a server that
// hangs before it greets). Nothing is ever accepted or read.
#include <unistd.h>

#include <stdexcept>

#include "tests/ftp_servers/loopback_listen.h"

namespace ftptest {

class MuteListener {
  public:
    // Throws std::runtime_error when the listener cannot be set up.
    MuteListener() {
        // The kernel completes the handshakes of the backlog on its own.
        sockaddr_in address{};
        listener_ = ListenOnLoopback(16, port_, address);
        if (listener_ < 0)
            throw std::runtime_error("the mute listener could not be set up");
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
