#pragma once
// Splits the bytes of a control connection into RFC 959 replies. A reply is one line
// "ddd text", or a multi-line reply that starts "ddd-" and ends at the first later line that
// starts with the same three digits and a blank. Lines end with LF; a CR before it is dropped.
// Bytes after a complete reply stay buffered for the next one.
#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ftp/id_types.h"

namespace ftp {

class ReplyReader {
  public:
    static constexpr std::size_t kMaxLineLength = 8192;
    static constexpr std::size_t kMaxReplyLines = 1000;

    // Appends received bytes. Throws EIdReplyFormatError when a line grows past kMaxLineLength
    // or the current reply past kMaxReplyLines lines; the reader is then unusable.
    void Feed(std::string_view bytes);

    // The next complete reply, or nothing while it is still incomplete. Throws
    // EIdReplyFormatError for a first line that does not start with three digits.
    std::optional<TIdRFCReply> TakeReply();

    // Drops every buffered byte and partial reply (used when a connection closes).
    void Clear();

  private:
    std::string partialLine_;
    std::deque<std::string> lines_;  // complete lines not yet consumed, line ends removed
};

}  // namespace ftp
