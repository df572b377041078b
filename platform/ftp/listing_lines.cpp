#include "platform/ftp/listing_lines.h"

#include "platform/ftp/id_exceptions.h"

namespace ftp {

ListingLines::ListingLines(std::vector<std::string>& lines, Limits limits)
    : lines_(lines), limits_(limits) {}

void ListingLines::Feed(const char* bytes, std::size_t size) {
    totalBytes_ += size;
    if (totalBytes_ > limits_.bytes)
        throw EIdReplyFormatError("Listing too long.");
    for (std::size_t i = 0; i < size; ++i) {
        if (bytes[i] == '\n') {
            EndLine();
            continue;
        }
        // One more than the bound: room for the CR that may end the line.
        if (pending_.size() > limits_.lineLength)
            throw EIdReplyFormatError("Listing line too long.");
        pending_.push_back(bytes[i]);
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
