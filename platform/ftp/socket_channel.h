#pragma once
// One TCP socket of the component (control, data or listening), non-blocking. Owns its
// descriptor; Close releases it at once, after which every call reports the channel closed, so
// an outer call holding the same object can never reach a descriptor number reused by a new
// socket.
#include <sys/types.h>

#include <cstddef>
#include <string>

namespace ftp {

class SocketChannel {
  public:
    explicit SocketChannel(int fd);  // takes ownership; makes the descriptor non-blocking
    ~SocketChannel();
    SocketChannel(const SocketChannel&) = delete;
    SocketChannel& operator=(const SocketChannel&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    int Fd() const { return fd_; }
    void Close();

    // Bytes read (> 0), 0 when the peer closed the connection, -1 when nothing is there yet.
    // Throws EIdSocketError on a reset by the peer (ECONNRESET) and on other failures.
    ssize_t TryRecv(char* buffer, std::size_t size);
    // Bytes written (>= 0, 0 when the send buffer is full), -1 when the peer closed or reset the
    // connection. Throws EIdSocketError on other failures.
    ssize_t TrySend(const char* data, std::size_t size);
    // An accepted connection's descriptor, or -1 when none is waiting. Throws EIdSocketError.
    // peerAddress, when given, receives the dotted IPv4 text of the connecting end as accept
    // saw it (known even when that end has reset the connection meanwhile).
    int TryAccept(std::string* peerAddress = nullptr);

    // Dotted IPv4 text of the local and the remote end; empty when unknown.
    std::string LocalAddress() const;
    std::string PeerAddress() const;

  private:
    std::string EndAddress(bool peer) const;

    int fd_;
};

// Message of a failed socket call: "Socket Error # <errno>" and the system's text.
std::string SocketErrorText(int error);

}  // namespace ftp
