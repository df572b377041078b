#pragma once
// Errors of the FTP client component. Every operation of TIdFTP reports failure by throwing
// one of these; the texts are the ones callers show or log. All derive from EIdException, so a
// caller that only needs "the FTP call failed" catches that.
#include <stdexcept>
#include <string>
#include <vector>

namespace ftp {

class EIdException : public std::runtime_error {
  public:
    explicit EIdException(const std::string& message) : std::runtime_error(message) {}
};

// The server closed the control connection (the application-wide handler tells this one apart).
// Text: "Connection Closed Gracefully."
class EIdConnClosedGracefully : public EIdException {
  public:
    EIdConnClosedGracefully() : EIdException("Connection Closed Gracefully.") {}
};

// The connection this call was using was closed or replaced by another call that ran while this
// one pumped messages (an Abort, a disconnect, a new connect). Text: "Disconnected."
class EIdClosedSocket : public EIdException {
  public:
    EIdClosedSocket() : EIdException("Disconnected.") {}
};

// An operation that needs the control connection was called while not connected.
// Text: "Not Connected".
class EIdNotConnected : public EIdException {
  public:
    EIdNotConnected() : EIdException("Not Connected") {}
};

// Connect was called on an open connection (which is then closed). Text: "Already connected."
class EIdAlreadyConnected : public EIdException {
  public:
    EIdAlreadyConnected() : EIdException("Already connected.") {}
};

// No connection within the connect time-out (also the immediate failure of a time-out of 0).
// Text: "Connect timed out."
class EIdConnectTimeout : public EIdException {
  public:
    EIdConnectTimeout() : EIdException("Connect timed out.") {}
};

// No byte moved on a connection for the read time-out. Text: "Read timed out."
class EIdReadTimeout : public EIdException {
  public:
    EIdReadTimeout() : EIdException("Read timed out.") {}
};

// A system call on a socket failed, or a host name could not be resolved.
class EIdSocketError : public EIdException {
  public:
    EIdSocketError(int errorCode, const std::string& message)
        : EIdException(message), errorCode_(errorCode) {}
    int ErrorCode() const { return errorCode_; }

  private:
    int errorCode_;
};

// A reply code the operation does not accept. The text is the reply's text lines joined by
// line feeds; the code is the reply's numeric code.
class EIdProtocolReplyError : public EIdException {
  public:
    EIdProtocolReplyError(int code, const std::string& text) : EIdException(text), code_(code) {}
    int ReplyErrorCode() const { return code_; }

  private:
    int code_;
};

// A server reply or data line that breaks the protocol: no reply code, a line over the length
// bound, a reply with too many lines, a PASV reply without an address.
class EIdReplyFormatError : public EIdException {
  public:
    explicit EIdReplyFormatError(const std::string& message) : EIdException(message) {}
};

// A command text holding CR, LF or NUL; refused before anything is sent.
// Text: "Command text contains a line break or NUL."
class EIdCommandRefused : public EIdException {
  public:
    EIdCommandRefused() : EIdException("Command text contains a line break or NUL.") {}
};

// A command was called while another exchange of the same connection waits for its reply or
// runs its transfer (a handler running inside that call's message pump); nothing was sent.
// Text: "Another command is waiting for its reply."
class EIdCommandInProgress : public EIdException {
  public:
    EIdCommandInProgress() : EIdException("Another command is waiting for its reply.") {}
};

// A SOCKS server refused or broke the negotiation, or the settings cannot be used (active mode
// through SOCKS, a name too long for SOCKS 5).
class EIdSocksError : public EIdException {
  public:
    explicit EIdSocksError(const std::string& message) : EIdException(message) {}
};

// Get found a local file it must not write into. Text: "Destination file already exists."
class EIdFTPFileAlreadyExists : public EIdException {
  public:
    EIdFTPFileAlreadyExists() : EIdException("Destination file already exists.") {}
};

// A local file could not be created, opened, read or written.
class EIdLocalFileError : public EIdException {
  public:
    explicit EIdLocalFileError(const std::string& message) : EIdException(message) {}
};

// The first line of a listing fits neither the Unix nor the DOS rules.
// Text: "Unknown FTP listing format"
class EIdUnknownListFormat : public EIdException {
  public:
    EIdUnknownListFormat() : EIdException("Unknown FTP listing format") {}
};

// A setting the component cannot use (the proxy type HttpProxyWithFtp).
class EIdUnsupportedSetting : public EIdException {
  public:
    explicit EIdUnsupportedSetting(const std::string& message) : EIdException(message) {}
};

}  // namespace ftp
