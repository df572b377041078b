#include "platform/ftp/tcp_connector.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/ftp/id_exceptions.h"
#include "platform/ftp/progress_wait.h"
#include "platform/ftp/socket_channel.h"
#include "platform/os/clock.h"

namespace ftp {

namespace {

// Shared between the caller and the worker; whoever finishes last frees it. The worker makes
// `finished` readable when it is done, so the caller's wait wakes on it like on a socket.
struct ConnectJob {
    ConnectJob() : finished(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
        if (finished < 0)
            throw EIdSocketError(errno, SocketErrorText(errno));
    }
    ~ConnectJob() { ::close(finished); }
    ConnectJob(const ConnectJob&) = delete;
    ConnectJob& operator=(const ConnectJob&) = delete;

    std::mutex mutex;
    const int finished;
    bool abandoned = false;
    int fd = -1;
    int error = 0;
    std::string message;
    std::array<std::uint8_t, 4> alsoResolved{};
};

bool Abandoned(ConnectJob& job) {
    std::lock_guard<std::mutex> lock(job.mutex);
    return job.abandoned;
}

// Resolves an IPv4 address; false with a message on failure.
bool Resolve(const std::string& host, std::uint16_t port, addrinfo** result, std::string& message) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    const std::string service = std::to_string(port);
    const int status = getaddrinfo(host.c_str(), service.c_str(), &hints, result);
    if (status != 0) {
        message = "Host not found: " + host + " (" + gai_strerror(status) + ")";
        return false;
    }
    return true;
}

// Non-blocking connect to one address, waiting in short polls so an abandoned job ends soon.
int ConnectOne(const addrinfo& address, ConnectJob& job, std::int64_t deadline, int& error) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        error = errno;
        return -1;
    }
    if (::connect(fd, address.ai_addr, address.ai_addrlen) == 0)
        return fd;
    if (errno != EINPROGRESS) {
        error = errno;
        ::close(fd);
        return -1;
    }
    for (;;) {
        pollfd entry{fd, POLLOUT, 0};
        const int result = ::poll(&entry, 1, 100);
        if (result > 0) {
            int soError = 0;
            socklen_t length = sizeof soError;
            getsockopt(fd, SOL_SOCKET, SO_ERROR, &soError, &length);
            if (soError == 0)
                return fd;
            error = soError;
            ::close(fd);
            return -1;
        }
        if (Abandoned(job) || (deadline > 0 && os::TickCountMs() >= deadline)) {
            error = ETIMEDOUT;
            ::close(fd);
            return -1;
        }
    }
}

void RunJob(const std::shared_ptr<ConnectJob>& job, std::string host, std::uint16_t port,
            int timeoutMs, std::optional<std::string> alsoResolve) {
    const std::int64_t deadline = timeoutMs > 0 ? os::TickCountMs() + timeoutMs : 0;
    int fd = -1;
    int error = 0;
    std::string message;
    addrinfo* addresses = nullptr;
    if (Resolve(host, port, &addresses, message)) {
        for (addrinfo* a = addresses; a && fd < 0; a = a->ai_next) {
            fd = ConnectOne(*a, *job, deadline, error);
        }
        freeaddrinfo(addresses);
        if (fd < 0)
            message = SocketErrorText(error ? error : ECONNREFUSED);
    }
    std::array<std::uint8_t, 4> extra{};
    if (fd >= 0 && alsoResolve) {
        addrinfo* found = nullptr;
        if (Resolve(*alsoResolve, 0, &found, message)) {
            const auto* in = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
            std::memcpy(extra.data(), &in->sin_addr.s_addr, 4);
            freeaddrinfo(found);
        } else {
            ::close(fd);
            fd = -1;
        }
    }
    std::lock_guard<std::mutex> lock(job->mutex);
    if (job->abandoned) {
        if (fd >= 0)
            ::close(fd);
    } else {
        job->fd = fd;
        job->error = error;
        job->message = message;
        job->alsoResolved = extra;
    }
    const std::uint64_t one = 1;
    // An eventfd write of 8 bytes cannot fail short of an overflow, which one write never makes.
    [[maybe_unused]] const ssize_t written = ::write(job->finished, &one, sizeof one);
}

