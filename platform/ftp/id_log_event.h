#pragma once
// The log intercept: receives every chunk of text sent on and received from the control
// connection, raw (no time stamp, line ends kept). A sent chunk is one whole command line with
// its CR LF (the PASS line included, password in clear); a received chunk is whatever one read
// of the socket returned, so it may hold part of a line or several replies. SOCKS negotiation
// bytes are not passed on.
#include <functional>
#include <string>

namespace ftp {

class TIdLogEvent {
  public:
    std::function<void(const std::string& text)> OnReceived;
    std::function<void(const std::string& text)> OnSent;
};

}  // namespace ftp
