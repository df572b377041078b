#include "platform/ftp/ascii_line_ends.h"

namespace ftp {

void AsciiDownloadLineEnds::Convert(std::string_view chunk, std::string& out) {
    out.reserve(out.size() + chunk.size() + 1);
    for (const char c : chunk) {
        if (pendingCr_) {
            pendingCr_ = false;
            if (c == '\n') {
                out += '\n';
                continue;
            }
            out += '\r';
        }
        if (c == '\r')
            pendingCr_ = true;
        else
            out += c;
    }
}

void AsciiDownloadLineEnds::Finish(std::string& out) {
    if (pendingCr_)
        out += '\r';
    pendingCr_ = false;
}

void AsciiUploadLineEnds::Convert(std::string_view chunk, std::string& out) {
    out.reserve(out.size() + 2 * chunk.size());
    for (const char c : chunk) {
        if (c == '\n' && !lastWasCr_)
            out += '\r';
        out += c;
        lastWasCr_ = c == '\r';
    }
}

}  // namespace ftp