// The address of a host given as a numeric IPv4 address (a PASV reply's, a site's "127.0.0.1"),
// nullopt for a name.
std::optional<sockaddr_in> NumericAddress(const std::string& host, std::uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    if (inet_pton(AF_INET, host.c_str(), &address.sin_addr) != 1)
        return std::nullopt;
    return address;
}

// A descriptor closed when the connect fails.
class FdGuard {
  public:
    explicit FdGuard(int fd) : fd_(fd) {}
    ~FdGuard() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FdGuard(const FdGuard&) = delete;
    FdGuard& operator=(const FdGuard&) = delete;
    int Get() const { return fd_; }
    int Release() { return std::exchange(fd_, -1); }

  private:
    int fd_;
};

// A numeric address needs no resolution, so nothing can block: its non-blocking connect is
// awaited on the calling thread like any socket wait (pumping a step at a time, the
// time-out and `stillCurrent` checked as there), without a thread per connection.
TcpConnectResult ConnectNumeric(const sockaddr_in& address, int timeoutMs,
                                const std::function<bool()>& stillCurrent) {
    FdGuard fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (fd.Get() < 0)
        throw EIdSocketError(errno, SocketErrorText(errno));
    if (::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        const int error = errno;
        if (error != EINPROGRESS)
            throw EIdSocketError(error, SocketErrorText(error));
        ProgressWait wait(timeoutMs, [] { throw EIdConnectTimeout(); });
        while (!wait.Step(fd.Get(), POLLOUT, stillCurrent)) {
        }
        int soError = 0;
        socklen_t length = sizeof soError;
        if (getsockopt(fd.Get(), SOL_SOCKET, SO_ERROR, &soError, &length) != 0)
            soError = errno;
        if (soError != 0)
            throw EIdSocketError(soError, SocketErrorText(soError));
    }
    if (!stillCurrent())
        throw EIdClosedSocket();
    TcpConnectResult result;
    result.fd = fd.Release();
    return result;
}

}  // namespace

TcpConnectResult ConnectTcp(const std::string& host, std::uint16_t port, int timeoutMs,
                            const std::optional<std::string>& alsoResolve,
                            const std::function<bool()>& stillCurrent) {
    if (!alsoResolve) {
        if (const std::optional<sockaddr_in> address = NumericAddress(host, port))
            return ConnectNumeric(*address, timeoutMs, stillCurrent);
    }
    auto job = std::make_shared<ConnectJob>();
    std::thread(RunJob, job, host, port, timeoutMs, alsoResolve).detach();
    auto abandon = [&job] {
        std::lock_guard<std::mutex> lock(job->mutex);
        job->abandoned = true;
        // The worker may have finished between the last look and now (it sets fd only then).
        if (job->fd >= 0) {
            ::close(job->fd);
            job->fd = -1;
        }
    };
    // The worker gives up at the same deadline; either way that is the time-out.
    ProgressWait wait(timeoutMs, [] { throw EIdConnectTimeout(); });
    try {
        while (!wait.Step(job->finished, POLLIN, stillCurrent)) {
        }
    } catch (...) {
        abandon();
        throw;
    }
    std::lock_guard<std::mutex> lock(job->mutex);
    if (job->fd < 0 && job->error == ETIMEDOUT && timeoutMs > 0)
        throw EIdConnectTimeout();
    if (job->fd < 0)
        throw EIdSocketError(job->error, job->message);
    TcpConnectResult result;
    result.fd = job->fd;
    result.alsoResolved = job->alsoResolved;
    return result;
}

}  // namespace ftp
