#include "platform/ftp/listing_lines.h"

#include <cstring>

#include "platform/ftp/id_exceptions.h"

namespace ftp {

ListingLines::ListingLines(std::vector<std::string>& lines, Limits limits)
    : lines_(lines), limits_(limits) {}

void ListingLines::Feed(const char* bytes, std::size_t size) {
    totalBytes_ += size;
    if (totalBytes_ > limits_.bytes)
        throw EIdReplyFormatError("Listing too long.");
    const char* const end = bytes + size;
    while (bytes < end) {
        const void* lf = std::memchr(bytes, '\n', static_cast<std::size_t>(end - bytes));
        const char* stop = lf ? static_cast<const char*>(lf) : end;
        // One more than the bound: room for the CR that may end the line.
        if (pending_.size() + static_cast<std::size_t>(stop - bytes) > limits_.lineLength + 1)
            throw EIdReplyFormatError("Listing line too long.");
        pending_.append(bytes, stop);
        if (!lf)
            return;
        EndLine();
        bytes = stop + 1;
    }
}

void ListingLines::Finish() {
    EndLine();
}

void ListingLines::EndLine() {
    if (!pending_.empty() && pending_.back() == '\r')
        pending_.pop_back();
    if (pending_.size() > limits_.lineLength)
        throw EIdReplyFormatError("Listing line too long.");
    if (pending_.empty())
        return;
    // Bounded by count as well as bytes: many short lines cost far more memory than their bytes.
    if (lines_.size() >= limits_.lines)
        throw EIdReplyFormatError("Listing too long.");
    lines_.push_back(std::move(pending_));
    pending_.clear();
}

}  // namespace ftp
