#include "platform/ftp/reply_reader.h"

#include <cctype>

#include "platform/ftp/id_exceptions.h"

namespace ftp {

namespace {

bool StartsWithCode(const std::string& line) {
    return line.size() >= 3 && std::isdigit(static_cast<unsigned char>(line[0])) &&
           std::isdigit(static_cast<unsigned char>(line[1])) &&
           std::isdigit(static_cast<unsigned char>(line[2]));
}

// The text of a reply line: after "ddd " or "ddd-", or the whole line for the free-form inner
// lines of a multi-line reply.
std::string LineText(const std::string& line, const std::string& code) {
    if (line.compare(0, 3, code) == 0 && (line.size() == 3 || line[3] == ' ' || line[3] == '-')) {
        return line.size() > 4 ? line.substr(4) : std::string();
    }
    return line;
}

}  // namespace

void ReplyReader::Feed(std::string_view bytes) {
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t lf = bytes.find('\n', start);
        const std::size_t end = lf == std::string_view::npos ? bytes.size() : lf;
        if (partialLine_.size() + (end - start) > kMaxLineLength + 1) {
            throw EIdReplyFormatError("Reply line too long.");
        }
        partialLine_.append(bytes.substr(start, end - start));
        if (lf == std::string_view::npos)
            break;
        if (!partialLine_.empty() && partialLine_.back() == '\r')
            partialLine_.pop_back();
        if (partialLine_.size() > kMaxLineLength)
            throw EIdReplyFormatError("Reply line too long.");
        lines_.push_back(std::move(partialLine_));
        partialLine_.clear();
        // A reply never ends until its closing line; bound what may pile up waiting for it.
        if (lines_.size() > kMaxReplyLines)
            throw EIdReplyFormatError("Reply too long.");
        start = lf + 1;
    }
}

std::optional<TIdRFCReply> ReplyReader::TakeReply() {
    if (lines_.empty())
        return std::nullopt;
    const std::string& first = lines_.front();
    if (!StartsWithCode(first) || (first.size() > 3 && first[3] != ' ' && first[3] != '-')) {
        throw EIdReplyFormatError("Invalid reply from server: no reply code.");
    }
    const std::string code = first.substr(0, 3);
    std::size_t count = 1;
    if (first.size() > 3 && first[3] == '-') {
        // Multi-line: look for "ddd " (or a bare "ddd") with the same code.
        bool closed = false;
        for (std::size_t i = 1; i < lines_.size(); ++i) {
            const std::string& line = lines_[i];
            if (line.compare(0, 3, code) == 0 && (line.size() == 3 || line[3] == ' ')) {
                count = i + 1;
                closed = true;
                break;
            }
        }
        if (!closed)
            return std::nullopt;
    }
    TIdRFCReply reply;
    reply.Code = code;
    reply.NumericCode = std::stoi(code);
    for (std::size_t i = 0; i < count; ++i) {
        reply.Text.push_back(LineText(lines_.front(), code));
        lines_.pop_front();
    }
    return reply;
}

void ReplyReader::Clear() {
    partialLine_.clear();
    lines_.clear();
}

}  // namespace ftp
