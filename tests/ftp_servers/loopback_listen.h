#pragma once
// For tests only: a listening TCP socket on a free loopback port.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace ftptest {

// Opens a socket listening on 127.0.0.1 with `backlog`, on a port the kernel picks, and
// stores that port in `port` and its address in `address`. Returns the socket, or -1 (with
// nothing left open) when a step failed.
inline int ListenOnLoopback(int backlog, int& port, sockaddr_in& address) {
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    address = sockaddr_in{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener < 0 || ::bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener, backlog) != 0 ||
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        if (listener >= 0)
            ::close(listener);
        return -1;
    }
    port = ntohs(address.sin_port);
    return listener;
}

}  // namespace ftptest
