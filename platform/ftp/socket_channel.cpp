#include "platform/ftp/socket_channel.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

#include "platform/ftp/id_exceptions.h"

namespace ftp {

namespace {

std::string AddressText(const sockaddr_in& address) {
    char text[INET_ADDRSTRLEN] = {};
    if (!inet_ntop(AF_INET, &address.sin_addr, text, sizeof text))
        return std::string();
    return text;
}

}  // namespace

std::string SocketErrorText(int error) {
    return "Socket Error # " + std::to_string(error) + "\n" + std::strerror(error);
}

SocketChannel::SocketChannel(int fd) : fd_(fd) {
    if (fd_ >= 0) {
        const int flags = fcntl(fd_, F_GETFL, 0);
        if (flags >= 0)
            fcntl(fd_, F_SETFL, flags | O_NONBLOCK);
    }
}

SocketChannel::~SocketChannel() {
    Close();
}

void SocketChannel::Close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

ssize_t SocketChannel::TryRecv(char* buffer, std::size_t size) {
    if (fd_ < 0)
        return 0;
    for (;;) {
        const ssize_t n = ::recv(fd_, buffer, size, 0);
        if (n >= 0)
            return n;
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return -1;
        // A reset is no end of stream: a file cut off by it must not pass for complete.
        if (errno == ENOTCONN || errno == EPIPE)
            return 0;
        throw EIdSocketError(errno, SocketErrorText(errno));
    }
}

ssize_t SocketChannel::TrySend(const char* data, std::size_t size) {
    if (fd_ < 0)
        return -1;
    for (;;) {
        const ssize_t n = ::send(fd_, data, size, MSG_NOSIGNAL);
        if (n >= 0)
            return n;
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return 0;
        if (errno == ECONNRESET || errno == EPIPE || errno == ENOTCONN)
            return -1;
        throw EIdSocketError(errno, SocketErrorText(errno));
    }
}

int SocketChannel::TryAccept(std::string* peerAddress) {
    if (fd_ < 0)
        return -1;
    for (;;) {
        sockaddr_in address{};
        socklen_t length = sizeof address;
        const int accepted =
            ::accept4(fd_, reinterpret_cast<sockaddr*>(&address), &length, SOCK_CLOEXEC);
        if (accepted >= 0) {
            if (peerAddress)
                *peerAddress = address.sin_family == AF_INET ? AddressText(address) : "";
            return accepted;
        }
        if (errno == EINTR || errno == ECONNABORTED)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return -1;
        throw EIdSocketError(errno, SocketErrorText(errno));
    }
}

std::string SocketChannel::LocalAddress() const {
    return EndAddress(false);
}

std::string SocketChannel::PeerAddress() const {
    return EndAddress(true);
}

std::string SocketChannel::EndAddress(bool peer) const {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    auto* raw = reinterpret_cast<sockaddr*>(&address);
    const int result = peer ? getpeername(fd_, raw, &length) : getsockname(fd_, raw, &length);
    if (fd_ < 0 || result != 0 || address.sin_family != AF_INET)
        return std::string();
    return AddressText(address);
}

}  // namespace ftp
